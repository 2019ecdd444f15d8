// SPDX-License-Identifier: MIT
#pragma once

// The recovery journal of one running editor: a file in the recovery folder
// that holds the unsaved pack, written by a thread of its own so that the
// window never waits on the disk, and a lock file that tells other editors
// this one still runs. Journals whose lock nobody holds were left by editors
// that died; the next editor to start offers them.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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
    // Takes a lock of this editor's own in folder (made when missing);
    // false, with reason() set, when that fails: recovery is off.
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

    // Journals left by editors that no longer run, newest first. Each one's
    // lock is taken by this editor until release().
    QStringList orphans();
    // Gives up an orphan: removed with its lock, or kept for a later start.
    void release(const QString& journal, bool remove);
    // Renames an unreadable journal to NAME.unreadable, out of the way of
    // later starts but kept; returns the new path.
    QString keepaside(const QString& journal);

signals:
    // A write or removal failed; why, in German. Queued to the window's thread.
    void failed(const QString& why);
    // A write reached the disk.
    void written();

private:
    std::unique_ptr<QLockFile> lock_;
    QString folder_, path_, reason_;
    std::vector<std::unique_ptr<QLockFile>> orphanlocks_;
    QStringList orphanpaths_;

    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::optional<QByteArray> pending_;
    bool removepending_ = false, busy_ = false, stop_ = false;

    void run();
};

} // namespace tess
