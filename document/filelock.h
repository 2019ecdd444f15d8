// SPDX-License-Identifier: MIT
#pragma once

// An exclusive lock on a file that stays beside what it guards. The system
// drops it when its holder ends, however it ends, so a lock left by a dead
// editor never needs clearing. The lock file is made 0600. QtCore only.

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

} // namespace tess
