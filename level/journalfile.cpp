// SPDX-License-Identifier: MIT
#include "level/journalfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tess {

namespace {

JournalRead rejected(const QString& path, const QString& why) {
    JournalRead r;
    r.error = QStringLiteral("Die Wiederherstellungsdatei „%1“ ist unbrauchbar: %2")
                  .arg(QDir::toNativeSeparators(path), why);
    return r;
}

} // namespace

QByteArray encodejournal(const Journal& j) {
    const std::vector<std::uint8_t> bytes = encodejournalbytes(
        {j.levelnr, j.changed.toMSecsSinceEpoch(), j.packfile.toStdString(), j.pack, j.saved});
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

JournalRead parsejournal(const QByteArray& bytes, const QString& path) {
    JournalParse p = parsejournalbytes(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())));
    if (!p.ok) return rejected(path, QString::fromStdString(p.why));
    JournalRead r;
    r.ok = true;
    r.journal = {p.journal.levelnr, QDateTime::fromMSecsSinceEpoch(p.journal.time),
                 QString::fromStdString(p.journal.name), std::move(p.journal.pack), std::move(p.journal.saved)};
    return r;
}

namespace {

QString notregular(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return QStringLiteral("Sie ist ein Ordner.");
    if (S_ISLNK(st.st_mode)) return QStringLiteral("Sie ist eine symbolische Verknüpfung.");
    return QStringLiteral("Sie ist keine gewöhnliche Datei.");
}

} // namespace

int openregular(const QString& path, QString& error) {
    const QByteArray name = QFile::encodeName(path);
    // A device is never opened, not even for a moment (a tape rewinds when
    // closed); the check after the open covers a file swapped in between.
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = notregular(st);
        return -1;
    }
    // O_NONBLOCK lets the open of a FIFO return at once; it changes nothing
    // for a regular file.
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // Each fault is a sentence of its own: messages go on after it.
        error = errno == ELOOP ? QStringLiteral("Sie ist eine symbolische Verknüpfung.")
                               : QStringLiteral("Sie lässt sich nicht öffnen (%1).")
                                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = notregular(st);
        ::close(fd);
        return -1;
    }
    return fd;
}

bool readcapped(int fd, qint64 cap, QByteArray& bytes, QString& error) {
    bytes.clear();
    char chunk[65536];
    while (bytes.size() <= cap) {
        const ssize_t n = ::read(fd, chunk, std::size_t(std::min<qint64>(sizeof chunk, cap + 1 - bytes.size())));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = QStringLiteral("Sie lässt sich nicht lesen (%1).")
                        .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (n == 0) return true;
        bytes.append(chunk, n);
    }
    error = QStringLiteral("Sie ist größer als %1 Bytes.").arg(cap);
    return false;
}

bool readcapped(const QString& path, qint64 cap, QByteArray& bytes, QString& error) {
    const int fd = openregular(path, error);
    if (fd < 0) return false;
    const bool ok = readcapped(fd, cap, bytes, error);
    ::close(fd);
    return ok;
}

JournalRead readjournal(const QString& path) {
    QByteArray bytes;
    QString error;
    if (!readcapped(path, journalmaxlen, bytes, error)) return rejected(path, error);
    return parsejournal(bytes, path);
}

FileResult writedurably(const QString& path, const QByteArray& bytes) {
    const auto failed = [&path](const QString& why) {
        return FileResult{false, filefault("notwritten", path, why)};
    };
    const auto oserror = [] { return QString::fromLocal8Bit(std::strerror(errno)); };
    // The new file is the user's alone from its first byte: mkstemp makes it
    // 0600, whatever the umask says.
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return failed(oserror());
    const char* p = bytes.constData();
    qint64 left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, std::size_t(left));
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) p += n, left -= n;
    }
    QString why = ok ? QString() : oserror();
    if (ok && ::fsync(fd) != 0) ok = false, why = oserror();
    if (::close(fd) != 0 && ok) ok = false, why = oserror();
    if (ok && ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) ok = false, why = oserror();
    if (!ok) {
        ::unlink(temp.constData());
        return failed(why);
    }
    // The rename lives in the folder: sync that too, or a power cut may
    // bring back the previous journal or none.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dirfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        ::close(dirfd);
    }
    return {true, {}};
}

} // namespace tess
