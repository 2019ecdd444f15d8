// SPDX-License-Identifier: MIT
#pragma once

// The grids that lie beside the working level: the stroke overlay, the
// display cache and the editor's own clipboard, with the tool flag.

#include "level/levelformat.h"

#include <array>
#include <cstdint>

namespace tess {

// In overlay and screenbuf: nothing of its own at this cell, curlevel shows through.
// One more than the highest tile code, so it never equals a code or a marked code.
inline constexpr std::uint8_t notile = tilecodecount;
// In clipboard: no cell was taken at this position.
inline constexpr std::uint8_t emptyclip = 0xFF;

static_assert(tilecodecount < 128, "codes, marked codes, notile and emptyclip must stay distinct");

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
