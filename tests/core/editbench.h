// SPDX-License-Identifier: MIT
#pragma once

// A working level with its layers and a model of the level view's screen,
// driven the way the level view drives the stroke logic.

#include "edit/commands.h"
#include "edit/display.h"
#include "edit/stroke.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace tess::test {

struct EditBench {
    LevelRecord cur{};
    EditLayers layers;
    StrokeState stroke;
    StrokeTarget target{cur, layers, stroke};
    int leftitem = 2;
    int rightitem = 0;
    // What the screen shows per interior cell, as the view would draw it.
    std::array<CellLook, cellcount> shown{};
    int fullrepaints = 0;
    int lastdrawn = 0;
    // The level as the last bench operation left it. A test that writes
    // cells directly sets up a new level: the next operation shows it first.
    LevelRecord known{};

    EditBench() { repaintall(); }

    void takeover() {
        if (cur != known) repaintall();
        known = cur;
    }
    void settle() { known = cur; }

    void repaintall() {
        ++fullrepaints;
        for (int row = firstrow; row <= lastrow; ++row)
            for (int col = firstcol; col <= lastcol; ++col)
                shown[cellindex(col, row)] = celllook(layers, cur, col, row);
    }
    void redraw() {
        lastdrawn = putbuffer(layers, cur, [&](int col, int row, CellLook look) {
            shown[cellindex(col, row)] = look;
        });
    }

    // Press, as the level view does it: the press, a full repaint when asked
    // for, then the first move step at the anchor.
    PressResult press(Button b, int col, int row, bool ctrl = false) {
        takeover();
        const PressResult r = strokepress(target, b, ctrl, col, row, leftitem, rightitem);
        if (!r.ignored) {
            if (r.repaintall) repaintall();
            strokemove(target, stroke.startx, stroke.starty);
            redraw();
        }
        settle();
        return r;
    }
    void move(int col, int row) {
        takeover();
        if (strokemove(target, col, row)) redraw();
        settle();
    }
    bool release() {
        takeover();
        const bool ended = strokerelease(target);
        settle();
        return ended;
    }
    void drag(Button b, int col, int row, int tocol, int torow, bool ctrl = false) {
        press(b, col, row, ctrl);
        move(tocol, torow);
        release();
    }
    void command(void (*cmd)(LevelRecord&, EditLayers&)) {
        takeover();
        cmd(cur, layers);
        redraw();
        settle();
    }

    std::uint8_t& at(int col, int row) { return cur[cellindex(col, row)]; }
    void fill(int c0, int r0, int c1, int r1, std::uint8_t v) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) at(c, r) = v;
    }
    bool insiderect(int col, int row, int c0, int r0, int c1, int r1) const {
        return col >= c0 && col <= c1 && row >= r0 && row <= r1;
    }
    int markedcount() const {
        int n = 0;
        for (auto b : cur) n += (b & markbit) != 0;
        return n;
    }

    // The invariants that hold after every event: an empty overlay between
    // strokes, marked clipboard cells, the screen showing every interior
    // cell's current value, and screenbuf agreeing with the layers.
    void checkinvariants(const std::string& where) const {
        SCOPED_TRACE(where);
        for (int i = 0; i < cellcount; ++i) {
            if (!stroke.inprogress()) {
                ASSERT_EQ(layers.overlay[i], notile) << "cell " << i;
            }
            const std::uint8_t c = layers.clipboard[i];
            ASSERT_TRUE(c == emptyclip || (c & markbit)) << "clipboard cell " << i;
        }
        if (stroke.inprogress()) {
            ASSERT_GE(stroke.startx, 0);
            ASSERT_LE(stroke.startx, lastcol);
            ASSERT_GE(stroke.starty, 0);
            ASSERT_LE(stroke.starty, lastrow);
        }
        for (int row = firstrow; row <= lastrow; ++row) {
            for (int col = firstcol; col <= lastcol; ++col) {
                const int i = cellindex(col, row);
                const CellLook want = celllook(layers, cur, col, row);
                ASSERT_EQ(shown[i].code, want.code) << col << "," << row;
                ASSERT_EQ(shown[i].inverted, want.inverted) << col << "," << row;
                const std::uint8_t current = layers.overlay[i] != notile ? layers.overlay[i] : cur[i];
                const std::uint8_t sb = layers.screenbuf[i];
                ASSERT_TRUE(sb == notile || sb == current) << "screenbuf at " << col << "," << row;
                if (layers.overlay[i] != notile) {
                    ASSERT_EQ(sb, layers.overlay[i]);
                }
            }
        }
    }
};

} // namespace tess::test
