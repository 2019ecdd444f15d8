// SPDX-License-Identifier: MIT
#include "edit/stroke.h"

#include <algorithm>

namespace tess {

PressResult strokepress(const StrokeTarget& t, Button button, bool ctrl, int col, int row,
                        int leftitem, int rightitem) {
    PressResult result;
    if (col > lastcol || row > lastrow) {
        result.ignored = true;
        return result;
    }
    StrokeState& s = t.stroke;
    s.startx = std::max(col, 0);
    s.starty = std::max(row, 0);
    s.dragmode = 0;
    const bool right = button == Button::right;
    if (right) {
        s.rightdown = 1;
        s.strokeitem = static_cast<std::uint8_t>(rightitem);
    } else {
        s.leftdown = 1;
        s.strokeitem = static_cast<std::uint8_t>(leftitem);
    }
    if (t.layers.drawmode != selecttool) return result;

    auto& cur = t.curlevel;
    if (cur[cellindex(s.startx, s.starty)] & markbit) {
        // Selection drag: the selection goes to the clipboard and leaves its
        // source cells, emptied (move) or unmarked (copy).
        s.dragmode = 1;
        t.layers.clipboard.fill(emptyclip);
        for (int i = 0; i < cellcount; ++i) {
            if (!(cur[i] & markbit)) continue;
            t.layers.clipboard[i] = cur[i];
            cur[i] = right ? static_cast<std::uint8_t>(cur[i] & ~markbit) : code_empty;
        }
    } else {
        s.strokeitem = marktoken;
        if (!ctrl) {
            for (int i = 0; i < cellcount; ++i) cur[i] &= static_cast<std::uint8_t>(~markbit);
            result.repaintall = true;
        }
    }
    return result;
}

bool strokemove(const StrokeTarget& t, int col, int row) {
    const StrokeState& s = t.stroke;
    if (!s.inprogress()) return false;
    col = std::clamp(col, 0, lastcol);
    row = std::clamp(row, 0, lastrow);
    auto& overlay = t.layers.overlay;
    overlay.fill(notile);
    if (s.dragmode == 0) {
        const int left = std::min(s.startx, col), right = std::max(s.startx, col);
        const int top = std::min(s.starty, row), bottom = std::max(s.starty, row);
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c) {
                const int i = cellindex(c, r);
                overlay[i] = s.strokeitem == marktoken
                                 ? static_cast<std::uint8_t>(t.curlevel[i] | markbit)
                                 : s.strokeitem;
            }
        }
    } else {
        const int dx = col - s.startx, dy = row - s.starty;
        for (int r = 0; r < gridrows; ++r) {
            const int tr = r + dy;
            if (tr < 0 || tr >= gridrows) continue;
            for (int c = 0; c < gridcols; ++c) {
                const std::uint8_t v = t.layers.clipboard[cellindex(c, r)];
                const int tc = c + dx;
                if (v == emptyclip || tc < 0 || tc >= gridcols) continue;
                overlay[cellindex(tc, tr)] = v;
            }
        }
    }
    return true;
}

bool strokerelease(const StrokeTarget& t) {
    StrokeState& s = t.stroke;
    if (!s.inprogress()) return false;
    s.leftdown = 0;
    s.rightdown = 0;
    auto& overlay = t.layers.overlay;
    for (int i = 0; i < cellcount; ++i) {
        if (overlay[i] != notile) t.curlevel[i] = overlay[i];
        overlay[i] = notile;
    }
    return true;
}

} // namespace tess
