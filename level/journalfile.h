// SPDX-License-Identifier: MIT
#pragma once

// The recovery journal's file: everything needed to rebuild an unsaved pack
// after the editor was killed. The bytes are level/journalcodec.h's, either
// version; this editor writes version 1 and compares with the pack's file.

#include "level/journalcodec.h"
#include "level/levelformat.h"
#include "level/packfile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace tess {

struct Journal {
    int levelnr = 0;       // the working level, 0..110
    QDateTime changed;     // when the pack last changed
    QString packfile;      // the pack's own file; empty for a new pack
    std::shared_ptr<const LevelPack> pack;
    std::shared_ptr<const LevelPack> saved = nullptr; // a page's saved image (version 2); null in version 1
};

QByteArray encodejournal(const Journal& journal);

struct JournalRead {
    bool ok = false;
    QString error; // German, names the file and the fault; empty when ok
    Journal journal;
};

// Parses a journal's bytes; path only names the file in an error.
JournalRead parsejournal(const QByteArray& bytes, const QString& path);

// Reads the journal at path, never more than journalmaxlen + 1 bytes
// whatever the file claims to be (a FIFO, a device, a huge file).
JournalRead readjournal(const QString& path);

// Writes bytes atomically and durably: the file's data and the folder entry
// are on the disk when this returns ok. A new file is made 0600, readable by
// its owner only; a temporary PATH.XXXXXX beside it is renamed over it.
FileResult writedurably(const QString& path, const QByteArray& bytes);

// Opens path for reading only when it is a regular file: no symbolic link
// is followed, no FIFO waited for, no device opened. -1 with error set, a
// German sentence, otherwise; the caller closes the descriptor.
int openregular(const QString& path, QString& error);

// Reads at most cap bytes from the descriptor's position into bytes,
// counting while it reads; false with error set when reading fails or there
// is more than cap.
bool readcapped(int fd, qint64 cap, QByteArray& bytes, QString& error);

// Both of the above: the file at path, when it is a regular file.
bool readcapped(const QString& path, qint64 cap, QByteArray& bytes, QString& error);

} // namespace tess
