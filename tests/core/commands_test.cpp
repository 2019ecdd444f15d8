// SPDX-License-Identifier: MIT
#include "editbench.h"
#include "level/levelstore.h"

#include <gtest/gtest.h>

using namespace tess;
using tess::test::EditBench;

namespace {

struct Commands : ::testing::Test {
    EditBench b;
    void SetUp() override {
        b.fill(1, 1, 58, 22, 1);
        b.layers.drawmode = selecttool;
    }
    void markrect(int c0, int r0, int c1, int r1, bool ctrl = false) {
        b.drag(Button::left, c0, r0, c1, r1, ctrl);
    }
    void copy() { copyselection(b.cur, b.layers); }
};

TEST_F(Commands, CopyWithNothingMarkedEmptiesTheClipboard) {
    b.layers.clipboard[cellindex(5, 5)] = markbit | 3;
    copy();
    for (auto c : b.layers.clipboard) ASSERT_EQ(c, emptyclip);
    const LevelRecord before = b.cur;
    b.command(pasteclipboard);
    EXPECT_EQ(b.cur, before);
    b.checkinvariants("empty paste");
}

TEST_F(Commands, CutKeepsOlderClipboardCellsAndPasteLaysBoth) {
    b.fill(2, 2, 4, 4, 3); // region A holds 3
    markrect(2, 2, 4, 4);
    copy();
    b.fill(10, 10, 12, 12, 8);
    b.fill(4, 4, 5, 5, 9); // region B overlaps A at (4,4)
    markrect(4, 4, 5, 5);  // without Ctrl: only B is marked now
    b.command(cutselection);
    b.checkinvariants("cut");
    for (auto [c, r] : {std::pair{4, 4}, {5, 4}, {4, 5}, {5, 5}}) EXPECT_EQ(b.at(c, r), 0);
    EXPECT_EQ(b.at(2, 2), 3) << "A is not touched by the cut";
    EXPECT_EQ(b.markedcount(), 0);

    b.command(pasteclipboard);
    b.checkinvariants("paste");
    EXPECT_EQ(b.at(2, 2), markbit | 3);
    EXPECT_EQ(b.at(3, 4), markbit | 3);
    EXPECT_EQ(b.at(4, 4), markbit | 9) << "where A and B overlap, B's cell is pasted";
    EXPECT_EQ(b.at(5, 5), markbit | 9);
    EXPECT_EQ(b.markedcount(), 9 + 3);

    const LevelRecord once = b.cur;
    b.command(pasteclipboard);
    EXPECT_EQ(b.cur, once) << "a second paste changes nothing";
    EXPECT_EQ(b.lastdrawn, 12) << "though it redraws the pasted cells";
}

TEST_F(Commands, CutWithNothingMarkedChangesNothing) {
    b.layers.clipboard[cellindex(5, 5)] = markbit | 3;
    const EditLayers layersbefore = b.layers;
    const LevelRecord before = b.cur;
    b.command(cutselection);
    EXPECT_EQ(b.cur, before);
    EXPECT_EQ(b.layers.clipboard, layersbefore.clipboard);
}

TEST_F(Commands, PasteOverUnmarkedCellsKeepsOtherMarks) {
    b.at(6, 6) = markbit | 5;
    copy();
    b.at(6, 6) = 2;                // now unmarked and different
    b.at(30, 3) = markbit | 4;     // a mark elsewhere
    b.command(pasteclipboard);
    EXPECT_EQ(b.at(6, 6), markbit | 5);
    EXPECT_EQ(b.at(30, 3), markbit | 4);
    b.checkinvariants("paste");
}

TEST_F(Commands, DeleteAndCutLeaveEmptyUnmarkedCells) {
    for (auto cmd : {deleteselection, cutselection}) {
        b.fill(7, 7, 9, 9, markbit | 4);
        const Layer clipboard = b.layers.clipboard;
        b.command(cmd);
        for (int r = 7; r <= 9; ++r)
            for (int c = 7; c <= 9; ++c) ASSERT_EQ(b.at(c, r), 0);
        if (cmd == deleteselection) EXPECT_EQ(b.layers.clipboard, clipboard);
        else EXPECT_EQ(b.layers.clipboard[cellindex(8, 8)], markbit | 4);
        EXPECT_EQ(b.lastdrawn, 9);
        b.checkinvariants("delete/cut");
    }
}

TEST_F(Commands, DrawToolUnmarksAndLeavesTheCounterToTheNextStroke) {
    b.fill(3, 3, 5, 3, markbit | code_infotron);
    const int counted = countinfotrons(b.cur);
    b.command(drawtoolclick);
    EXPECT_EQ(b.layers.drawmode, drawtool);
    EXPECT_EQ(b.markedcount(), 0);
    EXPECT_EQ(b.at(4, 3), code_infotron);
    EXPECT_EQ(b.lastdrawn, 3);
    EXPECT_EQ(countinfotrons(b.cur), counted + 3) << "they count again at the next count";
    b.checkinvariants("draw tool");
    // Again while the draw tool is active: a paste's marks are cleared too.
    b.layers.clipboard[cellindex(20, 20)] = markbit | 2;
    b.command(pasteclipboard);
    EXPECT_TRUE(b.shown[cellindex(20, 20)].inverted);
    b.command(drawtoolclick);
    EXPECT_EQ(b.at(20, 20), 2);
    EXPECT_FALSE(b.shown[cellindex(20, 20)].inverted);
}

TEST_F(Commands, SelectToolTouchesNothingButTheFlag) {
    b.layers.drawmode = drawtool;
    b.at(3, 3) = markbit | 1;
    const LevelRecord before = b.cur;
    const Layer clipboard = b.layers.clipboard;
    selecttoolclick(b.layers);
    EXPECT_EQ(b.layers.drawmode, selecttool);
    EXPECT_EQ(b.cur, before);
    EXPECT_EQ(b.layers.clipboard, clipboard);
}

TEST_F(Commands, MarkedBorderCellsTakePart) {
    b.at(0, 0) = markbit | 6;
    b.at(59, 23) = markbit | 3;
    copy();
    EXPECT_EQ(b.layers.clipboard[cellindex(0, 0)], markbit | 6);
    b.command(cutselection);
    EXPECT_EQ(b.at(0, 0), 0);
    EXPECT_EQ(b.at(59, 23), 0);
    b.command(pasteclipboard);
    EXPECT_EQ(b.at(59, 23), markbit | 3);
    EXPECT_EQ(b.lastdrawn, 0) << "the border ring is never drawn";
    b.command(deleteselection);
    EXPECT_EQ(b.at(0, 0), 0);
    b.at(59, 0) = markbit | 3;
    b.command(drawtoolclick);
    EXPECT_EQ(b.at(59, 0), 3);
}

// A command while a stroke is still in progress (its release happened outside
// the view) drops the stroke's overlay and redraws the cells it covered.
TEST_F(Commands, CommandsDuringAStrokeRedrawWhatTheOverlayCovered) {
    for (auto cmd : {cutselection, pasteclipboard, deleteselection, drawtoolclick}) {
        EditBench s;
        s.rightitem = 8;
        s.press(Button::right, 5, 5);
        s.move(9, 7);
        s.command(cmd);
        s.checkinvariants("command during stroke");
        EXPECT_TRUE(s.stroke.inprogress()) << "the stroke's flags stay";
        s.move(6, 5);
        s.checkinvariants("later move");
        s.release();
        EXPECT_EQ(s.at(6, 5), 8);
        EXPECT_EQ(s.at(9, 7), 0) << "the dropped rectangle never lands";
        s.checkinvariants("released");
    }
}

} // namespace

