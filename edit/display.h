// SPDX-License-Identifier: MIT
#pragma once

// What a level-view cell shows, and which cells the incremental redraw draws.

#include "edit/editlayers.h"

#include <cstdint>

namespace tess {

struct CellLook {
    std::uint8_t code; // may be tilecodecount or more for a byte from a foreign file
    bool inverted;     // marked cells are drawn with every colour bit inverted
};

// The overlay wins where it holds a value; otherwise the working level shows
// through. A marked value is drawn inverted wherever it comes from. Only the
// marker byte itself lets the level show through, so a marked foreign byte
// 44 | 0x80 dragged or marked over a cell is shown as what it is.
inline CellLook celllook(std::uint8_t overlayvalue, std::uint8_t levelvalue) {
    const std::uint8_t v = overlayvalue == notile ? levelvalue : overlayvalue;
    return {static_cast<std::uint8_t>(v & ~markbit), (v & markbit) != 0};
}

inline CellLook celllook(const EditLayers& layers, const LevelRecord& level, int col, int row) {
    const int i = cellindex(col, row);
    return celllook(layers.overlay[i], level[i]);
}

// The incremental redraw: for every interior cell whose overlay byte differs
// from its screenbuf byte, takes the overlay byte into screenbuf and calls
// draw(col, row, look). Other cells and the border ring are left alone.
// Returns the number of cells drawn.
template <class Draw>
int putbuffer(EditLayers& layers, const LevelRecord& level, Draw&& draw) {
    int drawn = 0;
    for (int row = firstrow; row <= lastrow; ++row) {
        for (int col = firstcol; col <= lastcol; ++col) {
            const int i = cellindex(col, row);
            if (layers.overlay[i] == layers.screenbuf[i]) continue;
            layers.screenbuf[i] = layers.overlay[i];
            draw(col, row, celllook(layers.overlay[i], level[i]));
            ++drawn;
        }
    }
    return drawn;
}

} // namespace tess
