// SPDX-License-Identifier: MIT
#include "edit/cellchange.h"
#include "editbench.h"

#include <gtest/gtest.h>

#include <random>

using namespace tess;
using tess::test::EditBench;

// Undo and redo write the recorded bytes back exactly and leave the screen
// showing them, also when the level was changed in between (a level switch
// clears marks) and for foreign bytes equal to the no-tile marker.
TEST(CellChange, UndoAndRedoRestoreTheRecordedBytes) {
    std::mt19937 rng(7);
    EditBench b;
    for (int round = 0; round < 200; ++round) {
        for (auto& c : b.cur) c = static_cast<std::uint8_t>(rng() % 3 == 0 ? notile : rng() % 256);
        b.takeover();
        const LevelCells before = tilesof(b.cur);
        const int n = static_cast<int>(rng() % 300);
        for (int k = 0; k < n; ++k) b.cur[rng() % cellcount] = static_cast<std::uint8_t>(rng() % 3 == 0 ? notile : rng() % 256);
        const LevelRecord after = b.cur;
        const CellChange change = diffcells(before, after);
        for (std::size_t k = 0; k < change.cells.size(); ++k)
            ASSERT_NE(change.before[k], change.after[k]);
        b.takeover();
        if (round % 2) for (auto& c : b.cur) c &= static_cast<std::uint8_t>(~markbit);
        b.takeover();
        for (bool undo : {true, false}) {
            applycells(b.cur, b.layers, change, undo);
            b.redraw();
            b.settle();
            for (std::size_t k = 0; k < change.cells.size(); ++k)
                ASSERT_EQ(b.cur[change.cells[k]], undo ? change.before[k] : change.after[k]);
            b.checkinvariants("round " + std::to_string(round));
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}
