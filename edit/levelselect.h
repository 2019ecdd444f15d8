// SPDX-License-Identifier: MIT
#pragma once

// Changing the shown level as the editor does it: the store loads the
// record, the layers over it start empty, and the view is painted anew.

#include "edit/editlayers.h"
#include "level/levelstore.h"

namespace tess {

// Replaces the pack by 111 empty titled levels and selects level 1.
void newlevelpack(LevelStore& store, EditLayers& layers, LevelHost& host);

// Loads record index (0..110) into curlevel, decodes its switches, shows its
// properties, empties overlay and screenbuf and repaints the view.
void selectlevel(LevelStore& store, EditLayers& layers, LevelHost& host, int index);

} // namespace tess
