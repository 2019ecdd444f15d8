// SPDX-License-Identifier: MIT
#pragma once

// The bytes another editor window exchanges through the desktop's clipboard:
// the cells of the editor's clipboard with their positions, or one level
// record, and a text form of either for a person to read.
//
// Cells: "TSCL", version 1, then left, top, width and height of the box
// around the taken cells, then width * height bytes row by row, each a
// marked cell byte or emptyclip where no cell was taken.
// Level: "TSLV", version 1, then the record's 1536 bytes.

#include "edit/editlayers.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tess {

// Empty when the clipboard holds no cell.
std::vector<std::uint8_t> encodecells(const Layer& clipboard);
// True and clipboard replaced when data is exactly one well-formed cells
// block with at least one cell; otherwise false and clipboard untouched.
bool decodecells(const std::uint8_t* data, std::size_t size, Layer& clipboard);

std::vector<std::uint8_t> encodelevel(const LevelRecord& record);
// True and record replaced when data is exactly one well-formed level block.
bool decodelevel(const std::uint8_t* data, std::size_t size, LevelRecord& record);

// The codes without their marks as rows of two-digit hex separated by
// spaces, ".." where no cell was taken, one line per row of the box.
std::string cellstext(const Layer& clipboard);
// The 24 rows of the level's 60 codes in the same form.
std::string leveltext(const LevelRecord& record);

bool anycells(const Layer& clipboard);

} // namespace tess
