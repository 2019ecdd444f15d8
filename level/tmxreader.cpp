// SPDX-License-Identifier: MIT
// The TMX reader: what a map saved by Tiled as XML holds, unchecked.
#include "level/mapreader.h"
#include "level/mapxml.h"

namespace tess::mapread {

namespace {

std::string_view attr(const MapXml& x, const char* name) {
    const std::string* v = x.attribute(name);
    return v ? std::string_view(*v) : std::string_view();
}

// As a number, 0 when it is none.
int intattr(const MapXml& x, const char* name) {
    int v = 0;
    return parseint(attr(x, name), v) ? v : 0;
}

std::uint32_t gidattr(const MapXml& x) {
    const std::string_view s = attr(x, "gid");
    std::uint64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9' || v > 0xFFFFFFFFu) return 0;
        v = v * 10 + std::uint64_t(c - '0');
    }
    return v > 0xFFFFFFFFu ? 0 : std::uint32_t(v);
}

// Elements nested deeper than limit anywhere in the text; an XML error is
// left to the reading that follows.
bool nestsdeeper(std::string_view text) {
    MapXml x(text);
    while (!x.atend()) x.next();
    return x.toodeep();
}

std::string readdata(MapXml& x, RawMap& m) {
    const std::string encoding(attr(x, "encoding"));
    const std::string compression(attr(x, "compression"));
    std::string layer;
    while (!x.atend()) {
        x.next();
        if (x.token() == MapXml::characters && !encoding.empty()) layer += x.text();
        if (x.token() == MapXml::end) break;
        if (x.token() != MapXml::start) continue;
        if (x.name() == "chunk") return text("mapinfinite");
        if (x.name() == "tile") m.gids.add(gidattr(x));
        x.skipelement();
    }
    if (encoding.empty()) return {};
    return decodelayer(encoding, compression, layer, m.gids);
}

void readproperties(MapXml& x, std::vector<RawProperty>& out) {
    while (x.nextstart()) {
        if (x.name() != "property") {
            x.skipelement();
            continue;
        }
        RawProperty p{std::string(attr(x, "name")), std::string(attr(x, "type")), std::string(attr(x, "value"))};
        if (p.type.empty()) p.type = "string";
        const bool hasvalue = x.attribute("value");
        // A value with line breaks is saved as the element's text.
        std::string body = x.elementtext();
        if (!hasvalue) p.value = std::move(body);
        out.push_back(std::move(p));
    }
}

void readtileset(const MapXml& x, RawMap& m) {
    if (m.tilesets++) return;
    m.tileset.firstgid = intattr(x, "firstgid");
    m.tileset.source = attr(x, "source");
    m.tileset.name = attr(x, "name");
    if (x.attribute("tilecount")) m.tileset.tilecount = intattr(x, "tilecount");
}

// The children of the map element or of a layer group; object and image
// layers are passed over. Groups nest no deeper than the text was checked for.
std::string readchildren(MapXml& x, RawMap& m, bool top) {
    std::string fault;
    while (fault.empty() && x.nextstart()) {
        if (top && x.name() == "properties") {
            readproperties(x, m.properties);
            continue;
        }
        if (top && x.name() == "tileset") readtileset(x, m);
        if (x.name() == "group") {
            fault = readchildren(x, m, false);
            continue;
        }
        if (x.name() == "layer" && ++m.tilelayers == 1) {
            m.layerwidth = intattr(x, "width");
            m.layerheight = intattr(x, "height");
            while (fault.empty() && x.nextstart()) {
                if (x.name() == "data") fault = readdata(x, m);
                else x.skipelement();
            }
            continue;
        }
        x.skipelement();
    }
    return fault;
}

} // namespace

std::string readtmx(std::string_view source, RawMap& m) {
    if (nestsdeeper(source)) return text("mapxmlnesting", {num(mapnestinglimit)});
    MapXml x(source);
    if (x.nextstart()) {
        if (x.name() != "map") return text("mapnottmx", {excerpt(x.name())});
        m.orientation = attr(x, "orientation");
        m.width = intattr(x, "width");
        m.height = intattr(x, "height");
        m.infinite = attr(x, "infinite") == "1";
        std::string f = readchildren(x, m, true);
        if (!f.empty()) return f;
    }
    while (!x.atend()) x.next();
    return x.fault();
}

} // namespace tess::mapread
