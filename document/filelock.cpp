// SPDX-License-Identifier: MIT
#include "document/filelock.h"

#include "level/journalfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
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

namespace {

// What a lock file says about its holder; pid 0 when it names nobody.
struct LockInfo {
    qint64 pid = 0;
    QString host;
};

LockInfo readinfo(int fd) {
    QByteArray bytes;
    QString error;
    if (!readcapped(fd, lockmaxlen, bytes, error)) return {};
    // Three whole lines at least: a lock being written names nobody yet.
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 4) return {};
    bool ok = false;
    const qint64 pid = lines[0].toLongLong(&ok);
    return ok && pid > 0 ? LockInfo{pid, QString::fromUtf8(lines[2])} : LockInfo{};
}

enum class Holder { nobody, running, gone };

Holder holder(const LockInfo& info) {
    if (info.pid <= 0) return Holder::nobody;
    if (!info.host.isEmpty() && info.host != QSysInfo::machineHostName()) return Holder::running;
    return ::kill(pid_t(info.pid), 0) == 0 || errno == EPERM ? Holder::running : Holder::gone;
}

QByteArray lockcontents() {
    static const QByteArray contents =
        QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
        QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
        QSysInfo::bootUniqueId() + '\n';
    return contents;
}

bool samefile(int fd, const QByteArray& path) {
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

} // namespace

bool lockheld(const QString& path) {
    QString error;
    const int fd = openregular(path, error);
    if (fd < 0) return false;
    const Holder h = holder(readinfo(fd));
    ::close(fd);
    return h == Holder::running;
}

bool removestalelock(const QString& path) {
    QString error;
    const int fd = openregular(path, error);
    if (fd < 0) return false;
    // A holder keeps the flock while it runs, and every remover takes it
    // before it removes: while this one holds it, nobody can swap the file.
    const QByteArray name = QFile::encodeName(path);
    const bool removed = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && holder(readinfo(fd)) == Holder::gone &&
                         samefile(fd, name) && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

HeldLock::HeldLock(const QString& path) : path_(QFile::encodeName(path)) {
    for (int tries = 0; fd_ < 0 && tries < 2; ++tries) {
        fd_ = ::open(path_.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0 && (errno != EEXIST || !removestalelock(path))) return;
    }
    if (fd_ < 0) return;
    // Written before the flock is taken: a remover that catches the file in
    // between finds a process that runs. It holds the flock for moments only;
    // where the file system has none, the process id alone keeps the lock.
    const QByteArray contents = lockcontents();
    if (::write(fd_, contents.constData(), std::size_t(contents.size())) != contents.size()) {
        ::unlink(path_.constData());
        ::close(fd_);
        fd_ = -1;
        return;
    }
    for (int tries = 0; tries < 100 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK; ++tries)
        QThread::msleep(1);
}

HeldLock::~HeldLock() {
    if (fd_ < 0) return;
    if (samefile(fd_, path_)) ::unlink(path_.constData());
    ::close(fd_);
}

} // namespace tess
