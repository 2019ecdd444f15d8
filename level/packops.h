// SPDX-License-Identifier: MIT
#pragma once

// Operations on the pack as a whole: an empty level for a slot, and moving a
// level to another slot with the levels between shifting by one (which, for
// neighbours, is a swap).

#include "level/levelformat.h"

#include <algorithm>
#include <cstddef>

namespace tess {

// The record "Level leeren" leaves in slot number (1..111): every tile 0, the
// border ring 6, the generated title, infotrons needed 0, gravity off.
LevelRecord emptylevel(int number);

// Moves the element at from to to; those between shift by one toward from.
// Works on the pack and on anything kept per slot beside it.
template <class Slots> void moveslot(Slots& items, int from, int to) {
    const auto at = [&](int i) { return items.begin() + static_cast<std::ptrdiff_t>(i); };
    if (from < to) std::rotate(at(from), at(from + 1), at(to + 1));
    else if (to < from) std::rotate(at(to), at(from), at(from + 1));
}

} // namespace tess
