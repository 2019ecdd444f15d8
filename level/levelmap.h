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
// bytes where the record differs from what storing the layer and the other
// properties builds, as "offset:built:raw" (decimal offset, hex bytes), a run
// of offsets with the same two bytes as "first-last:built:raw".

#include "level/levelformat.h"
#include "level/levelstore.h"
#include "level/packfile.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tess {

inline constexpr int sheettilecount = 256;
inline constexpr int sheetcolumns = 16;
inline constexpr int maptilesize = 16;
inline constexpr const char* tilesetfilename = "tiles.tsx";
inline constexpr const char* sheetfilename = "tiles.png";

struct ForeignByte {
    int offset;        // 0..1535
    std::uint8_t built; // what storing the map builds at offset
    std::uint8_t raw;   // what the record holds there
    bool operator==(const ForeignByte&) const = default;
};

struct LevelMap {
    std::array<std::uint8_t, cellcount> cells{}; // as the editor holds them
    QString title;           // at most 23 Latin-1 characters
    bool gravity = false;
    int infotronsneeded = 0; // 0..255
    std::vector<ForeignByte> foreign;
    bool operator==(const LevelMap&) const = default;
};

// The map of a record: cells as selecting the level decodes them; title =
// the title bytes up to the first zero byte, trailing spaces cut, bytes below
// 0x20 shown as '?'; gravity = byte 1444 != 0; plus the foreign bytes.
LevelMap recordtomap(const LevelRecord& rec);

// The record of a map: what storing its cells and properties builds, then
// each foreign byte put back where the built byte is still the one recorded,
// so an unchanged map gives its record back byte for byte and an edit made
// in the map wins. switchesfound counts the ports, also those past the 11th.
BuiltRecord maptorecord(const LevelMap& map);

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
// layer data as CSV, XML tiles or base64, plain, zlib or gzip. Object and
// image layers are ignored; exactly one tile layer must be there. path only
// names the file in an error.
MapRead parsemap(const QByteArray& text, const QString& path);

// Writes the TMX map of rec to path, atomically.
FileResult writelevelmap(const QString& path, const LevelRecord& rec);

// Writes tiles.tsx into the folder dir, atomically.
FileResult writetilesetfile(const QString& dir);

struct MapImport {
    bool ok = false;
    QString error;
    BuiltRecord built; // the record and the number of ports found
};

// Reads the map file at path (.tmx or .tmj) into a record.
MapImport readlevelmap(const QString& path);

} // namespace tess
