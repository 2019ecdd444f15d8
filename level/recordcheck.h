// SPDX-License-Identifier: MIT
#pragma once

// What in a record from a file the editor would not write as it is.

#include "level/levelformat.h"

namespace tess {

struct RecordCheck {
    int switchcount = 0;  // byte 1471; more than 11 is read as 11
    int outsidegrid = 0;  // read entries whose position lies outside the grid
    int portsfound = 0;   // ports a store-back finds; only the first 11 get entries
    int markedcells = 0;  // tile bytes with the mark bit
    int unknowncells = 0; // tile bytes whose code, mark cleared, has no picture
    int changedbytes = 0; // bytes a store-back of the level would change; 0 for a new pack's level
};

RecordCheck checkrecord(const LevelRecord& rec);

} // namespace tess
