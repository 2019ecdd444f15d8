// SPDX-License-Identifier: MIT
#pragma once

// An exclusive lock on a file that stays beside what it guards. The system
// drops it when its holder ends, however it ends, so a lock left by a dead
// editor never needs clearing. The lock file is made 0600. QtCore only.

#include <QByteArray>
#include <QString>

namespace tess {

class FileLock {
public:
    // Locks the file at path, making it when missing; waits at most waitms
    // for another holder (in any process, or another FileLock in this one).
    explicit FileLock(const QString& path, int waitms = 3000);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

// The lock files of the recovery folder, in the layout QLockFile writes (the
// holder's process id, program, host, machine and boot, one a line), so that
// editors of every version read each other's. The holder keeps an exclusive
// flock on its lock file while it runs, and a lock is only ever removed when
// nobody holds that and its process is gone. Every lock file is read without
// trusting it: only a regular file, no link followed, at most lockmaxlen bytes.

inline constexpr qint64 lockmaxlen = 4096; // a lock holds a few dozen bytes

// True when the lock at path names a process of this machine that still
// runs, or one of another machine, which cannot be asked. False when there is
// no lock, or it names nobody, or it is no lock at all (a FIFO, a link, a
// device, a huge file): no editor made that.
bool lockheld(const QString& path);

// Removes the lock at path when nobody holds it and it names a process of
// this machine that is gone; the file removed is the one read, never one put
// in its place meanwhile. False, changing nothing, otherwise.
bool removestalelock(const QString& path);

// A lock of this editor's own at path, made 0600 whatever the umask, never
// over another file or through a link; a stale lock there is removed first.
// Removed again when destroyed.
class HeldLock {
public:
    explicit HeldLock(const QString& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    QByteArray path_;
};

} // namespace tess
