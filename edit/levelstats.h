// SPDX-License-Identifier: MIT
#pragma once

// What "Levelstatistik" lists for a level, from its tile counts: every tile
// with a picture that occurs, in code order, with its number of cells (marked
// or not); the infotrons as the counter beside the field counts them; the
// marked infotrons that counter leaves out; and the cells whose code has no
// picture. Reads the counts only.

#include "edit/tilecommands.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace tess {

struct LevelStatistics {
    std::vector<std::pair<std::uint8_t, int>> tiles; // code, cells
    int counted = 0; // infotrons the counter counts (unmarked)
    int marked = 0;  // infotrons marked, left out by the counter
    int unknown = 0; // cells with a code that has no picture
};

// counts as counttiles gives them, counted as countinfotrons does.
LevelStatistics levelstatistics(const TileCounts& counts, int counted);

} // namespace tess
