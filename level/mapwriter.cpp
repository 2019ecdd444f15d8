// SPDX-License-Identifier: MIT
// The TMX map of a level and tiles.tsx, as Tiled 1.8.2 lays them out: one
// space of indent per level, empty elements closed with "/>", attribute
// values in double quotes.
#include "level/mapformat.h"

#include <initializer_list>
#include <utility>

namespace tess {

namespace {

using Attributes = std::initializer_list<std::pair<const char*, std::string>>;

// The escapes Tiled's XML writer uses in attribute values.
std::string escaped(std::string_view value) {
    std::string out;
    for (const char c : value) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += "&#9;"; break;
        default: out += c;
        }
    }
    return out;
}

// An element's start tag at depth, empty ("/>") or open (">").
void tag(std::string& out, int depth, const char* name, Attributes attributes, bool empty) {
    out.append(std::size_t(depth), ' ');
    out += '<';
    out += name;
    for (const auto& [key, value] : attributes) {
        out += ' ';
        out += key;
        out += "=\"" + escaped(value) + '"';
    }
    out += empty ? "/>\n" : ">\n";
}

constexpr const char* declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string num(int n) { return std::to_string(n); }

} // namespace

std::string writetmx(const LevelMap& map) {
    std::string out = declaration;
    tag(out, 0, "map",
        {{"version", "1.8"}, {"tiledversion", "1.8.2"}, {"orientation", "orthogonal"},
         {"renderorder", "right-down"}, {"width", num(gridcols)}, {"height", num(gridrows)},
         {"tilewidth", num(maptilesize)}, {"tileheight", num(maptilesize)}, {"infinite", "0"},
         {"nextlayerid", "2"}, {"nextobjectid", "1"}},
        false);
    // Tiled keeps properties sorted by name.
    tag(out, 1, "properties", {}, false);
    if (map.hasforeign()) tag(out, 2, "property", {{"name", "foreign_bytes"}, {"value", foreigntext(map.foreign)}}, true);
    tag(out, 2, "property", {{"name", "gravity"}, {"type", "bool"}, {"value", map.gravity ? "true" : "false"}}, true);
    tag(out, 2, "property", {{"name", "infotrons_needed"}, {"type", "int"}, {"value", num(map.infotronsneeded)}}, true);
    tag(out, 2, "property", {{"name", "title"}, {"value", map.title}}, true);
    out += " </properties>\n";
    tag(out, 1, "tileset", {{"firstgid", "1"}, {"source", tilesetfilename}}, true);
    tag(out, 1, "layer", {{"id", "1"}, {"name", "Level"}, {"width", num(gridcols)}, {"height", num(gridrows)}}, false);
    // The numbers follow the start tag's line break directly, and the end tag
    // the last row's.
    out.append(2, ' ');
    out += "<data encoding=\"csv\">\n";
    for (int i = 0; i < cellcount; ++i) {
        out += num(map.cells[i] + 1);
        if (i + 1 < cellcount) out += ',';
        if (i % gridcols == gridcols - 1) out += '\n';
    }
    out += "</data>\n </layer>\n</map>\n";
    return out;
}

std::string writetsx() {
    std::string out = declaration;
    tag(out, 0, "tileset",
        {{"version", "1.8"}, {"tiledversion", "1.8.2"}, {"name", tilesetname}, {"tilewidth", num(maptilesize)},
         {"tileheight", num(maptilesize)}, {"tilecount", num(sheettilecount)}, {"columns", num(sheetcolumns)}},
        false);
    tag(out, 1, "image",
        {{"source", sheetfilename}, {"width", num(sheetcolumns * maptilesize)},
         {"height", num(sheettilecount / sheetcolumns * maptilesize)}},
        true);
    out += "</tileset>\n";
    return out;
}

} // namespace tess
