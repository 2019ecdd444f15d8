// SPDX-License-Identifier: MIT
// The JSON (.tmj) reader: what a map saved by Tiled as JSON holds, unchecked.
// nlohmann's JSON parser, driven through its event interface so that the
// nesting limit holds before any deeper value is built and no fault throws.
#include "level/mapreader.h"

#define JSON_NOEXCEPTION
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <vector>

namespace tess::mapread {

namespace {

using Json = nlohmann::json;

// Builds the document from the parser's events, refusing values nested
// deeper than the limit before they are built and keeping the fault's place.
struct Builder {
    Json& root;
    std::vector<Json*> open; // the arrays and objects being filled, innermost last
    std::string name;        // the member name for the next value of an object
    int depth = 0;
    bool toodeep = false;
    std::size_t faultat = 0;
    explicit Builder(Json& r) : root(r) {}

    // Only the innermost open value grows, so the pointers to those around it stay valid.
    Json* put(Json value) {
        if (open.empty()) return &(root = std::move(value));
        Json& into = *open.back();
        if (into.is_array()) {
            into.push_back(std::move(value));
            return &into.back();
        }
        return &(into[name] = std::move(value));
    }
    bool null() { return put(nullptr), true; }
    bool boolean(bool v) { return put(v), true; }
    bool number_integer(Json::number_integer_t v) { return put(v), true; }
    bool number_unsigned(Json::number_unsigned_t v) { return put(v), true; }
    bool number_float(Json::number_float_t v, const Json::string_t&) { return put(v), true; }
    bool string(Json::string_t& v) { return put(std::move(v)), true; }
    bool binary(Json::binary_t&) { return false; } // JSON text has none
    bool key(Json::string_t& v) { return name = std::move(v), true; }
    bool start_object(std::size_t) { return deeper() && (open.push_back(put(Json::object())), true); }
    bool start_array(std::size_t) { return deeper() && (open.push_back(put(Json::array())), true); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t at, const std::string&, const nlohmann::detail::exception&) {
        faultat = at;
        return false;
    }
    bool close() {
        --depth;
        open.pop_back();
        return true;
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