// A foreign byte 0x7F, marked, is 0xFF: copy, cut and both drags keep it.
TEST_F(Commands, MarkedByteSevenFTravelsLikeAnyOther) {
    const std::uint8_t foreign = markbit | 0x7F;
    struct Case {
        const char* name;
        void (*run)(Commands&);
        int col, row;         // where the block's first cell lands
        std::uint8_t leftat55; // what stays at its source
    };
    const Case cases[] = {
        {"copy, paste", [](Commands& t) { t.copy(); t.b.command(deleteselection); t.b.command(pasteclipboard); }, 5, 5, 0},
        {"cut, paste", [](Commands& t) { t.b.command(cutselection); t.b.command(pasteclipboard); }, 5, 5, 0},
        {"move-drag", [](Commands& t) { t.b.drag(Button::left, 5, 5, 9, 7); }, 9, 7, 0},
        {"copy-drag", [](Commands& t) { t.b.drag(Button::right, 5, 5, 9, 7); }, 9, 7, 0x7F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        b.fill(1, 1, 58, 22, 1);
        b.at(5, 5) = 0x7F;
        b.at(6, 5) = 3;
        markrect(5, 5, 6, 5);
        c.run(*this);
        EXPECT_EQ(b.at(c.col, c.row), foreign);
        EXPECT_EQ(b.at(c.col + 1, c.row), markbit | 3);
        if (c.col != 5) {
            EXPECT_EQ(b.at(5, 5), c.leftat55);
        }
        b.checkinvariants(c.name);
    }
}
