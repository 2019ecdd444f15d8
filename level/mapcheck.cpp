// SPDX-License-Identifier: MIT
// A map read from TMX or JSON checked and turned into a level map.
#include "level/mapreader.h"

#include <cstdio>

namespace tess {

namespace mapread {

namespace {

constexpr std::uint32_t flipbits = 0xF0000000u; // horizontal, vertical, diagonal, hexagonal 120°

std::string checktitle(const std::string& title) {
    std::int64_t units = 0;
    for (std::size_t i = 0; i < title.size();) {
        const char32_t c = nextcodepoint(title, i);
        ++units;
        if (c > 0xFF) return mapread::text("maptitlelatin1", {excerpt(title)});
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            char code[8];
            std::snprintf(code, sizeof code, "%04X", unsigned(c));
            return mapread::text("maptitlecontrol", {num(units), code});
        }
    }
    if (units > titlelen) return mapread::text("maptitlelong", {excerpt(title), num(units), num(titlelen)});
    return {};
}

std::string checkproperty(const RawProperty& p, LevelMap& map) {
    const auto wrongtype = [&p](const char* type) {
        return mapread::text("mapwrongtype", {excerpt(p.name), excerpt(p.type), type});
    };
    if (p.name == "title") {
        if (p.type != "string") return wrongtype("string");
        std::string f = checktitle(p.value);
        if (!f.empty()) return f;
        map.title = p.value;
    } else if (p.name == "gravity") {
        if (p.type != "bool") return wrongtype("bool");
        if (p.value != "true" && p.value != "false") return mapread::text("mapgravity", {excerpt(p.value)});
        map.gravity = p.value == "true";
    } else if (p.name == "infotrons_needed") {
        if (p.type != "int") return wrongtype("int");
        const bool ok = parseint(p.value, map.infotronsneeded);
        if (!ok || map.infotronsneeded < 0 || map.infotronsneeded > 255) return mapread::text("mapinfotrons", {excerpt(p.value)});
    } else if (p.name == "foreign_bytes") {
        if (p.type != "string") return wrongtype("string");
        std::string f = parseforeign(p.value, map.foreign);
        if (!f.empty()) return mapread::text("mapforeign", {f});
    }
    // Other properties carry nothing of the record and are left alone.
    return {};
}

// Ours is tiles.tsx beside the map, or the same tileset embedded.
std::string checktileset(const RawMap& m) {
    const RawTileset& t = m.tileset;
    if (m.tilesets != 1) return mapread::text("maptilesets", {num(m.tilesets), tilesetfilename});
    const bool external = !t.source.empty();
    const std::string_view file = std::string_view(t.source).substr(t.source.find_last_of("/\\") + 1);
    const std::string& shown = external ? t.source : t.name;
    if (external ? file != tilesetfilename : t.name != tilesetname)
        return mapread::text("mapothertileset", {excerpt(shown), tilesetfilename});
    if (t.tilecount != sheettilecount && (!external || t.tilecount != -1))
        return mapread::text("maptilecount", {excerpt(shown), num(t.tilecount), num(sheettilecount)});
    if (t.firstgid != 1) return mapread::text("mapfirstgid", {num(t.firstgid)});
    return {};
}

} // namespace

std::string checkmap(const RawMap& m, LevelMap& map) {
    const auto size = [](int w, int h) { return mapread::text("mapsize", {num(w), num(h)}); };
    const std::string level = size(gridcols, gridrows);
    if (m.orientation != "orthogonal") return mapread::text("maporientation", {excerpt(m.orientation)});
    if (m.infinite) return mapread::text("mapinfinite");
    if (m.width != gridcols || m.height != gridrows) return mapread::text("mapmapsize", {size(m.width, m.height), level});
    if (std::string f = checktileset(m); !f.empty()) return f;
    if (m.tilelayers != 1)
        return m.tilelayers == 0 ? mapread::text("mapnolayer") : mapread::text("maplayers", {num(m.tilelayers)});
    if (m.layerwidth != gridcols || m.layerheight != gridrows)
        return mapread::text("maplayersize", {size(m.layerwidth, m.layerheight), level});
    if (m.gids.toomany) return mapread::text("maptoomanycells", {num(cellcount)});
    if (m.gids.count != cellcount) return mapread::text("mapcellcount", {num(m.gids.count), num(cellcount)});
    for (int i = 0; i < cellcount; ++i) {
        const std::uint32_t gid = m.gids.gid[i];
        const auto cell = [i] { return mapread::text("mapcell", {num(i % gridcols), num(i / gridcols)}); };
        if (gid & flipbits) return mapread::text("mapflipped", {cell()});
        if (gid == 0) return mapread::text("mapemptycell", {cell()});
        if (gid > std::uint32_t(sheettilecount)) return mapread::text("mapgid", {cell(), num(gid), num(sheettilecount)});
        map.cells[i] = static_cast<std::uint8_t>(gid - 1);
    }
    for (const RawProperty& p : m.properties) {
        std::string f = checkproperty(p, map);
        if (!f.empty()) return f;
    }
    return {};
}

} // namespace mapread

MapRead parsemap(std::string_view text, std::string_view path) {
    MapRead out;
    mapread::RawMap raw;
    std::size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || (text[first] >= '\t' && text[first] <= '\r'))) ++first;
    const bool json = first < text.size() && text[first] == '{';
    std::string f = json ? mapread::readtmj(text, raw) : mapread::readtmx(text, raw);
    if (f.empty()) f = mapread::checkmap(raw, out.map);
    if (!f.empty()) {
        out.error = mapread::text("mapinvalid", {path, f});
        out.map = {};
        return out;
    }
    out.ok = true;
    return out;
}

} // namespace tess
