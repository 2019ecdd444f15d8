// SPDX-License-Identifier: MIT
#include "level/packfile.h"

#include "level/captions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace tess {

namespace {

FileResult writeatomically(const QString& path, const char* data, qint64 len) {
    if (QFileInfo(path).isDir())
        return {false, filefault("notwritten", path,
                      QStringLiteral("Es ist ein Ordner."))};
    QSaveFile file(path);
    // Unbuffered, so that a write stopped part way (a full disk, a file size
    // limit) is seen here and not lost in a buffer flushed at commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, filefault("notcreated", path, file.errorString())};
    const qint64 written = file.write(data, len);
    if (written != len) {
        // A write stopped part way often carries no error text of its own.
        const QString reason =
            written > 0 ? QStringLiteral("Nur %1 von %2 Bytes ließen sich schreiben (Datenträger voll "
                                         "oder Dateigröße begrenzt).")
                              .arg(written)
                              .arg(len)
                        : file.errorString();
        file.cancelWriting();
        return {false, filefault("notwritten", path, reason)};
    }
    if (!file.commit())
        return {false, filefault("notwritten", path, file.errorString())};
    return {true, {}};
}

} // namespace

QString filefault(const char* key, const QString& path, const QString& reason) {
    return QString::fromUtf8(caption(key)).arg(QDir::toNativeSeparators(path), reason);
}

FileResult readpack(const QString& path, LevelPack& pack, qint64* rest) {
    QFile file(path);
    if (QFileInfo(path).isDir())
        return {false, filefault("notread", path, QStringLiteral("Es ist ein Ordner."))};
    // A FIFO would block the open until something writes to it.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return {false, filefault("notread", path, QStringLiteral("Es ist keine gewöhnliche Datei."))};
    if (!file.open(QIODevice::ReadOnly))
        return {false, filefault("notopened", path, file.errorString())};

    // Read into a separate buffer first, so a short or failing file never
    // leaves its bytes mixed into the pack that is in memory.
    std::vector<char> buf(packlen);
    qint64 got = 0;
    while (got < packlen) {
        const qint64 n = file.read(buf.data() + got, packlen - got);
        if (n < 0) return {false, filefault("notread", path, file.errorString())};
        if (n == 0) break;
        got += n;
    }
    if (got < packlen)
        return {false, filefault("notloaded", path, QString::fromStdString(packsizeproblem(got)))};
    // The file is a regular one (checked above), so its size is what follows.
    if (rest) *rest = ::fstat(file.handle(), &st) == 0 ? std::max<qint64>(st.st_size - packlen, 0) : 0;
    for (int i = 0; i < levelcount; ++i)
        std::memcpy(pack[i].data(), buf.data() + static_cast<std::size_t>(i) * reclen, reclen);
    return {true, {}};
}

qint64 bytesafterpack(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    return std::max<qint64>(st.st_size - packlen, 0);
}

FileResult writepack(const QString& path, const LevelPack& pack) {
    std::vector<char> buf(packlen);
    for (int i = 0; i < levelcount; ++i)
        std::memcpy(buf.data() + static_cast<std::size_t>(i) * reclen, pack[i].data(), reclen);
    return writeatomically(path, buf.data(), packlen);
}

FileResult writefileatomically(const QString& path, const QByteArray& bytes) {
    return writeatomically(path, bytes.constData(), bytes.size());
}

bool readupto(QFile& file, qint64 limit, QByteArray& out) {
    out.clear();
    char chunk[65536];
    while (out.size() <= limit) {
        const qint64 n = file.read(chunk, std::min<qint64>(sizeof chunk, limit + 1 - out.size()));
        if (n < 0) return false;
        if (n == 0) break;
        out.append(chunk, n);
    }
    return true;
}

FileResult writelevellist(const QString& path, const LevelPack& pack) {
    const LevelList list = buildlevellist(pack);
    return writeatomically(path, reinterpret_cast<const char*>(list.data()), listlen);
}

} // namespace tess
