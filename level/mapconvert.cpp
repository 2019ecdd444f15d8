// SPDX-License-Identifier: MIT
// Record <-> map, and the foreign_bytes property that carries what a map
// cannot show.
#include "level/mapreader.h"
#include "level/utf8.h"

#include <algorithm>
#include <cstdio>

namespace tess {

namespace {

using mapread::text;
using mapread::num;

// A field of the record: a cell, the title, the switch table with its count
// byte, or one of the other bytes. Foreign bytes are listed and put back by
// field, so an edit never leaves half of a field's old bytes behind.
struct Field {
    int first, len;
};

Field fieldat(int offset) {
    if (offset >= off_title && offset < off_title + titlelen) return {off_title, titlelen};
    if (offset >= off_switchcount) return {off_switchcount, reclen - off_switchcount};
    return {offset, 1};
}

template <class Visit>
void eachfield(Visit visit) {
    for (int o = 0; o < reclen;) {
        const Field f = fieldat(o);
        visit(f);
        o = f.first + f.len;
    }
}

constexpr bool iscontrol(unsigned c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// The bytes a record's title field shows, as the map's title property.
std::string titletext(const LevelRecord& rec) {
    std::string t;
    for (int i = 0; i < titlelen && rec[off_title + i] != 0; ++i) {
        const std::uint8_t b = rec[off_title + i];
        // A control character would not survive the XML; foreign_bytes keeps it.
        appendutf8(t, iscontrol(b) ? '?' : b);
    }
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

// The map's title as record bytes; a checked title is Latin-1 only.
std::string latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t c = mapread::nextcodepoint(utf8, i);
        out += c <= 0xFF ? char(c) : '?';
    }
    return out;
}

BuiltRecord buildplain(const LevelMap& map) {
    LevelRecord cur{};
    std::copy(map.cells.begin(), map.cells.end(), cur.begin());
    StoreFields fields;
    fields.infotronsneeded = static_cast<std::int16_t>(map.infotronsneeded);
    fields.gravity = map.gravity;
    fields.title = latin1(map.title);
    return buildrecord(cur, fields);
}

bool decimal(std::string_view s, int& v) {
    if (s.empty() || s.size() > 4) return false;
    v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

int hexdigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool hexbyte(std::string_view s, std::uint8_t& v) {
    if (s.size() != 2 || hexdigit(s[0]) < 0 || hexdigit(s[1]) < 0) return false;
    v = std::uint8_t(hexdigit(s[0]) << 4 | hexdigit(s[1]));
    return true;
}

std::string hex2(std::uint8_t b) {
    char s[3];
    std::snprintf(s, sizeof s, "%02x", b);
    return s;
}

bool isspace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

} // namespace

bool LevelMap::hasforeign() const {
    return std::any_of(foreign.begin(), foreign.end(), [](const ForeignByte& f) { return f.held; });
}

LevelMap recordtomap(const LevelRecord& rec) {
    LevelMap map;
    LevelRecord cur = rec;
    decodeswitches(cur);
    std::copy_n(cur.begin(), cellcount, map.cells.begin());
    map.title = titletext(rec);
    map.gravity = rec[off_gravity] != 0;
    map.infotronsneeded = rec[off_infotrons];
    const LevelRecord built = buildplain(map).record;
    eachfield([&](Field f) {
        if (std::equal(rec.begin() + f.first, rec.begin() + f.first + f.len, built.begin() + f.first))
            return;
        for (int p = f.first; p < f.first + f.len; ++p) map.foreign[p] = {true, built[p], rec[p]};
    });
    return map;
}

BuiltRecord maptorecord(const LevelMap& map) {
    BuiltRecord out = buildplain(map);
    if (!map.hasforeign()) return out;
    const LevelRecord built = out.record;
    // The record as exported, if the map is unchanged; decoded, its cells are
    // what the export showed. A map from before titles and switch tables were
    // listed whole lists only their differing bytes; the rest is as built.
    LevelRecord exported = built;
    for (int p = 0; p < reclen; ++p)
        if (map.foreign[p].held) exported[p] = map.foreign[p].raw;
    LevelRecord shown = exported;
    decodeswitches(shown);
    eachfield([&](Field f) {
        bool listed = false, unchanged = true;
        for (int p = f.first; p < f.first + f.len; ++p) {
            const ForeignByte& b = map.foreign[p];
            if (!b.held) continue;
            listed = true;
            // A cell compares as shown: a plain tile painted over a marked
            // one builds the same byte but is an edit.
            unchanged = unchanged && (p < cellcount ? map.cells[p] == shown[p] : built[p] == b.built);
        }
        if (listed && unchanged)
            std::copy_n(exported.begin() + f.first, f.len, out.record.begin() + f.first);
    });
    return out;
}

// Runs of neighbouring offsets with the same two bytes are written as one
// range, so the unwritten border ring of a new pack is a few entries.
std::string foreigntext(const ForeignBytes& foreign) {
    std::string out;
    for (int i = 0; i < reclen;) {
        if (!foreign[i].held) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < reclen && foreign[j + 1] == foreign[i]) ++j;
        if (!out.empty()) out += ' ';
        out += j > i ? num(i) + '-' + num(j) : num(i);
        out += ':' + hex2(foreign[i].built) + ':' + hex2(foreign[i].raw);
        i = j + 1;
    }
    return out;
}

std::string parseforeign(std::string_view text, ForeignBytes& out) {
    // Every offset on its own, "1535:ff:ff ", is the longest listing there is.
    constexpr int longest = reclen * 11;
    const std::int64_t length = mapread::utf16length(text);
    if (length > longest) return mapread::text("mapforeignlong", {num(length), num(longest)});
    out = {};
    for (std::size_t at = 0; at < text.size();) {
        if (isspace(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !isspace(text[end])) ++end;
        const std::string_view part = text.substr(at, end - at);
        at = end;
        const std::size_t colon1 = part.find(':');
        const std::size_t colon2 = colon1 == part.npos ? part.npos : part.find(':', colon1 + 1);
        const bool three = colon2 != part.npos && part.find(':', colon2 + 1) == part.npos;
        const std::string_view offsets = part.substr(0, colon1);
        const std::size_t dash = offsets.find('-');
        int first = 0, last = 0;
        std::uint8_t built = 0, raw = 0;
        if (!three || !decimal(offsets.substr(0, dash), first) ||
            !decimal(dash == offsets.npos ? offsets : offsets.substr(dash + 1), last) ||
            !hexbyte(part.substr(colon1 + 1, colon2 - colon1 - 1), built) || !hexbyte(part.substr(colon2 + 1), raw) ||
            last < first || last >= reclen)
            return mapread::text("mapforeignmalformed", {excerpt(part)});
        for (int o = first; o <= last; ++o) {
            if (out[o].held) return mapread::text("mapforeigntwice", {num(o), excerpt(part)});
            out[o] = {true, built, raw};
        }
    }
    return {};
}

std::string levelmapbase(int index) {
    char name[24]; // "level" and any int
    std::snprintf(name, sizeof name, "level%03d", index + 1);
    return name;
}

} // namespace tess
