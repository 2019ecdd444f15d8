// SPDX-License-Identifier: MIT
#pragma once

// What the user types or picks in the main window, turned into what the
// session takes, for every front-end: the infotrons field, a title typed in
// Unicode, the zoom steps and the level list's file name.

#include <string>
#include <string_view>

namespace tess {

// The tile sizes of the zoom, smallest first, and the one at start.
inline constexpr int zoomsteps[] = {12, 16, 24, 32, 48};
inline constexpr int starttile = 32;

// The tile size by steps from tile (+1 larger, -1 smaller), staying at the
// smallest and the largest; a size that is no step stays as it is.
int zoomstep(int tile, int by);

// The infotrons spinner's value after the user typed typed into its field
// and stepped it by step: the typed text counts when it is a decimal number
// within 0..255 (blanks around it allowed), otherwise spinner stands; the
// step then stays within 0..255.
int infotronsvalue(std::string_view typed, int spinner, int step);

// The title as the level stores it from text typed as UTF-8: the first 23
// characters as Latin-1 bytes, '?' for each one Latin-1 cannot hold.
std::string latin1title(std::string_view utf8);

// The level list's file name beside the pack file name packname (no folder):
// the part after the last dot becomes "lst", or ".lst" is added when there
// is none.
std::string levellistname(std::string_view packname);

} // namespace tess
