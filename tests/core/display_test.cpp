// SPDX-License-Identifier: MIT
#include "edit/display.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tess;

namespace {

TEST(CellLook, OverlayWinsAndMarksInvert) {
    const struct {
        std::uint8_t overlay, level;
        int code;
        bool inverted;
    } cases[] = {
        {notile, 4, 4, false},
        {notile, markbit | 4, 4, true},            // marked level cell
        {7, markbit | 4, 7, false},                // a plain overlay value hides the mark
        {markbit | 7, 4, 7, true},                 // a marked overlay value (drag, mark stroke)
        {notile, 44, 44, false},                   // foreign byte: shown as unknown
        {markbit | notile, 2, notile, true},       // a marked foreign 44 is not the marker
        {0, 0xFF, 0, false},
    };
    for (auto c : cases) {
        const CellLook look = celllook(c.overlay, c.level);
        EXPECT_EQ(look.code, c.code) << int(c.overlay) << "/" << int(c.level);
        EXPECT_EQ(look.inverted, c.inverted) << int(c.overlay) << "/" << int(c.level);
    }
}

TEST(PutBuffer, DrawsExactlyTheInteriorCellsWhoseOverlayDiffers) {
    LevelRecord level{};
    level[cellindex(3, 3)] = markbit | 5;
    EditLayers layers;
    struct Set {
        int col, row;
        std::uint8_t overlay, screenbuf;
        bool drawn;
    };
    const Set cells[] = {
        {3, 3, 9, notile, true},      // new overlay value
        {4, 3, 9, 9, false},          // already drawn
        {5, 3, notile, 2, true},      // a value went away: drawn from the level
        {1, 1, markbit | 1, 1, true}, // same code, now marked
        {0, 5, 9, notile, false},     // border ring: never compared
        {59, 5, 9, notile, false},
        {7, 0, 9, notile, false},
        {7, 23, 9, notile, false},
    };
    for (const Set& c : cells) {
        layers.overlay[cellindex(c.col, c.row)] = c.overlay;
        layers.screenbuf[cellindex(c.col, c.row)] = c.screenbuf;
    }
    std::vector<std::pair<int, int>> drawn;
    std::vector<CellLook> looks;
    const int n = putbuffer(layers, level, [&](int col, int row, CellLook look) {
        drawn.emplace_back(col, row);
        looks.push_back(look);
    });
    EXPECT_EQ(n, 3);
    const std::vector<std::pair<int, int>> want = {{1, 1}, {3, 3}, {5, 3}}; // row by row
    EXPECT_EQ(drawn, want);
    EXPECT_TRUE(looks[0].inverted);
    EXPECT_EQ(looks[1].code, 9);
    EXPECT_FALSE(looks[1].inverted) << "the overlay value hides the level's mark";
    for (const Set& c : cells) {
        const int i = cellindex(c.col, c.row);
        EXPECT_EQ(layers.screenbuf[i], c.drawn ? c.overlay : c.screenbuf) << c.col << "," << c.row;
    }
    EXPECT_EQ(putbuffer(layers, level, [](int, int, CellLook) {}), 0) << "nothing left to draw";
}

} // namespace
