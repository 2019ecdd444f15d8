// SPDX-License-Identifier: MIT
#include "edit/levelselect.h"

namespace tess {

void newlevelpack(LevelStore& store, EditLayers& layers, LevelHost& host) {
    layers.emptyoverlay();
    newlevels(store);
    selectlevel(store, layers, host, 0);
}

void selectlevel(LevelStore& store, EditLayers& layers, LevelHost& host, int index) {
    loadlevel(store, host, index);
    // The new level must not inherit the previous level's cached cell values.
    layers.emptyoverlay();
    host.repaintlevel();
}

} // namespace tess
