// SPDX-License-Identifier: MIT
#pragma once

// Commands that make marks by tile or by region and act on all marks at once:
// fill, replace and mirror, and the count of each tile in a level. Every
// command that changes curlevel drops the overlay and leaves the cells it
// changed dirty-marked in screenbuf: the caller runs putbuffer afterwards.
// None of them writes a cell of the border ring that is not marked.

#include "edit/editlayers.h"

#include <array>
#include <cstdint>

namespace tess {

enum class Mirror : std::uint8_t { leftright, topbottom };

struct MirrorPair {
    std::uint8_t a, b;
    Mirror axis;
};

namespace detail {
// The tubes whose wider end changes sides: 9/11 lie left to right, 10/12
// stand upright. Their ports (badge added) are the same shapes 4 codes on,
// and the flag-0 ports 27 codes after those; the badge itself is not
// mirrored, so a port keeps its gravity flag.
inline constexpr std::uint8_t tube_lr_a = 9, tube_lr_b = 11;
inline constexpr std::uint8_t tube_tb_a = 10, tube_tb_b = 12;
inline constexpr std::uint8_t port_step = code_port_first - tube_lr_a;
constexpr MirrorPair shifted(MirrorPair p, int by) {
    return {static_cast<std::uint8_t>(p.a + by), static_cast<std::uint8_t>(p.b + by), p.axis};
}
inline constexpr MirrorPair tubelr{tube_lr_a, tube_lr_b, Mirror::leftright};
inline constexpr MirrorPair tubetb{tube_tb_a, tube_tb_b, Mirror::topbottom};
} // namespace detail

// The tiles whose picture turns into another one when mirrored; every other
// tile is its own mirror image. The chip halves swap so that a chip stays
// whole when its cells trade places.
inline constexpr std::array<MirrorPair, 8> mirrorpairs = {
    detail::tubelr,
    detail::shifted(detail::tubelr, detail::port_step),
    detail::shifted(detail::tubelr, detail::port_step + port_flag0_offset),
    MirrorPair{26, 27, Mirror::leftright}, // the wide chip's left and right halves
    detail::tubetb,
    detail::shifted(detail::tubetb, detail::port_step),
    detail::shifted(detail::tubetb, detail::port_step + port_flag0_offset),
    MirrorPair{38, 39, Mirror::topbottom}, // the tall chip's upper and lower halves
};

// The byte whose picture is the mirror image of byte's; the mark bit stays.
std::uint8_t mirrorcode(std::uint8_t byte, Mirror axis);

// Marks every interior cell whose code (mark bit aside) is code. Returns the
// number of cells newly marked.
int marksametiles(LevelRecord& curlevel, EditLayers& layers, std::uint8_t code);

// Marks the 4-connected region of interior cells with the code of the cell
// (col, row); nothing when that cell is not in the interior.
int markregion(LevelRecord& curlevel, EditLayers& layers, int col, int row);

// Marks every interior cell.
int markall(LevelRecord& curlevel, EditLayers& layers);

// Writes code, unmarked, into every marked cell. Returns the cells filled.
int fillmarked(LevelRecord& curlevel, EditLayers& layers, std::uint8_t code);

// Mirrors the bounding box of the marked interior cells within itself, marks
// travelling with their cells and each tile becoming its mirror picture.
// Returns the cells whose byte changed.
int mirrormarked(LevelRecord& curlevel, EditLayers& layers, Mirror axis);

// Where a replace looks: the marked cells (border ring included, as every
// selection command sees them), the interior of the level, or every level.
enum class ReplaceScope : std::uint8_t { marked, level, pack };

// The cells of curlevel that replacing from by to would change in scope
// (marked or level; pack counts this level's interior).
int countreplace(const LevelRecord& curlevel, std::uint8_t from, std::uint8_t to, ReplaceScope scope);

// Turns code from into to (marks stay) in scope. Returns the cells changed.
int replacetiles(LevelRecord& curlevel, EditLayers& layers, std::uint8_t from, std::uint8_t to,
                 ReplaceScope scope);

// How many interior cells hold each code, the mark bit aside. Bytes of 128
// codes can occur in a foreign file; codes above 43 have no picture.
using TileCounts = std::array<int, 128>;
TileCounts counttiles(const LevelRecord& curlevel);

} // namespace tess
