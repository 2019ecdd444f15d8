// SPDX-License-Identifier: MIT
#pragma once

// The recovery journal of one running editor: a file in the recovery folder
// that holds the unsaved pack, written by a thread of its own so that the
// window never waits on the disk, and a lock file that tells other editors
// this one still runs. Journals whose lock nobody holds were left by editors
// that died; the next editor to start offers them. The same thread clears
// away what dead editors left, between the journal's own writes.

#include "document/filelock.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tess {

class RecoveryJournal : public QObject {
    Q_OBJECT
public:
    RecoveryJournal();
    // Stops the writer after the work it was given. The journal stays on
    // the disk unless it was removed: only a clean exit removes it.
    ~RecoveryJournal() override;

    // The folder: AppDataLocation/recovery.
    static QString defaultfolder();
    // Takes a lock of this editor's own in folder (made 0700 when missing,
    // narrowed to 0700 when wider); false, with reason() set, when that
    // fails: recovery is off. The journals already there can still be
    // offered when the folder can be read.
    bool open(const QString& folder);
    bool isopen() const { return lock_ != nullptr; }
    QString path() const { return path_; }
    QString reason() const { return reason_; }

    // Hands the journal's new bytes to the writer and returns at once.
    void write(QByteArray bytes);
    // Removes this editor's journal, after any write still under way.
    void remove();
    // Waits until the writer has done all it was given; false on time-out.
    bool flush(int ms);

    struct Stray {
        QString path, why; // why: a German sentence naming the file
    };
    struct Leftovers {
        QStringList journals;     // of editors that no longer run, newest first
        std::vector<Stray> strays; // what is there instead of a journal: folders, FIFOs, other names
    };
    // Looks through the folder once, reading no journal and opening nothing
    // but the locks of journals, and has the writer thread remove the locks
    // and unfinished writes of editors that no longer run and left no
    // journal. An entry that is no regular file, or a lock too large for
    // one, is a stray. Works without a lock of this editor's own.
    Leftovers leftovers();
    // Takes the lock of a journal left behind until release(): false when
    // another editor holds it (its own, or one offering it at this moment).
    // When recovery is off there is nothing to take: true unless a running
    // editor owns the journal.
    bool claim(const QString& journal);
    // Gives up a claimed journal: removed with its lock, or kept for a later
    // start.
    void release(const QString& journal, bool remove);
    // Has the writer thread remove journals left behind, each under its lock
    // as claim() takes it, and returns at once. Those not yet removed when
    // this editor ends stay for a later start.
    void discard(const QStringList& journals);
    // Renames an unreadable journal or stray entry to NAME.unreadable, out
    // of the way of later starts but kept as it is, whatever it is; returns
    // the new path, or the old one when it cannot be renamed.
    QString keepaside(const QString& journal);

signals:
    // A write or removal failed; why, in German. Queued to the window's thread.
    void failed(const QString& why);
    // A write reached the disk.
    void written();

private:
    std::unique_ptr<HeldLock> lock_;
    QString folder_, path_, reason_;
    std::vector<std::unique_ptr<HeldLock>> orphanlocks_;
    QStringList orphanpaths_;

    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<QByteArray> pending_;
    bool removepending_ = false, busy_ = false, stop_ = false;
    // The folder's upkeep, one file at a time.
    struct Chore {
        enum Kind { stalelock, unfinished, discard } kind;
        QString path, lock; // the lock that tells whether path is still in use
    };
    std::deque<Chore> chores_;

    void run();
    void queue(std::vector<Chore> chores);
};

} // namespace tess
