// SPDX-License-Identifier: MIT
// The JSON (.tmj) reader: what a map saved by Tiled as JSON holds, unchecked.
// nlohmann's JSON parser, driven through its event interface so that the
// nesting limit holds before any deeper value is built and no fault throws.
#include "level/mapreader.h"

#define JSON_NOEXCEPTION
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>

namespace tess::mapread {

namespace {

using Json = nlohmann::json;

// Builds the document as the library's own builder does, refusing values
// nested deeper than the limit and keeping the fault's place.
struct Builder {
    nlohmann::detail::json_sax_dom_parser<Json> dom;
    int depth = 0;
    bool toodeep = false;
    std::size_t faultat = 0;
    explicit Builder(Json& root) : dom(root, false) {}

    bool null() { return dom.null(); }
    bool boolean(bool v) { return dom.boolean(v); }
    bool number_integer(Json::number_integer_t v) { return dom.number_integer(v); }
    bool number_unsigned(Json::number_unsigned_t v) { return dom.number_unsigned(v); }
    bool number_float(Json::number_float_t v, const Json::string_t& s) { return dom.number_float(v, s); }
    bool string(Json::string_t& v) { return dom.string(v); }
    bool binary(Json::binary_t& v) { return dom.binary(v); }
    bool key(Json::string_t& v) { return dom.key(v); }
    bool start_object(std::size_t n) { return deeper() && dom.start_object(n); }
    bool start_array(std::size_t n) { return deeper() && dom.start_array(n); }
    bool end_object() { return --depth, dom.end_object(); }
    bool end_array() { return --depth, dom.end_array(); }
    bool parse_error(std::size_t at, const std::string&, const nlohmann::detail::exception&) {
        faultat = at;
        return false;
    }
    bool deeper() {
        toodeep = ++depth > mapnestinglimit;
        return !toodeep;
    }
};

const Json* member(const Json& object, const char* key) {
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::string stringof(const Json& object, const char* key) {
    const Json* v = member(object, key);
    return v && v->is_string() ? v->get_ref<const std::string&>() : std::string();
}

// An integral number that fits an int, or fallback.
int integer(const Json& object, const char* key, int fallback = 0) {
    const Json* v = member(object, key);
    if (!v || !v->is_number()) return fallback;
    const double d = v->get<double>();
    return d == std::floor(d) && d >= INT32_MIN && d <= INT32_MAX ? int(d) : fallback;
}

const Json& list(const Json& object, const char* key) {
    static const Json empty = Json::array();
    const Json* v = member(object, key);
    return v && v->is_array() ? *v : empty;
}

std::string readlayers(const Json& layers, RawMap& m) {
    for (const Json& layer : layers) {
        const std::string type = stringof(layer, "type");
        if (type == "group") {
            std::string f = readlayers(list(layer, "layers"), m);
            if (!f.empty()) return f;
        }
        if (type != "tilelayer" || ++m.tilelayers > 1) continue;
        if (member(layer, "chunks")) return mapread::text("mapinfinite");
        m.layerwidth = integer(layer, "width");
        m.layerheight = integer(layer, "height");
        const Json* data = member(layer, "data");
        if (!data || !data->is_array()) {
            std::string f = decodelayer(stringof(layer, "encoding"), stringof(layer, "compression"), stringof(layer, "data"), m.gids);
            if (!f.empty()) return f;
            continue;
        }
        for (const Json& gid : *data) {
            const double d = gid.is_number() ? gid.get<double>() : -1;
            if (d < 0 || d > 0xFFFFFFFFu || d != double(std::uint32_t(d)))
                return mapread::text("mapnogid", {num(m.gids.count % gridcols), num(m.gids.count / gridcols)});
            m.gids.add(std::uint32_t(d));
            if (m.gids.toomany) break;
        }
    }
    return {};
}

// A property's value as TMX writes it.
std::string valuetext(const Json& v) {
    if (v.is_string()) return v.get_ref<const std::string&>();
    if (v.is_boolean()) return v.get<bool>() ? "true" : "false";
    if (v.is_number_unsigned()) return std::to_string(v.get<std::uint64_t>());
    if (v.is_number_integer()) return std::to_string(v.get<std::int64_t>());
    if (v.is_number_float()) {
        char s[32];
        std::snprintf(s, sizeof s, "%.17g", v.get<double>());
        return s;
    }
    return {};
}

} // namespace

std::string readtmj(std::string_view source, RawMap& m) {
    Json root;
    Builder builder(root);
    if (!Json::sax_parse(source.data(), source.data() + source.size(), &builder)) {
        if (builder.toodeep) return mapread::text("mapjsonnesting", {num(mapnestinglimit)});
        // The character the parser stopped at, whole.
        std::size_t at = builder.faultat > 0 ? builder.faultat - 1 : 0;
        while (at > 0 && at < source.size() && (static_cast<unsigned char>(source[at]) & 0xC0) == 0x80) --at;
        std::size_t next = at;
        if (at < source.size()) nextcodepoint(source, next);
        const std::string what = at >= source.size() ? mapread::text("mapjsonend")
                                                       : mapread::text("mapjsontoken", {source.substr(at, next - at)});
        return mapread::text("mapjsonerror", {num(std::int64_t(builder.faultat)), what});
    }
    if (stringof(root, "type") != "map") return mapread::text("mapnotjson");
    m.orientation = stringof(root, "orientation");
    m.width = integer(root, "width");
    m.height = integer(root, "height");
    const Json* infinite = member(root, "infinite");
    m.infinite = infinite && infinite->is_boolean() && infinite->get<bool>();
    const Json& tilesets = list(root, "tilesets");
    m.tilesets = int(tilesets.size());
    if (!tilesets.empty()) {
        const Json& t = tilesets.front();
        m.tileset = {integer(t, "firstgid"), stringof(t, "source"), stringof(t, "name"), integer(t, "tilecount", -1)};
    }
    for (const Json& p : list(root, "properties")) {
        const Json* value = member(p, "value");
        // Tiled leaves the type out of a string property written by other tools.
        std::string type = stringof(p, "type");
        if (type.empty()) type = "string";
        m.properties.push_back({stringof(p, "name"), type, value ? valuetext(*value) : std::string()});
    }
    return readlayers(list(root, "layers"), m);
}

} // namespace tess::mapread
