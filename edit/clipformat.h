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

// The text form, plain ASCII that survives any text clipboard. Cells: a
// first line "Tessaron-Zellen 1 Spalte C Zeile R" (the box's left column and
// top row), then the codes without their marks as rows of two-digit hex
// separated by spaces, ".." where no cell was taken, one line per row of the
// box. Empty when the clipboard holds no cell.
std::string cellstext(const Layer& clipboard);
// A level: "Tessaron-Level 1", the 24 rows of its 60 codes in the same form,
// then one line per remaining part of the record in the record's order, a
// name and its bytes in hex; the title instead as quoted text with \xHH for
// any byte that is not printable ASCII, a quote or a backslash.
std::string leveltext(const LevelRecord& record);

// The longest text the readers look at; longer texts are refused unread.
inline constexpr std::size_t cliptextmax = 16384;
// True and the target replaced when text is exactly one text form as written
// above; lines may end in CRLF, and spaces or tabs at line ends and empty
// lines at the end are ignored. Otherwise false and the target untouched.
bool readcellstext(const char* text, std::size_t size, Layer& clipboard);
bool readleveltext(const char* text, std::size_t size, LevelRecord& record);

bool anycells(const Layer& clipboard);

} // namespace tess
