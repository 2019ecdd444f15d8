// SPDX-License-Identifier: MIT
#pragma once

// A level as a Tiled map: the record <-> map conversion, the writer of TMX
// maps and of the tileset file, and the reader of TMX and JSON (.tmj) maps.
//
// A map is 60 by 24 tiles, the border ring included, with one tile layer
// whose gid is the cell byte + 1 (flag-0 ports as 40..43, as the editor holds
// them) over the external tileset tiles.tsx, 256 tiles in tiles.png. Its
// properties are title (string), gravity (bool), infotrons_needed (int) and,
// only for a record the editor would not write as it is, foreign_bytes: the
// bytes of every field where the record differs from what storing the layer
// and the other properties builds, as "offset:built:raw" (decimal offset, hex
// bytes), a run of offsets with the same two bytes as "first-last:built:raw".
// A field is a cell, the whole title, the whole switch table (count byte
// included) or any other single byte; the title and the table are listed
// whole once any byte of them differs.

#include "level/levelformat.h"
#include "level/levelstore.h"
#include "level/packfile.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace tess {

inline constexpr int sheettilecount = 256;
inline constexpr int sheetcolumns = 16;
inline constexpr int maptilesize = 16;
inline constexpr const char* tilesetname = "tiles";
inline constexpr const char* tilesetfilename = "tiles.tsx";
inline constexpr const char* sheetfilename = "tiles.png";
// A level map is a few dozen kilobytes; the reader takes no more than this.
inline constexpr qint64 mapfilelimit = 1 << 20;
// Deeper nesting than this in a map's XML or JSON is refused.
inline constexpr int mapnestinglimit = 64;

// One slot per record offset of a map's foreign_bytes.
struct ForeignByte {
    bool held = false;  // the offset is listed
    std::uint8_t built = 0; // what storing the exported map built at the offset
    std::uint8_t raw = 0;   // what the record held there
    bool operator==(const ForeignByte&) const = default;
};
using ForeignBytes = std::array<ForeignByte, reclen>;

struct LevelMap {
    std::array<std::uint8_t, cellcount> cells{}; // as the editor holds them
    QString title;           // at most 23 Latin-1 characters, no control character
    bool gravity = false;
    int infotronsneeded = 0; // 0..255
    ForeignBytes foreign{};
    bool hasforeign() const;
    bool operator==(const LevelMap&) const = default;
};

// The map's name for level index (0..110): "level007"; the files are that
// with .tmx or .tmj.
QString levelmapname(int index);

// The map of a record: cells as selecting the level decodes them; title =
// the title bytes up to the first zero byte, trailing spaces cut, control
// characters shown as '?'; gravity = byte 1444 != 0; plus the foreign bytes.
LevelMap recordtomap(const LevelRecord& rec);

// The record of a map: what storing its cells and properties builds, then
// each listed field put back where the map still holds what the export
// wrote for it (a cell its code, any other field the bytes storing builds).
// An unchanged map gives its record back byte for byte; an edited field is
// stored as built, whole. switchesfound counts the ports, also those past
// the 11th.
BuiltRecord maptorecord(const LevelMap& map);

// The foreign_bytes text of a map, empty when nothing is listed, and its
// reader into the 1536 slots of out: the fault in German (completing "the
// property ...") for text that is malformed, lists an offset twice or is
// longer than a full record's listing; empty when read.
QString foreigntext(const ForeignBytes& foreign);
QString parseforeign(const QString& text, ForeignBytes& out);

// A value from a file as a message quotes it: its first 40 characters, then
// "…" when there are more. A map may hold a title of a million characters.
QString excerpt(QStringView value);

// The TMX text of a map and of tiles.tsx, laid out exactly as Tiled 1.8.2
// saves them.
QByteArray writetmx(const LevelMap& map);
QByteArray writetsx();

struct MapRead {
    bool ok = false;
    QString error; // German, names the file and the fault; empty when ok
    LevelMap map;
};

// Reads a map saved by Tiled 1.8: TMX, or JSON when the text starts with '{';
// layer data as CSV, XML tiles or base64 (line breaks and spaces allowed),
// plain, zlib or gzip. Object and image layers are ignored; exactly one tile
// layer and our one tileset must be there. path only names the file in an
// error.
MapRead parsemap(const QByteArray& text, const QString& path);

// Writes the TMX map of rec to path, atomically. The editor and
// tessaron-pack both export through this, so a record gives one map.
FileResult writelevelmap(const QString& path, const LevelRecord& rec);

// Writes tiles.tsx into the folder dir, atomically.
FileResult writetilesetfile(const QString& dir);

struct MapImport {
    bool ok = false;
    QString error;
    BuiltRecord built; // the record and the number of ports found
};

// Reads the map file at path (.tmx or .tmj) into a record. Only a plain
// file is read (not a folder, FIFO or device), and never more than
// mapfilelimit + 1 bytes of it.
MapImport readlevelmap(const QString& path);

} // namespace tess
