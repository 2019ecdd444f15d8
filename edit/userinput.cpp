// SPDX-License-Identifier: MIT
#include "edit/userinput.h"

#include "level/levelformat.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace tess {

int zoomstep(int tile, int by) {
    const auto at = std::find(std::begin(zoomsteps), std::end(zoomsteps), tile);
    if (at == std::end(zoomsteps)) return tile;
    const auto last = static_cast<int>(std::size(zoomsteps)) - 1;
    return zoomsteps[std::clamp(static_cast<int>(at - std::begin(zoomsteps)) + by, 0, last)];
}

int infotronsvalue(std::string_view typed, int spinner, int step) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!typed.empty() && blank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && blank(typed.back())) typed.remove_suffix(1);
    int value = typed.empty() ? -1 : 0;
    for (char c : typed) {
        if (c < '0' || c > '9') {
            value = -1;
            break;
        }
        // Past 255 stays past it, however many digits follow.
        value = std::min(value * 10 + (c - '0'), 256);
    }
    return std::clamp((value >= 0 && value <= 255 ? value : spinner) + step, 0, 255);
}

std::string latin1title(std::string_view utf8) {
    std::string out;
    for (std::size_t at = 0; at < utf8.size() && out.size() < static_cast<std::size_t>(titlelen);) {
        const auto b = static_cast<unsigned char>(utf8[at]);
        std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
        std::uint32_t cp = len <= 1 ? b : b & (0x7F >> len);
        for (std::size_t i = 1; i < len; ++i) {
            const auto c = at + i < utf8.size() ? static_cast<unsigned char>(utf8[at + i]) : 0;
            if ((c & 0xC0) != 0x80) len = 0; // cut short or broken: one '?' for its first byte
            cp = cp << 6 | (c & 0x3F);
        }
        out += len > 0 && cp <= 0xFF ? static_cast<char>(cp) : '?';
        at += std::max<std::size_t>(len, 1);
    }
    return out;
}

std::string levellistname(std::string_view packname) {
    const std::size_t dot = packname.rfind('.');
    const std::string_view base =
        dot == std::string_view::npos || dot + 1 == packname.size() ? packname : packname.substr(0, dot);
    return std::string(base) + ".lst";
}

} // namespace tess
