// SPDX-License-Identifier: MIT
#pragma once

// Where a dialog goes so as not to cover the marks it works on.

#include "level/levelformat.h"

namespace tess {

// A rectangle in pixels: its left and top, its width and height.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct PixelPoint {
    int x = 0, y = 0;
};

// The marked interior cells' bounding box in a level drawn with cells of
// tilew by tileh pixels, margin pixels in from its top left; empty (width 0)
// when no cell is marked.
PixelRect marksrect(const LevelRecord& curlevel, int tilew, int tileh, int margin);

// The top left of a window of width by height placed beside, above or below
// keepclear, on the side with the most room left over, gap pixels away, and
// centred along that side; kept within screen even where it must then cover
// part of keepclear.
PixelPoint besiderect(int width, int height, const PixelRect& keepclear, const PixelRect& screen);

} // namespace tess
