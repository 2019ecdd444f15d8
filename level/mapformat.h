// SPDX-License-Identifier: MIT
#pragma once

// A level as a Tiled map, without Qt: the record <-> map conversion, the
// writer of TMX maps and of the tileset file, and the reader of TMX and JSON
// (.tmj) maps, bytes in and bytes or a German fault out. The desktop and the
// page both read and write maps through these functions.
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
//
// Text is UTF-8 throughout.

#include "level/levelformat.h"
#include "level/levelstore.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

inline constexpr int sheettilecount = 256;
inline constexpr int sheetcolumns = 16;
inline constexpr int maptilesize = 16;
inline constexpr const char* tilesetname = "tiles";
inline constexpr const char* tilesetfilename = "tiles.tsx";
inline constexpr const char* sheetfilename = "tiles.png";
// A level map is a few dozen kilobytes; the reader takes no more than this.
inline constexpr std::int64_t mapfilelimit = 1 << 20;
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
    std::string title;       // at most 23 Latin-1 characters, no control character
    bool gravity = false;
    int infotronsneeded = 0; // 0..255
    ForeignBytes foreign{};
    bool hasforeign() const;
    bool operator==(const LevelMap&) const = default;
};

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
std::string foreigntext(const ForeignBytes& foreign);
std::string parseforeign(std::string_view text, ForeignBytes& out);

// A value from a file as a message quotes it: its first 40 characters
// (UTF-16 units, a pair never cut), then "…" when there are more. A map may
// hold a title of a million characters.
std::string excerpt(std::string_view value);

// "level001" for index 0: the name a level's map goes by, without ".tmx".
std::string levelmapbase(int index);

// The TMX text of a map and of tiles.tsx, laid out exactly as Tiled 1.8.2
// saves them.
std::string writetmx(const LevelMap& map);
std::string writetsx();

struct MapRead {
    bool ok = false;
    std::string error; // German, names the file and the fault; empty when ok
    LevelMap map;
};

// Reads a map saved by Tiled 1.8: TMX, or JSON when the text starts with '{';
// layer data as CSV, XML tiles or base64 (line breaks and spaces allowed),
// plain, zlib or gzip. Object and image layers are ignored; exactly one tile
// layer and our one tileset must be there. path only names the file in an
// error, as given. The caller caps the text at mapfilelimit bytes.
MapRead parsemap(std::string_view text, std::string_view path);

// The German fault that text is longer than mapfilelimit, naming path.
std::string maptoolong(std::string_view path);

} // namespace tess
