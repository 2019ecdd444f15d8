// SPDX-License-Identifier: MIT
#include "edit/cellchange.h"

namespace tess {

CellChange diffcells(const LevelCells& before, const LevelRecord& now) {
    CellChange change;
    for (int i = 0; i < cellcount; ++i) {
        if (before[i] == now[i]) continue;
        change.cells.push_back(static_cast<std::uint16_t>(i));
        change.before.push_back(before[i]);
        change.after.push_back(now[i]);
    }
    change.cells.shrink_to_fit();
    change.before.shrink_to_fit();
    change.after.shrink_to_fit();
    return change;
}

void applycells(LevelRecord& curlevel, EditLayers& layers, const CellChange& change, bool undo) {
    layers.emptyoverlay();
    const auto& to = undo ? change.before : change.after;
    const auto& from = undo ? change.after : change.before;
    for (std::size_t k = 0; k < change.cells.size(); ++k) {
        const int i = change.cells[k];
        // The dirty value must differ from the marker; of the two bytes of a
        // changed cell at most one is a foreign byte equal to it.
        layers.screenbuf[i] = from[k] != notile ? from[k] : to[k];
        curlevel[i] = to[k];
    }
}

} // namespace tess
