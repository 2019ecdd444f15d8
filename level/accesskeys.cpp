// SPDX-License-Identifier: MIT
#include "level/accesskeys.h"

#include "level/utf8.h"

#include <algorithm>

namespace tess {

namespace {

// A caption as code points; a byte that starts no valid sequence stands for
// itself, as in Latin-1.
std::u32string decode(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        char32_t c = more ? b & (0x3F >> more) : b;
        bool valid = b < 0x80 || more > 0;
        for (int k = 1; valid && k <= more; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) valid = false;
            else c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        out += valid ? c : char32_t(b);
        i += valid ? std::size_t(more) + 1 : 1;
    }
    return out;
}

std::string encode(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) appendutf8(out, c);
    return out;
}

// Upper case for the Latin-1 letters; ß has none of its own.
char32_t upper(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
    if (c == 0xFF) return 0x178;
    return c;
}

bool letterordigit(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
}

// The position of the key character after a single '&', or npos.
std::size_t keyposition(const std::u32string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != U'&') continue;
        if (caption[i + 1] == U'&') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return std::u32string::npos;
}

} // namespace

std::vector<std::string> uniqueaccesskeys(const std::vector<std::string>& captions) {
    std::vector<std::u32string> all;
    std::u32string claimed, used;
    const auto has = [](const std::u32string& set, char32_t c) { return set.find(c) != std::u32string::npos; };
    for (const std::string& c : captions) {
        all.push_back(decode(c));
        const std::size_t k = keyposition(all.back());
        if (k != std::u32string::npos) claimed += upper(all.back()[k]);
    }
    std::vector<std::string> out;
    for (std::size_t n = 0; n < all.size(); ++n) {
        const std::u32string& caption = all[n];
        const std::size_t k = keyposition(caption);
        if (k == std::u32string::npos || !has(used, upper(caption[k]))) {
            if (k != std::u32string::npos) used += upper(caption[k]);
            out.push_back(captions[n]);
            continue;
        }
        std::u32string shown = caption;
        shown.erase(k - 1, 1);
        const auto free = std::find_if(shown.begin(), shown.end(), [&](char32_t c) {
            return letterordigit(c) && !has(claimed, upper(c)) && !has(used, upper(c));
        });
        if (free != shown.end()) {
            used += upper(*free);
            shown.insert(free, U'&');
        }
        out.push_back(encode(shown));
    }
    return out;
}

} // namespace tess
