// SPDX-License-Identifier: MIT
#pragma once

// Inside the map reader: what the TMX and JSON readers take from a file
// before it is checked, the layer data decoding both share, and the check
// that turns what was read into a map.

#include "level/levelmap.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

namespace tess::mapread {

struct RawProperty {
    QString name, type, value; // type "string" when the file gives none
};

struct RawTileset {
    int firstgid = 0;
    QString source;     // the file of an external tileset; empty when embedded
    QString name;       // of an embedded tileset
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
    QString orientation;
    int width = 0, height = 0;
    bool infinite = false;
    int tilesets = 0;
    RawTileset tileset; // the first
    int tilelayers = 0;
    int layerwidth = 0, layerheight = 0;
    Gids gids;
    std::vector<RawProperty> properties;
};

// Each reader fills m from the text, or returns the fault in German.
// Both refuse text nested deeper than mapnestinglimit before reading it.
QString readtmx(const QByteArray& text, RawMap& m);
QString readtmj(const QByteArray& text, RawMap& m);

// Layer data as its encoding ("csv" or "base64") and compression ("",
// "zlib" or "gzip") say, added to gids.
QString decodelayer(QStringView encoding, QStringView compression, QStringView text, Gids& gids);

// The map that was read, or the fault: size, orientation, our tileset, one
// tile layer of 1440 plain cells, properties of the right type and range.
QString checkmap(const RawMap& m, LevelMap& map);

} // namespace tess::mapread
