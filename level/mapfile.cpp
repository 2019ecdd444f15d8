// SPDX-License-Identifier: MIT
// Level maps and the tileset as files.
#include "level/levelmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


namespace tess {

namespace {

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

QString levelmapname(int index) { return QStringLiteral("level%1").arg(index + 1, 3, 10, QChar(u'0')); }

FileResult writelevelmap(const QString& path, const LevelRecord& rec) {
    return writefileatomically(path, writetmx(recordtomap(rec)));
}

FileResult writetilesetfile(const QString& dir) {
    return writefileatomically(QDir(dir).filePath(QLatin1String(tilesetfilename)), writetsx());
}

MapImport readlevelmap(const QString& path) {
    MapImport out;
    const QFileInfo info(path);
    const auto refused = [&](const QString& reason) {
        out.error = filefault("notread", path, reason);
        return out;
    };
    if (info.isDir()) return refused(QStringLiteral("Es ist ein Ordner."));
    // Opening a FIFO would wait for a writer; a device never ends.
    if (info.exists() && !info.isFile()) return refused(QStringLiteral("Sie ist keine gewöhnliche Datei."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = filefault("notopened", path, file.errorString());
        return out;
    }
    QByteArray text;
    if (!readupto(file, mapfilelimit, text)) return refused(file.errorString());
    if (text.size() > mapfilelimit) {
        out.error = QStringLiteral("Die Datei „%1“ ist keine gültige Karte: Sie ist länger als %2 Bytes.")
                        .arg(shown(path), QString::number(mapfilelimit));
        return out;
    }
    const MapRead read = parsemap(text, path);
    out.error = read.error;
    if (!read.ok) return out;
    out.built = maptorecord(read.map);
    out.ok = true;
    return out;
}

} // namespace tess
