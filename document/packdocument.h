// SPDX-License-Identifier: MIT
#pragma once

// The open pack and everything about it: the pack store with the working
// level, the undo histories, the file it lives in, the image it had when it
// was last loaded or saved, and the recovery journal that follows every
// change until it is saved. The main window shows the document and commands
// it; the document never calls a widget.

#include "level/journalfile.h"
#include "level/levelstore.h"
#include "document/levelhistory.h"
#include "document/recoveryjournal.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace tess {

class PackDocument : public QObject {
    Q_OBJECT
public:
    PackDocument();
    ~PackDocument() override;

    LevelStore store;
    LevelHistory history;
    RecoveryJournal journal;
    // The property fields as the window shows them, which storing reads.
    std::function<StoreFields()> fields;
    // How long after a change the journal follows it.
    int journaldelay = 400;

    // The pack as saving would write it now. Asks nothing, changes nothing.
    LevelPack image() const;
    // True when the user's own edits would now be saved: some level differs
    // from the pack at the last load, save or new pack other than by what
    // storing its levels back writes (a visited level's border ring, switch
    // table or padded title).
    bool changed() const;
    // The file the pack was loaded from or last saved to; empty for a new pack.
    const QString& file() const { return file_; }

    // A new (file empty) or loaded pack is in the store and its level shown:
    // no history, nothing unsaved, no journal.
    void replaced(const QString& file);
    // The store's pack was written to file.
    void saved(const QString& file);
    // The user dropped the unsaved work, or the editor closes cleanly: the
    // journal goes.
    void dropjournal();
    // Something in the pack or the fields may have changed: the journal
    // follows within journaldelay.
    void touched();
    // Brings the journal up to date now, without waiting for the timer.
    void updatejournal();

    // Starts recovery in folder (the default one when empty); false, with
    // journal.reason(), when recovery is off.
    bool openjournal(const QString& folder = {});
    // A recovered journal becomes the pack: its image in the store (the
    // caller selects its level), its file, and the file's bytes on disk as
    // the saved image, so that it counts as unsaved.
    void restore(const Journal& journal);
    // How many levels of a journal differ from its file on disk (from a new
    // pack when it has none, or the file cannot be read).
    static int levelsdiffering(const Journal& journal);

signals:
    // The journal could not be written: recovery is off, and why.
    void recoveryoff(const QString& why);
    // The pack now lives in file: it was loaded, saved or restored from it.
    void fileused(const QString& file);

private:
    QString file_;
    std::unique_ptr<LevelPack> saved_;    // what saving wrote, or would have, at the last load, save or new pack
    std::unique_ptr<LevelPack> savedback_; // saved_ with every level stored back
    void setsaved(std::unique_ptr<LevelPack> pack);
    bool sameassaved(const LevelPack& image) const;
    std::unique_ptr<LevelPack> journaled_; // what the journal holds; null when there is none
    QDateTime lastchange_;
    QTimer timer_;
    bool reportedoff_ = false;
};

} // namespace tess
