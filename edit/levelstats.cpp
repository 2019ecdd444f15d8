// SPDX-License-Identifier: MIT
#include "edit/levelstats.h"

#include "level/levelformat.h"

#include <algorithm>

namespace tess {

LevelStatistics levelstatistics(const TileCounts& counts, int counted) {
    LevelStatistics out;
    out.counted = counted;
    for (int code = 0; code < int(counts.size()); ++code) {
        if (counts[code] == 0) continue;
        if (code < tilecodecount) out.tiles.emplace_back(static_cast<std::uint8_t>(code), counts[code]);
        else out.unknown += counts[code];
    }
    out.marked = std::max(0, counts[code_infotron] - counted);
    return out;
}

} // namespace tess
