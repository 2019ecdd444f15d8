// SPDX-License-Identifier: MIT
#pragma once

// One undoable change of the working level's cells: the cells it touched with
// their bytes before and after (marks included). Undo and redo write those
// bytes back as absolute values, so they stay right also after a level
// switch has cleared the marks in between.

#include "edit/editlayers.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tess {

using LevelCells = std::array<std::uint8_t, cellcount>;

inline LevelCells tilesof(const LevelRecord& level) {
    LevelCells cells;
    std::copy_n(level.begin(), cellcount, cells.begin());
    return cells;
}

struct CellChange {
    std::vector<std::uint16_t> cells; // cell indices, ascending
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;

    bool empty() const { return cells.empty(); }
    // The memory the change holds, for the history's bound.
    std::size_t bytes() const { return sizeof(CellChange) + cells.capacity() * 4; }
};

// The cells whose byte differs between before and the level's tiles now.
CellChange diffcells(const LevelCells& before, const LevelRecord& now);

// Writes the change's before bytes (undo) or after bytes (redo) into the
// level, dropping any overlay and dirty-marking every written cell like a
// selection command does; the caller runs putbuffer.
void applycells(LevelRecord& curlevel, EditLayers& layers, const CellChange& change, bool undo);

} // namespace tess
