// SPDX-License-Identifier: MIT
#pragma once

// Moving a pack and a level list between memory and files.

#include "level/levelformat.h"
#include "level/levelstore.h" // buildlevellist

#include <QByteArray>
#include <QString>

class QFile;

namespace tess {

struct FileResult {
    bool ok = false;
    QString error; // German, names the file and the reason; empty when ok
};

// The sentence a file fault is told in: "Die Datei „PATH“ konnte nicht …
// werden: REASON", key naming what failed (level/captions.h: notopened,
// notcreated, notread, notloaded, notwritten).
QString filefault(const char* key, const QString& path, const QString& reason);

// Reads the first 170496 bytes of the file at path into pack. The file is
// opened for reading only. A file that cannot be opened or read, or that is
// shorter than a pack, leaves pack untouched and is reported. rest, when
// given, receives how many bytes follow the pack in the file (0 for a file
// of a pack's length); packsizewarning() says what that means to a user.
FileResult readpack(const QString& path, LevelPack& pack, qint64* rest = nullptr);

// How many bytes follow a pack in the regular file at path, which a save
// onto it would cut; 0 for anything else (missing, shorter, not a file).
qint64 bytesafterpack(const QString& path);

// Writes the 170496 bytes of pack. The file is replaced atomically: a failed
// write leaves what was there before and is reported.
FileResult writepack(const QString& path, const LevelPack& pack);

// Writes bytes to the file at path, atomically as writepack.
FileResult writefileatomically(const QString& path, const QByteArray& bytes);

// Reads the open file into out, at most limit + 1 bytes whatever size()
// says: a FIFO or a device reports nothing useful, and a file may grow while
// it is read. More than limit bytes in out means the file is too long; false
// on a read error.
bool readupto(QFile& file, qint64 limit, QByteArray& out);

// Writes the level list of pack, atomically as writepack.
FileResult writelevellist(const QString& path, const LevelPack& pack);

} // namespace tess
