// SPDX-License-Identifier: MIT
#include "level/journalfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tess {

namespace {

constexpr char magic[8] = {'T', 'E', 'S', 'S', 'J', 'R', 'N', '1'};

void put(QByteArray& out, quint64 v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}

quint64 get(const char* p, int bytes) {
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i) v |= quint64(static_cast<unsigned char>(p[i])) << (8 * i);
    return v;
}

quint32 crc(const char* data, qsizetype len) {
    return quint32(::crc32(::crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data), uInt(len)));
}

JournalRead rejected(const QString& path, const QString& why) {
    JournalRead r;
    r.error = QStringLiteral("Die Wiederherstellungsdatei „%1“ ist unbrauchbar: %2")
                  .arg(QDir::toNativeSeparators(path), why);
    return r;
}

} // namespace

QByteArray encodejournal(const Journal& j) {
    const QByteArray name = j.packfile.toUtf8().left(journalmaxname);
    QByteArray out;
    out.reserve(journalmaxlen);
    out.append(magic, sizeof magic);
    put(out, quint64(j.levelnr), 1);
    put(out, quint64(j.changed.toMSecsSinceEpoch()), 8);
    put(out, quint64(name.size()), 2);
    out.append(name);
    for (const LevelRecord& rec : *j.pack) out.append(reinterpret_cast<const char*>(rec.data()), reclen);
    put(out, crc(out.constData(), out.size()), 4);
    return out;
}

JournalRead parsejournal(const QByteArray& bytes, const QString& path) {
    const qsizetype fixed = 8 + 1 + 8 + 2;
    if (bytes.size() < fixed + packlen + 4 || bytes.size() > journalmaxlen)
        return rejected(path, QStringLiteral("Sie hat die falsche Länge (%1 Bytes).").arg(bytes.size()));
    const char* p = bytes.constData();
    if (std::memcmp(p, magic, sizeof magic) != 0) return rejected(path, QStringLiteral("Die Kennung fehlt."));
    const qsizetype body = bytes.size() - 4;
    if (crc(p, body) != quint32(get(p + body, 4)))
        return rejected(path, QStringLiteral("Die Prüfsumme stimmt nicht."));
    const int levelnr = int(get(p + 8, 1));
    const qint64 ms = qint64(get(p + 9, 8));
    const qsizetype namelen = qsizetype(get(p + 17, 2));
    if (levelnr >= levelcount) return rejected(path, QStringLiteral("Die Levelnummer ist ungültig."));
    constexpr qint64 year10000 = 253402300800000; // ms since 1970
    if (ms < 0 || ms >= year10000) return rejected(path, QStringLiteral("Die Zeitangabe ist ungültig."));
    if (namelen > journalmaxname || fixed + namelen + packlen != body)
        return rejected(path, QStringLiteral("Die Länge des Dateinamens passt nicht."));
    const QByteArray name(p + fixed, namelen);
    QString packfile = QString::fromUtf8(name);
    if (packfile.toUtf8() != name || packfile.contains(QChar(0)))
        return rejected(path, QStringLiteral("Der Dateiname ist kein gültiger Text."));
    auto pack = std::make_shared<LevelPack>();
    const char* data = p + fixed + namelen;
    for (int i = 0; i < levelcount; ++i) std::memcpy((*pack)[i].data(), data + qsizetype(i) * reclen, reclen);
    JournalRead r;
    r.ok = true;
    r.journal = {levelnr, QDateTime::fromMSecsSinceEpoch(ms), packfile, std::move(pack)};
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
        return FileResult{false, QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden: %2")
                                     .arg(QDir::toNativeSeparators(path), why)};
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
