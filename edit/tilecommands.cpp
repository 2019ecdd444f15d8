// SPDX-License-Identifier: MIT
#include "edit/tilecommands.h"

#include "edit/commands.h"

#include <algorithm>

namespace tess {

namespace {

constexpr std::uint8_t codemask = static_cast<std::uint8_t>(~markbit);

std::uint8_t codeof(std::uint8_t byte) { return byte & codemask; }
bool marked(std::uint8_t byte) { return (byte & markbit) != 0; }

// Runs change on curlevel after dropping the overlay, then dirty-marks every
// cell whose byte changed with its old byte (or the new one where the old
// byte is a foreign byte equal to the marker). Returns the cells changed.
template <class Change> int changecells(LevelRecord& curlevel, EditLayers& layers, Change&& change) {
    dropoverlay(layers);
    std::array<std::uint8_t, cellcount> before;
    std::copy_n(curlevel.begin(), cellcount, before.begin());
    change();
    int changed = 0;
    for (int i = 0; i < cellcount; ++i) {
        if (before[i] == curlevel[i]) continue;
        layers.screenbuf[i] = before[i] != notile ? before[i] : curlevel[i];
        ++changed;
    }
    return changed;
}

template <class Visit> void eachinterior(Visit&& visit) {
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) visit(cellindex(col, row));
}

bool inscope(std::uint8_t byte, int i, ReplaceScope scope) {
    if (scope == ReplaceScope::marked) return marked(byte);
    return !isbordercell(i % gridcols, i / gridcols);
}

} // namespace

std::uint8_t mirrorcode(std::uint8_t byte, Mirror axis) {
    const std::uint8_t code = codeof(byte);
    for (const MirrorPair& p : mirrorpairs) {
        if (p.axis != axis) continue;
        if (code == p.a) return static_cast<std::uint8_t>((byte & markbit) | p.b);
        if (code == p.b) return static_cast<std::uint8_t>((byte & markbit) | p.a);
    }
    return byte;
}

int marksametiles(LevelRecord& curlevel, EditLayers& layers, std::uint8_t code) {
    return changecells(curlevel, layers, [&] {
        eachinterior([&](int i) {
            if (codeof(curlevel[i]) == code) curlevel[i] |= markbit;
        });
    });
}

int markregion(LevelRecord& curlevel, EditLayers& layers, int col, int row) {
    if (col < firstcol || col > lastcol || row < firstrow || row > lastrow) return 0;
    return changecells(curlevel, layers, [&] {
        const std::uint8_t code = codeof(curlevel[cellindex(col, row)]);
        // Each interior cell enters the stack at most once, so the stack
        // never holds more than the grid.
        std::array<std::uint16_t, cellcount> stack;
        std::array<bool, cellcount> seen{};
        int top = 0;
        const auto visit = [&](int c, int r) {
            if (c < firstcol || c > lastcol || r < firstrow || r > lastrow) return;
            const int i = cellindex(c, r);
            if (seen[i] || codeof(curlevel[i]) != code) return;
            seen[i] = true;
            stack[top++] = static_cast<std::uint16_t>(i);
        };
        visit(col, row);
        while (top > 0) {
            const int i = stack[--top];
            curlevel[i] |= markbit;
            const int c = i % gridcols, r = i / gridcols;
            visit(c - 1, r);
            visit(c + 1, r);
            visit(c, r - 1);
            visit(c, r + 1);
        }
    });
}

int markall(LevelRecord& curlevel, EditLayers& layers) {
    return changecells(curlevel, layers, [&] { eachinterior([&](int i) { curlevel[i] |= markbit; }); });
}

int fillmarked(LevelRecord& curlevel, EditLayers& layers, std::uint8_t code) {
    int filled = 0;
    changecells(curlevel, layers, [&] {
        for (int i = 0; i < cellcount; ++i) {
            if (!marked(curlevel[i])) continue;
            curlevel[i] = codeof(code);
            ++filled;
        }
    });
    return filled;
}

int mirrormarked(LevelRecord& curlevel, EditLayers& layers, Mirror axis) {
    int c0 = lastcol + 1, c1 = firstcol - 1, r0 = lastrow + 1, r1 = firstrow - 1;
    eachinterior([&](int i) {
        if (!marked(curlevel[i])) return;
        const int c = i % gridcols, r = i / gridcols;
        c0 = std::min(c0, c);
        c1 = std::max(c1, c);
        r0 = std::min(r0, r);
        r1 = std::max(r1, r);
    });
    if (c0 > c1) return 0;
    return changecells(curlevel, layers, [&] {
        const LevelRecord before = curlevel;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const int from = axis == Mirror::leftright ? cellindex(c0 + c1 - c, r) : cellindex(c, r0 + r1 - r);
                curlevel[cellindex(c, r)] = mirrorcode(before[from], axis);
            }
    });
}

int countreplace(const LevelRecord& curlevel, std::uint8_t from, std::uint8_t to, ReplaceScope scope) {
    if (codeof(from) == codeof(to)) return 0;
    int n = 0;
    for (int i = 0; i < cellcount; ++i) n += inscope(curlevel[i], i, scope) && codeof(curlevel[i]) == from;
    return n;
}

int replacetiles(LevelRecord& curlevel, EditLayers& layers, std::uint8_t from, std::uint8_t to,
                 ReplaceScope scope) {
    if (codeof(from) == codeof(to)) return 0;
    return changecells(curlevel, layers, [&] {
        for (int i = 0; i < cellcount; ++i)
            if (inscope(curlevel[i], i, scope) && codeof(curlevel[i]) == from)
                curlevel[i] = static_cast<std::uint8_t>((curlevel[i] & markbit) | codeof(to));
    });
}

TileCounts counttiles(const LevelRecord& curlevel) {
    TileCounts counts{};
    eachinterior([&](int i) { ++counts[codeof(curlevel[i])]; });
    return counts;
}

} // namespace tess
