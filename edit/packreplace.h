// SPDX-License-Identifier: MIT
#pragma once

// Replacing one tile by another in the stored levels of a pack, as the editor
// shows them: a flag-0 port is its own code (40..43) although the record
// holds it as 13..16 with a switch table entry.

#include "edit/cellchange.h"
#include "level/levelformat.h"

#include <cstdint>
#include <vector>

namespace tess {

struct RecordReplace {
    int cells = 0;          // interior cells whose tile changes
    bool toomany = false;   // the level would hold more than 11 switches: left alone
};

// Replaces from by to in the interior of the stored record rec. When ports
// are involved the switch table is built again in scan order; every other
// byte, the border ring included, stays. With out null only counts.
RecordReplace replaceinrecord(const LevelRecord& rec, std::uint8_t from, std::uint8_t to, LevelRecord* out);

struct SlotReplace {
    int slot;
    int cells;
    LevelRecord after;
};

struct PackReplace {
    int cells = 0;
    int levels = 0;   // levels with at least one changed cell
    int skipped = 0;  // levels left alone for the switch limit
    std::vector<SlotReplace> changed; // filled only when asked for
};

// Replaces from by to in every record of pack; keeprecords fills changed
// with the new records, otherwise only the counts are made.
PackReplace replaceinpack(const LevelPack& pack, std::uint8_t from, std::uint8_t to, bool keeprecords);

// The bytes of a record that differ between before and after.
CellChange diffrecords(const LevelRecord& before, const LevelRecord& after);

// Writes the change's before (undo) or after bytes into rec.
void applyrecordbytes(LevelRecord& rec, const CellChange& change, bool undo);

// Shows record, the stored form of the working level, in curlevel without
// selecting it again: each cell takes the record's tile (a flag-0 port as
// its own code) and keeps its mark, the bytes after the cells are the
// record's, and like undo the overlay goes and every changed cell is left
// dirty-marked for putbuffer. Returns the cells changed.
int showrecordcells(LevelRecord& curlevel, EditLayers& layers, const LevelRecord& record);

} // namespace tess
