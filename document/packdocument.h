// SPDX-License-Identifier: MIT
#pragma once

// The open pack as the desktop keeps it: the editing session of the core
// (pack, shown level, layers, stroke, fields, clipboards, histories) with
// the file it lives in, the bytes that file held, and the recovery journal
// that follows every change until it is saved. Every change is a command of
// the session, passed on from here; what it changed comes back through the
// session's one listener as the edited signal, and the unsaved state and the
// journal follow from there alone. The document never calls a widget: the
// only thing it asks the window is the switch-limit question.

#include "edit/session.h"
#include "level/journalfile.h"
#include "document/recoveryjournal.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace tess {

class PackDocument : public QObject {
    Q_OBJECT
public:
    PackDocument();
    ~PackDocument() override;

    // Asked before a store-back keeps only the first 11 switches; without
    // it the answer is no.
    std::function<bool(const std::string& question)> ask;

    const EditSession& session() const { return *session_; }
    const LevelStore& store() const { return session_->store(); }
    const EditLayers& layers() const { return session_->layers(); }
    bool stroking() const { return session_->stroking(); }
    RecoveryJournal& journal() { return journal_; }
    // How long after a change the journal follows it.
    int journaldelay = 400;
    // The bound on all histories together, in bytes; forgets every step.
    void sethistorybudget(std::size_t bytes) { session_->sethistorylimit(bytes); }

    // The property fields as the user leaves them in the window (the title
    // as Latin-1 bytes); committed as one undo step when a field is left.
    void setfields(int infotrons, bool gravity, const std::string& title);
    bool commitfields();

    // Strokes and commands on the shown level, as the session has them.
    EditSession::Press press(Button button, bool ctrl, int col, int row, int leftitem, int rightitem) {
        return session_->press(button, ctrl, col, row, leftitem, rightitem);
    }
    bool move(int col, int row) { return session_->move(col, row); }
    bool release() { return session_->release(); }
    bool command(SessionCommand which) { return session_->command(which); }
    int fillmarked(std::uint8_t code) { return session_->fillmarked(code); }
    int mirrormarked(Mirror axis) { return session_->mirrormarked(axis); }
    int marksametiles(std::uint8_t code) { return session_->marksametiles(code); }
    int markregion(int col, int row) { return session_->markregion(col, row); }
    int replacetiles(std::uint8_t from, std::uint8_t to, ReplaceScope scope) {
        return session_->replacetiles(from, to, scope);
    }
    int setcells(const LevelCells& cells) { return session_->setcells(cells); }
    void setclipboard(const Layer& cells) { session_->setclipboard(cells); }
    void setlevelclip(const LevelRecord& record) { session_->setlevelclip(record); }
    template <class Draw> int putbuffer(Draw&& draw) { return session_->putbuffer(draw); }

    // Undo and redo of the shown level, a field being edited committed first.
    void undo();
    void redo();
    bool canundo() const { return session_->canundo(); }
    bool canredo() const { return session_->canredo(); }

    // Each of these stores the shown level back first, asking the
    // switch-limit question when it must; false when the user declined or
    // nothing was done.
    bool storeback();
    bool select(int slot);
    bool movelevel(int to);
    bool copylevel();
    bool pastelevel();
    bool emptylevel();
    // The shown level's record becomes record (a map read in), one step.
    bool replacerecord(const LevelRecord& record);
    // Replaces tile from by to in every level, each changed level one step.
    PackReplace replaceinlevels(std::uint8_t from, std::uint8_t to);
    // Takes back the last replace across the pack in every level it changed;
    // false when there is none or a level has been changed since.
    bool undoreplaceinlevels();
    // True from a replace across the pack that changed something until it
    // is taken back or the pack replaced, also once a level changed since.
    bool canundoreplaceinlevels() const { return replaced_; }

    // 111 new levels, level 1 shown: no history, nothing unsaved, no journal.
    void newpack();
    // pack, read from file, replaces the open one, level 1 shown; rest is
    // how many bytes follow the pack in that file.
    void load(const LevelPack& pack, const QString& file, qint64 rest = 0);
    // The pack as saving would write it now. Asks nothing, changes nothing.
    LevelPack image() const { return session_->image(); }
    // True when the user's own edits would now be saved (EditSession::unsaved),
    // and always for a restored new pack until it is saved.
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
    // What editors that died left in the journal folder, read as far as the
    // question at start names them: the newest few that this editor could
    // claim and read, the others only counted; unreadable ones and strays
    // are kept aside, each with why.
    struct Leftovers {
        QStringList offered; // the journals' paths
        QList<Journal> read; // what each of them holds
        QStringList unread;  // claimed by nobody yet, past the first few
        struct Fault {
            QString path, aside, why; // aside == path when it could not be moved
        };
        QList<Fault> faults;
    };
    Leftovers leftovers();
    // Takes over the journal at path with what it read: its pack becomes
    // this one, and the old journal goes once this editor's own journal
    // holds the pack, or when the pack is just what its file holds.
    void takeover(const QString& path, const Journal& journal);
    // Leaves the journal at path to others (or removes it, discard).
    void release(const QString& path, bool discard) { journal_.release(path, discard); }
    // Removes journals nobody has read, in the background.
    void discard(const QStringList& paths) { journal_.discard(paths); }
    // How many levels of a journal differ from its file on disk (from a new
    // pack when it has none, or the file cannot be read).
    static int levelsdiffering(const Journal& journal);

signals:
    // A command changed what, in the session: the window shows it.
    void edited(const tess::SessionChange& what);
    // The journal could not be written: recovery is off, and why.
    void recoveryoff(const QString& why);
    // The pack now lives in file: it was loaded, saved or restored from it.
    void fileused(const QString& file);

private:
    std::unique_ptr<EditSession> session_;
    RecoveryJournal journal_;
    QString file_;
    std::unique_ptr<LevelPack> ondisk_; // the file's bytes as last read or written; null without a file
    qint64 ondiskrest_ = 0;             // how many bytes followed them in the file
    bool nosaved_ = false;              // a restored pack with no file: unsaved until saved
    bool replaced_ = false;             // the last replace across the pack is not taken back
    std::unique_ptr<LevelPack> journaled_; // what the journal holds; null when there is none
    QDateTime lastchange_;
    QTimer timer_;
    bool reportedoff_ = false;

    // The reply to the switch-limit question, asked only when a store-back
    // now would ask it.
    bool answer();
    // Something in the pack may have changed: the journal follows within journaldelay.
    void schedule();
    // After the pack was replaced by a new, loaded or restored one.
    void replaced(const QString& file, std::unique_ptr<LevelPack> ondisk, qint64 rest = 0);
    void restore(const Journal& journal);
};

} // namespace tess
