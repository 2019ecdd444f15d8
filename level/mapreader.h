// SPDX-License-Identifier: MIT
#pragma once

// Inside the map reader: what the TMX and JSON readers take from a file
// before it is checked, the layer data decoding both share, the check that
// turns what was read into a map, and the German faults from the text table.

#include "level/mapformat.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tess::mapread {

struct RawProperty {
    std::string name, type, value; // type "string" when the file gives none
};

struct RawTileset {
    int firstgid = 0;
    std::string source; // the file of an external tileset; empty when embedded
    std::string name;   // of an embedded tileset
    int tilecount = -1; // -1 when the file does not say
};

// The cells of the tile layer, never more than a level has.
struct Gids {
    std::array<std::uint32_t, cellcount> gid{};
    int count = 0;
    bool toomany = false;
    void add(std::uint32_t g) {
        if (count < cellcount) gid[count++] = g;
        else toomany = true;
    }
};

struct RawMap {
    std::string orientation;
    int width = 0, height = 0;
    bool infinite = false;
    int tilesets = 0;
    RawTileset tileset; // the first
    int tilelayers = 0;
    int layerwidth = 0, layerheight = 0;
    Gids gids;
    std::vector<RawProperty> properties;
};

// The caption key's text with %1, %2, ... filled in.
std::string text(const char* key, std::initializer_list<std::string_view> args = {});
inline std::string num(std::int64_t n) { return std::to_string(n); }

// Each reader fills m from the text, or returns the fault in German.
// Both refuse text nested deeper than mapnestinglimit before reading it.
std::string readtmx(std::string_view text, RawMap& m);
std::string readtmj(std::string_view text, RawMap& m);

// Layer data as its encoding ("csv" or "base64") and compression ("",
// "zlib" or "gzip") say, added to gids.
std::string decodelayer(std::string_view encoding, std::string_view compression, std::string_view text, Gids& gids);

// The map that was read, or the fault: size, orientation, our tileset, one
// tile layer of 1440 plain cells, properties of the right type and range.
std::string checkmap(const RawMap& m, LevelMap& map);

// The first code point of UTF-8 text at i, i moved past it; U+FFFD for a
// malformed sequence, which then counts one byte.
char32_t nextcodepoint(std::string_view s, std::size_t& i);
// The length of UTF-8 text in UTF-16 units, as a user's editor counts it.
std::int64_t utf16length(std::string_view s);
// A number as the readers take it: decimal digits, an optional sign, spaces
// around; false when it is none or does not fit.
bool parseint(std::string_view s, int& out);

} // namespace tess::mapread
