// SPDX-License-Identifier: MIT
#include "edit/history.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tess;

namespace {

// A one-cell step named by its cell, so that a test can tell the steps apart.
CellChange cellstep(int n) { return {{static_cast<std::uint16_t>(n)}, {0}, {1}}; }

// The names of the steps of level, as undo (or redo) hands them out until none is left.
std::vector<int> walk(History& h, int level, bool undo) {
    std::vector<int> out;
    while (const HistoryStep* s = undo ? h.undo(level) : h.redo(level)) out.push_back(std::get<CellChange>(*s).cells[0]);
    return out;
}

} // namespace

// The bound holds for all levels together: the largest history loses its
// oldest step, or its newest undone one when every step is undone.
TEST(History, KeepsItsBoundDroppingTheOldestSteps) {
    struct Case {
        const char* name;
        std::function<void(History&)> run;
        std::vector<int> undos0, undos1, redos0;
    };
    const std::vector<Case> cases{
        {"alternating levels keep their newest steps",
         [](History& h) { for (int k = 0; k < 30; ++k) h.record(k % 2, cellstep(k)); },
         {28, 26, 24, 22, 20}, {29, 27, 25, 23, 21}, {}},
        {"an undone history loses its newest undone step",
         [](History& h) {
             for (int k = 0; k < 8; ++k) h.record(0, cellstep(k));
             while (h.undo(0)) {}
             for (int k = 8; k < 11; ++k) h.record(1, cellstep(k));
         },
         {}, {10, 9, 8}, {0, 1, 2, 3, 4, 5, 6}},
    };
    const std::size_t limit = 10 * stepbytes(cellstep(0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        History h(limit);
        c.run(h);
        EXPECT_LE(h.bytes(), limit);
        EXPECT_EQ(walk(h, 0, true), c.undos0);
        EXPECT_EQ(walk(h, 1, true), c.undos1);
        if (!c.redos0.empty()) {
            EXPECT_EQ(walk(h, 0, false), c.redos0);
        }
    }
}
