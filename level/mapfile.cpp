// SPDX-License-Identifier: MIT
// Level maps and the tileset as files.
#include "level/levelmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tess {

namespace {

QByteArray bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }

} // namespace

QString levelmapname(int index) { return QString::fromStdString(levelmapbase(index)); }

QString excerpt(QStringView value) { return QString::fromStdString(excerpt(value.toString().toStdString())); }

FileResult writelevelmap(const QString& path, const LevelRecord& rec) {
    return writefileatomically(path, bytes(writetmx(recordtomap(rec))));
}

FileResult writetilesetfile(const QString& dir) {
    return writefileatomically(QDir(dir).filePath(QLatin1String(tilesetfilename)), bytes(writetsx()));
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
    const std::string shown = QDir::toNativeSeparators(path).toStdString();
    if (text.size() > mapfilelimit) {
        out.error = QString::fromStdString(maptoolong(shown));
        return out;
    }
    const MapRead read = parsemap(std::string_view(text.constData(), std::size_t(text.size())), shown);
    out.error = QString::fromStdString(read.error);
    if (!read.ok) return out;
    out.built = maptorecord(read.map);
    out.ok = true;
    return out;
}

} // namespace tess
