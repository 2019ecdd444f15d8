// SPDX-License-Identifier: MIT
#pragma once

// The open pack and everything about it: the pack store with the working
// level, the undo histories, the file it lives in, the image it had when it
// was last loaded or saved, and the recovery journal that follows every
// change until it is saved. The document is the only way to change the pack:
// every change is one of its methods or a step of one of its histories,
// which it all hears, so the unsaved state and the journal follow from here
// alone. The main window shows the document and commands it; the document
// never calls a widget, only the LevelHost the window gives it.

#include "edit/cellchange.h"
#include "edit/editlayers.h"
#include "level/journalfile.h"
#include "level/levelstore.h"
#include "document/levelhistory.h"
#include "document/recoveryjournal.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <memory>

namespace tess {

// What a replace across the pack did.
struct PackReplaceDone {
    int cells = 0, levels = 0, skipped = 0;
};

class PackDocument : public QObject {
    Q_OBJECT
public:
    PackDocument();
    ~PackDocument() override;

    // The marks and the window's fields that selecting and storing levels
    // work with. Until then the document has quiet ones of its own.
    void attach(EditLayers& layers, LevelHost& host);

    const LevelStore& store() const { return store_; }
    const LevelHistory& history() const { return history_; }
    RecoveryJournal& journal() { return journal_; }
    // How long after a change the journal follows it.
    int journaldelay = 400;
    // The bound on all histories together, in bytes.
    void sethistorybudget(std::size_t bytes) { history_.budget = bytes; }

    // The working level's cells, which strokes and the selection commands
    // paint into. What they change becomes part of the pack's history when
    // recordcells() records it.
    LevelRecord& working() { return store_.curlevel; }
    // Records what changed in the working level's cells since the last step
    // as one step of its history; false when nothing changed.
    bool recordcells();
    // The property fields (title, infotrons needed, gravity) are the
    // window's, read when the level is stored or the pack's image built; the
    // window says when the user edited one, so that the journal follows.
    void fieldsedited();

    // Stores the working level back into the pack (asking the switch-limit
    // question); false, storing nothing, when the user declines.
    bool storeback();
    // Stores the level back and shows slot; false when the user declined.
    bool select(int slot);
    // The current level's record becomes record (stored back first by the
    // caller), as one step of its history.
    void replacerecord(const LevelRecord& record);
    // Stores the level back and moves it to slot to, the levels between
    // shifting, as one step of its history.
    bool movelevel(int to);
    // Replaces tile from by to in every level, the shown one stored back
    // first; each changed level is one step of its history.
    PackReplaceDone replaceinlevels(std::uint8_t from, std::uint8_t to);
    // Takes back the last replace across the pack in every level it changed;
    // false when there is none or a level has been changed since.
    bool undoreplaceinlevels();
    // True while the last replace across the pack can be taken back as a whole.
    bool canundoreplaceinlevels() const { return lastlevels_ > 0; }
    void undo();
    void redo();
    bool canundo() const;
    bool canredo() const;

    // 111 new levels, level 1 shown: no history, nothing unsaved, no journal.
    void newpack();
    // pack, read from file, replaces the open one, level 1 shown; rest is
    // how many bytes follow the pack in that file.
    void load(const LevelPack& pack, const QString& file, qint64 rest = 0);
    // The pack as saving would write it now. Asks nothing, changes nothing.
    LevelPack image() const;
    // True when the user's own edits would now be saved: some level differs
    // from the pack at the last load, save or new pack other than by what
    // storing its levels back writes (a visited level's border ring, switch
    // table or padded title).
    bool changed() const;
    // The file the pack was loaded from or last saved to; empty for a new pack.
    const QString& file() const { return file_; }
    // True when the pack's file no longer holds what this editor last loaded
    // from it or saved to it, its length included: another program wrote it
    // meanwhile. A missing or new file counts as unchanged.
    bool changedondisk() const;
    // Writes the pack as stored (the caller stores the level back first) to
    // file; when that worked, file is the pack's file and what was written
    // its saved image.
    FileResult save(const QString& file);

    // The editor closes cleanly: the journal goes.
    void dropjournal();
    // Brings the journal up to date now, without waiting for the timer.
    void updatejournal();

    // Starts recovery in folder (the default one when empty); false, with
    // journal().reason(), when recovery is off.
    bool openjournal(const QString& folder = {});
    // A recovered journal becomes the pack: its image in the store with its
    // level shown, its file, and the file's bytes on disk as the saved
    // image, so that it counts as unsaved where it differs from them.
    void restore(const Journal& journal);
    // How many levels of a journal differ from its file on disk (from a new
    // pack when it has none, or the file cannot be read).
    static int levelsdiffering(const Journal& journal);

signals:
    // The journal could not be written: recovery is off, and why.
    void recoveryoff(const QString& why);
    // The pack now lives in file: it was loaded, saved or restored from it.
    void fileused(const QString& file);
    // A level is shown (selected, or shown again after a step): its history
    // is the one undo works on.
    void levelshown(int slot);
    // Undo or redo changed the working level's cells in place.
    void cellsrestored();
    // What the overview shows of slot changed; slot -1: of every level.
    void levelchanged(int slot);
    // What undo, redo or taking back a replace across the pack can do changed.
    void undochanged();

private:
    LevelStore store_;
    LevelHistory history_;
    RecoveryJournal journal_;
    EditLayers ownlayers_;
    std::unique_ptr<LevelHost> quiethost_;
    EditLayers* layers_;
    LevelHost* host_;
    LevelCells stepstart_{}; // the working level's cells after its last step
    int lastreplace_ = 0;    // number of the last replace across the pack
    int lastlevels_ = 0;     // the levels it changed that can still be taken back
    int undoslot_ = -1;      // the slot a replace step is taken back in, when not the one shown

    QString file_;
    std::unique_ptr<LevelPack> saved_;    // what saving wrote, or would have, at the last load, save or new pack
    std::unique_ptr<LevelPack> savedback_; // saved_ with every level stored back
    std::unique_ptr<LevelPack> ondisk_;    // the file's bytes as last read or written; null without a file
    qint64 ondiskrest_ = 0;                // how many bytes followed them in the file
    void setsaved(std::unique_ptr<LevelPack> pack);
    bool sameassaved(const LevelPack& image) const;
    std::unique_ptr<LevelPack> journaled_; // what the journal holds; null when there is none
    QDateTime lastchange_;
    QTimer timer_;
    bool reportedoff_ = false;

    // Something in the pack may have changed: the journal follows within journaldelay.
    void schedule();
    // After the pack was replaced by a new, loaded or restored one.
    void replaced(const QString& file, std::unique_ptr<LevelPack> ondisk, qint64 rest = 0);
    void shown();
    void showrecord(const LevelRecord& record);
    void showmove(int to);
    void applyreplace(const CellChange& change, bool undo);
    void showreplaced(const LevelRecord& record);
};

} // namespace tess
