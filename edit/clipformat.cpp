// SPDX-License-Identifier: MIT
#include "edit/clipformat.h"

#include <algorithm>
#include <cstring>

namespace tess {

namespace {

constexpr char cellsmagic[4] = {'T', 'S', 'C', 'L'};
constexpr char levelmagic[4] = {'T', 'S', 'L', 'V'};
constexpr std::uint8_t version = 1;
constexpr std::size_t cellshead = 9;  // magic, version, left, top, width, height
constexpr std::size_t levelhead = 5;  // magic, version

struct Box {
    int left = gridcols, top = gridrows, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

Box cellbox(const Layer& clipboard) {
    Box b;
    for (int i = 0; i < cellcount; ++i) {
        if (clipboard[i] == emptyclip) continue;
        const int col = i % gridcols, row = i / gridcols;
        b.left = std::min(b.left, col);
        b.right = std::max(b.right, col);
        b.top = std::min(b.top, row);
        b.bottom = std::max(b.bottom, row);
    }
    return b;
}

void hexrow(std::string& out, const std::uint8_t* codes, int n, bool clip) {
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < n; ++i) {
        if (i) out += ' ';
        const std::uint8_t c = codes[i];
        if (clip && c == emptyclip) {
            out += "..";
            continue;
        }
        const std::uint8_t code = clip ? std::uint8_t(c & ~markbit) : c;
        out += digits[code >> 4];
        out += digits[code & 15];
    }
    out += '\n';
}

} // namespace

bool anycells(const Layer& clipboard) {
    return std::any_of(clipboard.begin(), clipboard.end(), [](std::uint8_t c) { return c != emptyclip; });
}

std::vector<std::uint8_t> encodecells(const Layer& clipboard) {
    const Box b = cellbox(clipboard);
    if (b.empty()) return {};
    const int w = b.right - b.left + 1, h = b.bottom - b.top + 1;
    std::vector<std::uint8_t> out(cellsmagic, cellsmagic + 4);
    for (int v : {int(version), b.left, b.top, w, h}) out.push_back(std::uint8_t(v));
    for (int row = b.top; row <= b.bottom; ++row)
        for (int col = b.left; col <= b.right; ++col) out.push_back(clipboard[cellindex(col, row)]);
    return out;
}

bool decodecells(const std::uint8_t* data, std::size_t size, Layer& clipboard) {
    if (!data || size < cellshead || std::memcmp(data, cellsmagic, 4) != 0 || data[4] != version) return false;
    const int left = data[5], top = data[6], w = data[7], h = data[8];
    if (w < 1 || h < 1 || left + w > gridcols || top + h > gridrows) return false;
    if (size != cellshead + std::size_t(w) * std::size_t(h)) return false;
    const std::uint8_t* cells = data + cellshead;
    bool any = false;
    for (int i = 0; i < w * h; ++i) {
        // Only what a clipboard can hold: a marked byte, or no cell.
        if (cells[i] != emptyclip && !(cells[i] & markbit)) return false;
        any = any || cells[i] != emptyclip;
    }
    if (!any) return false;
    clipboard.fill(emptyclip);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) clipboard[cellindex(left + col, top + row)] = cells[row * w + col];
    return true;
}

std::vector<std::uint8_t> encodelevel(const LevelRecord& record) {
    std::vector<std::uint8_t> out(levelmagic, levelmagic + 4);
    out.push_back(version);
    out.insert(out.end(), record.begin(), record.end());
    return out;
}

bool decodelevel(const std::uint8_t* data, std::size_t size, LevelRecord& record) {
    if (!data || size != levelhead + reclen || std::memcmp(data, levelmagic, 4) != 0 || data[4] != version)
        return false;
    std::copy(data + levelhead, data + size, record.begin());
    return true;
}

std::string cellstext(const Layer& clipboard) {
    const Box b = cellbox(clipboard);
    std::string out;
    for (int row = b.top; row <= b.bottom; ++row)
        hexrow(out, clipboard.data() + cellindex(b.left, row), b.right - b.left + 1, true);
    return out;
}

std::string leveltext(const LevelRecord& record) {
    std::string out;
    for (int row = 0; row < gridrows; ++row) hexrow(out, record.data() + cellindex(0, row), gridcols, false);
    return out;
}

} // namespace tess
