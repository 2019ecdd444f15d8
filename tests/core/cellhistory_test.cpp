// SPDX-License-Identifier: MIT
#include "edit/cellhistory.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace tess;

// Random edits, undos and redos on three levels against a model that keeps
// every state of each level: after each operation the level holds the
// state the model says, and undo/redo are offered exactly when the model
// has a state to go to.
TEST(CellHistory, FollowsAModelOfStatesPerLevel) {
    std::mt19937 rng(11);
    CellHistory history;
    EditLayers layers;
    std::array<LevelRecord, 3> levels{};
    std::array<std::vector<LevelRecord>, 3> states;
    std::array<std::size_t, 3> at{};
    for (int l = 0; l < 3; ++l) states[l] = {levels[l]};
    for (int step = 0; step < 3000; ++step) {
        const int l = static_cast<int>(rng() % 3);
        LevelRecord& cur = levels[l];
        switch (rng() % 3) {
        case 0: {
            const LevelCells before = tilesof(cur);
            for (int k = rng() % 5; k > 0; --k) cur[rng() % cellcount] = static_cast<std::uint8_t>(rng() % 4);
            const CellChange change = diffcells(before, cur);
            if (change.empty()) break;
            history.record(l, change);
            states[l].resize(at[l] + 1);
            states[l].push_back(cur);
            ++at[l];
            break;
        }
        case 1:
            if (const CellChange* c = history.undo(l)) applycells(cur, layers, *c, true), --at[l];
            break;
        case 2:
            if (const CellChange* c = history.redo(l)) applycells(cur, layers, *c, false), ++at[l];
            break;
        }
        ASSERT_EQ(cur, states[l][at[l]]) << "step " << step;
        ASSERT_EQ(history.canundo(l), at[l] > 0);
        ASSERT_EQ(history.canredo(l), at[l] + 1 < states[l].size());
    }
}

// The bound holds for all levels together, the oldest steps go first, and
// the newest step of the level being edited stays undoable.
TEST(CellHistory, KeepsWithinItsBoundDroppingTheOldestSteps) {
    CellChange one;
    one.cells = {100};
    one.before = {0};
    one.after = {1};
    const std::size_t limit = 10 * one.bytes();
    CellHistory history(limit);
    for (int k = 0; k < 30; ++k) history.record(k % 2, one);
    EXPECT_LE(history.bytes(), limit);
    int undone = 0;
    for (int l = 0; l < 2; ++l)
        while (history.undo(l)) ++undone;
    EXPECT_EQ(undone, 10);
    history.clear();
    EXPECT_EQ(history.bytes(), 0u);
    EXPECT_FALSE(history.canundo(0));
}
