// SPDX-License-Identifier: MIT
#pragma once

// Mouse strokes on grid cells: rectangle strokes (draw tool), mark strokes and
// selection drags (select tool). The level view turns pixels into cells and
// draws; everything a press, move or release does to the layers is here.

#include "edit/editlayers.h"

#include <cstdint>

namespace tess {

enum class Button { left, right, middle };

struct StrokeState {
    std::uint8_t leftdown = 0;   // a stroke begun with the left or middle button
    std::uint8_t rightdown = 0;  // a stroke begun with the right button
    std::uint8_t dragmode = 0;   // 0 rectangle or mark stroke, 1 selection drag
    std::uint8_t strokeitem = 0; // the code a rectangle lays; marktoken for a mark stroke
    std::int32_t startx = 0;     // anchor column
    std::int32_t starty = 0;     // anchor row

    bool inprogress() const { return leftdown || rightdown; }
};

inline constexpr std::uint8_t marktoken = 0xFF;

// The state a stroke works on, shared with the rest of the editor.
struct StrokeTarget {
    LevelRecord& curlevel;
    EditLayers& layers;
    StrokeState& stroke;
};

// The cell of a pixel position: div truncates toward zero, so positions just
// left of or above the content still give column or row 1.
inline int cellof(int pixel, int tilesize) { return pixel / tilesize + 1; }

struct PressResult {
    bool ignored = false;    // right of column 58 or below row 22: nothing changed
    bool repaintall = false; // a mark stroke cleared every mark: repaint the whole view
};

// Starts a stroke at cell (col, row), or restarts one when a stroke is in
// progress. Does not run the first move step: call strokemove with the anchor
// (startx, starty) after the repaint the result may ask for. A column or row
// below 0 (a second button pressed left of or above the view) anchors at 0.
PressResult strokepress(const StrokeTarget& t, Button button, bool ctrl, int col, int row,
                        int leftitem, int rightitem);

// Rebuilds the overlay for the pointer at cell (col, row), clamped to columns
// 0..58 and rows 0..22. Returns false (and does nothing) when no stroke is in
// progress; otherwise the caller runs putbuffer.
bool strokemove(const StrokeTarget& t, int col, int row);

// Ends the stroke: every overlay value lands in curlevel and the overlay is
// emptied. Returns false when no stroke was in progress.
bool strokerelease(const StrokeTarget& t);

} // namespace tess
