// SPDX-License-Identifier: MIT
// The map code's text: UTF-8 walked by code point, values quoted in faults,
// and the faults themselves from the one text table.
#include "level/captions.h"
#include "level/mapreader.h"

#include <cstring>

namespace tess {

namespace mapread {

char32_t nextcodepoint(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    int len = b < 0x80 ? 1 : b >= 0xC2 && b < 0xE0 ? 2 : b >= 0xE0 && b < 0xF0 ? 3 : b >= 0xF0 && b < 0xF5 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return U'\uFFFD';
    }
    char32_t c = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return U'\uFFFD';
        }
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    if ((len == 3 && c < 0x800) || (len == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c < 0xE000)) {
        ++i;
        return U'\uFFFD';
    }
    i += len;
    return c;
}

std::int64_t utf16length(std::string_view s) {
    std::int64_t n = 0;
    for (std::size_t i = 0; i < s.size();) n += nextcodepoint(s, i) > 0xFFFF ? 2 : 1;
    return n;
}

bool parseint(std::string_view s, int& out) {
    const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!s.empty() && space(s.front())) s.remove_prefix(1);
    while (!s.empty() && space(s.back())) s.remove_suffix(1);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    if (s.empty()) return false;
    std::int64_t v = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > std::int64_t(1) << 31) return false;
    }
    v = negative ? -v : v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    out = int(v);
    return true;
}

std::string text(const char* key, std::initializer_list<std::string_view> args) {
    const char* text = caption(key);
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9' && std::size_t(p[1] - '1') < args.size()) {
            out += args.begin()[p[1] - '1'];
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace mapread

std::string excerpt(std::string_view value) {
    constexpr std::int64_t shown = 40;
    std::int64_t units = 0;
    std::size_t i = 0;
    while (i < value.size()) {
        std::size_t next = i;
        const int cost = mapread::nextcodepoint(value, next) > 0xFFFF ? 2 : 1;
        // Never cut a surrogate pair in two.
        if (units + cost > shown) break;
        units += cost;
        i = next;
    }
    if (i == value.size()) return std::string(value);
    return std::string(value.substr(0, i)) + "\u2026";
}

std::string maptoolong(std::string_view path) {
    return mapread::text("mapinvalid", {path, mapread::text("maptoolong", {mapread::num(mapfilelimit)})});
}

} // namespace tess
