// SPDX-License-Identifier: MIT
#pragma once

// The grids that lie beside the working level: the stroke overlay, the
// display cache and the editor's own clipboard, with the tool flag.

#include "level/levelformat.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tess {

// In overlay and screenbuf: nothing of its own at this cell, curlevel shows through.
// One more than the highest tile code, so it never equals a code or a marked code.
inline constexpr std::uint8_t notile = tilecodecount;
// In clipboard: no cell was taken at this position. The clipboard takes only
// marked cells, so any byte without the mark bit can say "empty"; 0xFF cannot,
// since a marked foreign byte 0x7F from a loaded file reads 0xFF.
inline constexpr std::uint8_t emptyclip = 0x7F;

static_assert(tilecodecount < 128, "codes, marked codes and notile must stay distinct");
static_assert((emptyclip & markbit) == 0 && emptyclip >= tilecodecount,
              "no marked byte and no tile code equals the empty clipboard value");

using Layer = std::array<std::uint8_t, cellcount>;

inline constexpr std::uint8_t drawtool = 1;
inline constexpr std::uint8_t selecttool = 0;

struct EditLayers {
    Layer overlay;
    Layer screenbuf;
    Layer clipboard;
    std::uint8_t drawmode = drawtool;

    EditLayers() {
        emptyoverlay();
        clipboard.fill(emptyclip);
    }

    // Fills overlay and screenbuf with the no-tile marker; clipboard and tool stay.
    void emptyoverlay() {
        overlay.fill(notile);
        screenbuf.fill(notile);
    }
};

} // namespace tess
