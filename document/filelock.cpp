// SPDX-License-Identifier: MIT
#include "document/filelock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tess {

FileLock::FileLock(const QString& path, int waitms) {
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                 0600);
    if (fd_ < 0) return;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited.elapsed() >= waitms) return;
        QThread::msleep(5);
    }
}

// Closing the only descriptor releases the lock.
FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);
}

} // namespace tess
