// SPDX-License-Identifier: MIT
#pragma once

// Byte layout of a level record, a pack file and a level list file, and the
// tile codes that the editor's logic knows by role.

#include <array>
#include <cstdint>

namespace tess {

// Grid: 60 columns by 24 rows, one byte per cell, row by row from the top.
inline constexpr int gridcols = 60;
inline constexpr int gridrows = 24;
inline constexpr int cellcount = gridcols * gridrows; // 1440
inline constexpr int cellindex(int col, int row) { return row * gridcols + col; }

// The shown interior; the ring around it is the border ring.
inline constexpr int firstcol = 1, lastcol = 58;
inline constexpr int firstrow = 1, lastrow = 22;
inline constexpr int interiorcols = lastcol - firstcol + 1; // 58
inline constexpr int interiorrows = lastrow - firstrow + 1; // 22

// Level record, 1536 bytes.
inline constexpr int reclen = 1536;
inline constexpr int off_tiles = 0;
inline constexpr int off_reserved1 = 1440; // 4 bytes, written as zero
inline constexpr int off_gravity = 1444;
inline constexpr int off_fixedspace = 1445; // always 0x20 when written
inline constexpr int off_title = 1446;
inline constexpr int titlelen = 23;
inline constexpr int off_reserved2 = 1469;
inline constexpr int off_infotrons = 1470;
inline constexpr int off_switchcount = 1471;
inline constexpr int off_switches = 1472; // table runs to the end of the record
inline constexpr int switchentrylen = 6;
inline constexpr int maxswitches = 11; // entry 10 has only its first 4 bytes inside the record

// Pack file: 111 records back to back, no header.
inline constexpr int levelcount = 111;
inline constexpr int packlen = levelcount * reclen; // 170496

// Level list file: 111 entries of 28 bytes: "--", 23 title bytes, "--", 0x00.
inline constexpr int listentrylen = 28;
inline constexpr int listlen = levelcount * listentrylen; // 3108

// Tile codes with a fixed role.
inline constexpr std::uint8_t code_empty = 0;
inline constexpr std::uint8_t code_infotron = 4;
inline constexpr std::uint8_t code_border = 6;
inline constexpr std::uint8_t code_port_first = 13; // gravity-switch ports, flag 1
inline constexpr std::uint8_t code_port_last = 16;
inline constexpr std::uint8_t port_flag0_offset = 27; // 40..43: the same ports with flag 0
inline constexpr std::uint8_t code_port0_first = code_port_first + port_flag0_offset;
inline constexpr std::uint8_t code_port0_last = code_port_last + port_flag0_offset;
inline constexpr int tilecodecount = 44; // codes 0..43 have a picture

// Selection mark carried by a cell byte inside the editor; never written to a file.
inline constexpr std::uint8_t markbit = 0x80;

using LevelRecord = std::array<std::uint8_t, reclen>;
using LevelPack = std::array<LevelRecord, levelcount>;
using LevelList = std::array<std::uint8_t, listlen>;

inline constexpr bool isport1(std::uint8_t code) {
    return code >= code_port_first && code <= code_port_last;
}
inline constexpr bool isport0(std::uint8_t code) {
    return code >= code_port0_first && code <= code_port0_last;
}
inline constexpr bool isbordercell(int col, int row) {
    return row == 0 || row == gridrows - 1 || col == 0 || col == gridcols - 1;
}

} // namespace tess
