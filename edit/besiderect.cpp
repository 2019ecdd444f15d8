// SPDX-License-Identifier: MIT
#include "edit/besiderect.h"

#include <algorithm>
#include <iterator>

namespace tess {

PixelRect marksrect(const LevelRecord& curlevel, int tilew, int tileh, int margin) {
    int left = lastcol, right = 0, top = lastrow, bottom = 0;
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col)
            if (curlevel[cellindex(col, row)] & markbit)
                left = std::min(left, col), right = std::max(right, col), top = std::min(top, row),
                bottom = std::max(bottom, row);
    if (!right) return {};
    return {margin + (left - 1) * tilew, margin + (top - 1) * tileh, (right - left + 1) * tilew,
            (bottom - top + 1) * tileh};
}

PixelPoint besiderect(int width, int height, const PixelRect& keepclear, const PixelRect& screen) {
    constexpr int gap = 8;
    const int w = width + gap, h = height + gap;
    const int left = keepclear.x, top = keepclear.y;
    const int right = keepclear.x + keepclear.width - 1, bottom = keepclear.y + keepclear.height - 1;
    const int screenright = screen.x + screen.width - 1, screenbottom = screen.y + screen.height - 1;
    // Room on each side and what is left of it once the window is there.
    const int room[4] = {left - screen.x, screenright - right, top - screen.y, screenbottom - bottom};
    const int spare[4] = {room[0] - w, room[1] - w, room[2] - h, room[3] - h};
    const auto side = std::distance(std::begin(spare), std::max_element(std::begin(spare), std::end(spare)));
    PixelPoint at{(left + right) / 2 - width / 2, (top + bottom) / 2 - height / 2};
    switch (side) {
    case 0: at.x = left - w; break;
    case 1: at.x = right + 1 + gap; break;
    case 2: at.y = top - h; break;
    default: at.y = bottom + 1 + gap; break;
    }
    at.x = std::max(screen.x, std::min(at.x, screenright + 1 - width));
    at.y = std::max(screen.y, std::min(at.y, screenbottom + 1 - height));
    return at;
}

} // namespace tess
