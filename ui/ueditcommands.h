// SPDX-License-Identifier: MIT
#pragma once

// What the main window keeps for its marking, fill, replace and mirror
// commands: the replace dialog and the statistics.

#include "edit/tilecommands.h"

namespace tess {

class ReplaceDialog;
class LevelStats;

struct EditExtras {
    ReplaceDialog* replacedialog = nullptr;
    LevelStats* stats = nullptr;
    ReplaceScope lastscope = ReplaceScope::level; // of the last replace from the dialog
};

} // namespace tess
