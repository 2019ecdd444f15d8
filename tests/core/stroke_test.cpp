// SPDX-License-Identifier: MIT
#include "editbench.h"
#include "level/levelstore.h"

#include <gtest/gtest.h>

using namespace tess;
using tess::test::EditBench;

namespace {

TEST(CellOf, TruncatesTowardZero) {
    const struct {
        int pixel, tile, cell;
    } cases[] = {
        {0, 32, 1},   {31, 32, 1},  {32, 32, 2},  {-1, 32, 1}, {-31, 32, 1},
        {-32, 32, 0}, {-64, 32, -1}, {1855, 32, 58}, {1856, 32, 59}, {11, 12, 1},
        {12, 12, 2},  {-12, 12, 0}, {47, 48, 1}, {2783, 48, 58}};
    for (auto c : cases) EXPECT_EQ(cellof(c.pixel, c.tile), c.cell) << c.pixel << "/" << c.tile;
}

// Rectangle strokes in the draw tool: press, one move, release.
TEST(RectangleStroke, FillsTheRectangleBetweenAnchorAndPointer) {
    struct Case {
        const char* name;
        Button button;
        int col, row, tocol, torow;
        int c0, r0, c1, r1; // expected rectangle
        int code;
    };
    const Case cases[] = {
        {"click", Button::left, 10, 5, 10, 5, 10, 5, 10, 5, 2},
        {"right click", Button::right, 10, 5, 10, 5, 10, 5, 10, 5, 7},
        {"middle paints leftitem", Button::middle, 4, 4, 4, 4, 4, 4, 4, 4, 2},
        {"up and left", Button::left, 10, 5, 3, 8, 3, 5, 10, 8, 2},
        {"past left and top", Button::left, 5, 5, -4, -9, 0, 0, 5, 5, 2},
        {"past right and bottom", Button::right, 50, 20, 200, 90, 50, 20, 58, 22, 7},
        {"whole grid", Button::left, 1, 1, 58, 22, 1, 1, 58, 22, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditBench b;
        b.rightitem = 7;
        b.at(20, 20) = markbit | 3; // marks play no part in the draw tool
        b.fill(1, 1, 58, 22, 1);
        b.at(6, 6) = markbit | 1;
        b.drag(c.button, c.col, c.row, c.tocol, c.torow);
        b.checkinvariants(c.name);
        for (int row = 0; row < gridrows; ++row)
            for (int col = 0; col < gridcols; ++col) {
                const std::uint8_t before = (col == 6 && row == 6)   ? markbit | 1
                                            : isbordercell(col, row) ? 0
                                                                     : 1;
                const std::uint8_t want =
                    b.insiderect(col, row, c.c0, c.r0, c.c1, c.r1) ? c.code : before;
                ASSERT_EQ(b.at(col, row), want) << col << "," << row;
            }
    }
}

TEST(RectangleStroke, OverlayFollowsThePointerUntilRelease) {
    EditBench b;
    b.press(Button::left, 10, 10);
    b.move(14, 10);
    EXPECT_EQ(b.lastdrawn, 4) << "only the grown cells are drawn";
    b.move(14, 11);
    EXPECT_EQ(b.lastdrawn, 5);
    b.move(12, 11);
    EXPECT_EQ(b.lastdrawn, 4) << "shrunk cells are drawn again from the level";
    EXPECT_EQ(b.at(11, 10), 0) << "nothing reaches the level before the release";
    b.checkinvariants("during");
    EXPECT_TRUE(b.release());
    b.checkinvariants("after");
    EXPECT_EQ(b.at(11, 11), 2);
    EXPECT_EQ(b.at(14, 10), 0);
    EXPECT_FALSE(b.release()) << "a second release finds no stroke";
}

TEST(RectangleStroke, PressBeyondTheGridIsIgnored) {
    for (auto [col, row] : {std::pair{59, 5}, {5, 23}, {70, 40}}) {
        EditBench b;
        EXPECT_TRUE(b.press(Button::left, col, row).ignored);
        EXPECT_FALSE(b.stroke.inprogress());
        EXPECT_FALSE(b.release());
        EXPECT_EQ(b.cur, LevelRecord{});
    }
    // During a stroke an ignored press leaves the stroke running.
    EditBench b;
    b.press(Button::left, 3, 3);
    EXPECT_TRUE(b.press(Button::right, 59, 3).ignored);
    b.move(5, 3);
    EXPECT_TRUE(b.release());
    EXPECT_EQ(b.at(5, 3), 2);
}

TEST(RectangleStroke, SecondPressDropsTheFirstRectangle) {
    EditBench b;
    b.rightitem = 9;
    b.press(Button::left, 5, 5);
    b.move(9, 9);
    b.press(Button::right, 20, 20);
    b.checkinvariants("after second press");
    b.move(21, 21);
    EXPECT_TRUE(b.release());
    EXPECT_EQ(b.at(7, 7), 0);
    EXPECT_EQ(b.at(20, 20), 9);
    EXPECT_EQ(b.at(21, 21), 9);
    EXPECT_FALSE(b.release()) << "the other button's release does nothing";
    b.checkinvariants("end");
}

TEST(RectangleStroke, SecondPressLeftOfOrAboveTheViewAnchorsInTheBorderRing) {
    // Such a press computes a column or row below 0; it is clamped to 0.
    EditBench b;
    b.press(Button::left, 5, 5);
    b.press(Button::right, -3, -1);
    EXPECT_EQ(b.stroke.startx, 0);
    EXPECT_EQ(b.stroke.starty, 0);
    b.move(-10, 2);
    EXPECT_TRUE(b.release());
    for (int row = 0; row <= 2; ++row) EXPECT_EQ(b.at(0, row), 0) << "rightitem 0";
    b.rightitem = 5;
    b.press(Button::left, 1, 1);
    b.press(Button::right, -100, 3);
    b.release();
    EXPECT_EQ(b.at(0, 3), 5);
    b.checkinvariants("border anchor");
}

TEST(MarkStroke, WithoutCtrlReplacesTheSelection) {
    EditBench b;
    b.layers.drawmode = selecttool;
    b.fill(1, 1, 58, 22, 5);
    b.fill(30, 10, 32, 12, markbit | 5);
    b.takeover();
    const int repaints = b.fullrepaints;
    const PressResult r = b.press(Button::left, 3, 4);
    EXPECT_TRUE(r.repaintall);
    EXPECT_EQ(b.fullrepaints, repaints + 1);
    b.move(6, 5);
    b.checkinvariants("marking");
    b.release();
    for (int row = 1; row <= 22; ++row)
        for (int col = 1; col <= 58; ++col)
            ASSERT_EQ(b.at(col, row), b.insiderect(col, row, 3, 4, 6, 5) ? (markbit | 5) : 5)
                << col << "," << row;
    b.checkinvariants("marked");
}

TEST(MarkStroke, WithCtrlAddsToTheSelection) {
    EditBench b;
    b.layers.drawmode = selecttool;
    b.at(30, 10) = markbit | 5;
    const PressResult r = b.press(Button::right, 3, 4, true);
    EXPECT_FALSE(r.repaintall);
    b.move(4, 4);
    b.release();
    EXPECT_EQ(b.at(30, 10), markbit | 5);
    EXPECT_EQ(b.at(3, 4), markbit | 0);
    EXPECT_EQ(b.at(4, 4), markbit | 0);
    EXPECT_EQ(b.markedcount(), 3);
    b.checkinvariants("ctrl");
}

TEST(MarkStroke, MarkedInfotronsLeaveTheCount) {
    EditBench b;
    b.layers.drawmode = selecttool;
    for (int col = 10; col < 15; ++col) b.at(col, 7) = code_infotron;
    b.at(40, 7) = code_infotron;
    const int before = countinfotrons(b.cur);
    b.drag(Button::left, 9, 6, 13, 8);
    EXPECT_EQ(countinfotrons(b.cur), before - 4);
}

TEST(MarkStroke, DoubleClickLeavesOneMarkedCell) {
    EditBench b;
    b.layers.drawmode = selecttool;
    b.at(8, 8) = 3;
    b.at(20, 2) = markbit | 1;
    for (int click = 0; click < 2; ++click) {
        b.press(Button::left, 8, 8);
        b.release();
        b.checkinvariants("click");
    }
    EXPECT_EQ(b.markedcount(), 1);
    EXPECT_EQ(b.at(8, 8), markbit | 3);
    for (int i = 0; i < cellcount; ++i)
        ASSERT_EQ(b.layers.clipboard[i], i == cellindex(8, 8) ? (markbit | 3) : emptyclip) << i;
}

// A selection of three cells, dragged with each button.
struct Drag : ::testing::Test {
    EditBench b;
    void SetUp() override {
        b.layers.drawmode = selecttool;
        b.fill(1, 1, 58, 22, 1);
        b.at(10, 10) = markbit | 4;
        b.at(11, 10) = markbit | 5;
        b.at(11, 11) = markbit | 7;
    }
};

TEST_F(Drag, MoveLeavesEmptyCellsBehind) {
    b.press(Button::left, 10, 10);
    b.move(12, 13);
    b.checkinvariants("dragging");
    b.move(11, 10); // one column right: overlaps its source
    b.checkinvariants("overlapping");
    b.release();
    b.checkinvariants("dropped");
    EXPECT_EQ(b.at(10, 10), 0);
    EXPECT_EQ(b.at(11, 10), markbit | 4);
    EXPECT_EQ(b.at(12, 10), markbit | 5);
    EXPECT_EQ(b.at(11, 11), 0);
    EXPECT_EQ(b.at(12, 11), markbit | 7);
    EXPECT_EQ(b.markedcount(), 3);
}

TEST_F(Drag, MiddleButtonMovesLikeTheLeft) {
    b.drag(Button::middle, 11, 11, 21, 1);
    EXPECT_EQ(b.at(10, 10), 0);
    EXPECT_EQ(b.at(20, 0), markbit | 4) << "a drag may land in the border ring";
    EXPECT_EQ(b.at(21, 1), markbit | 7);
}

TEST_F(Drag, RightButtonCopiesAndUnmarksTheSource) {
    b.drag(Button::right, 11, 10, 31, 15);
    EXPECT_EQ(b.at(10, 10), 4);
    EXPECT_EQ(b.at(11, 11), 7);
    EXPECT_EQ(b.at(30, 15), markbit | 4);
    EXPECT_EQ(b.at(31, 16), markbit | 7);
    EXPECT_EQ(b.markedcount(), 3);
    b.checkinvariants("copied");
}

TEST_F(Drag, DropAtOffsetZeroRestoresTheSelection) {
    const LevelRecord before = b.cur;
    for (Button button : {Button::left, Button::right, Button::middle}) {
        b.press(button, 11, 11, true); // Ctrl makes no difference on a marked cell
        b.move(30, 3);
        b.move(11, 11);
        b.release();
        EXPECT_EQ(b.cur, before);
        b.checkinvariants("restored");
    }
}

TEST_F(Drag, ClickOnAMarkedCellRefillsTheClipboardOnly) {
    b.layers.clipboard[cellindex(40, 20)] = markbit | 9;
    const LevelRecord before = b.cur;
    b.press(Button::left, 11, 10);
    b.release();
    EXPECT_EQ(b.cur, before);
    for (int i = 0; i < cellcount; ++i) {
        const bool sel = i == cellindex(10, 10) || i == cellindex(11, 10) || i == cellindex(11, 11);
        ASSERT_EQ(b.layers.clipboard[i], sel ? before[i] : emptyclip) << i;
    }
}

TEST_F(Drag, PartOffTheGridIsGoneButStaysInTheClipboard) {
    b.drag(Button::left, 11, 10, -5, -5); // offset -11, -10: (10,10) falls off
    EXPECT_EQ(b.at(0, 0), markbit | 5);
    EXPECT_EQ(b.at(0, 1), markbit | 7);
    EXPECT_EQ(b.markedcount(), 2);
    b.checkinvariants("partly off");
    b.command(pasteclipboard);
    EXPECT_EQ(b.at(10, 10), markbit | 4);
    EXPECT_EQ(b.at(11, 10), markbit | 5);
    EXPECT_EQ(b.at(0, 0), markbit | 5) << "what landed stays";
    b.checkinvariants("pasted");
}

TEST_F(Drag, PressDuringADragStartsAMarkStroke) {
    b.press(Button::left, 10, 10);
    b.move(20, 15);
    b.press(Button::right, 40, 5);
    EXPECT_EQ(b.stroke.dragmode, 0);
    EXPECT_EQ(b.stroke.strokeitem, marktoken);
    b.release();
    EXPECT_EQ(b.at(10, 10), 0) << "the source stays emptied";
    EXPECT_EQ(b.at(21, 15), 1) << "the dropped drag never lands";
    EXPECT_EQ(b.markedcount(), 1);
    EXPECT_EQ(b.layers.clipboard[cellindex(11, 11)], markbit | 7) << "the selection survives there";
    b.checkinvariants("end");
}

} // namespace
