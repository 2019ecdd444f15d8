// SPDX-License-Identifier: MIT
#pragma once

// Everything the editor keeps for the whole run, in one place: the pack as a
// document (its editing session with the shown level, layers, stroke,
// histories and journal), the tile pictures with the tile size, and the two
// palette choices.

#include "gui/tileset.h"
#include "document/packdocument.h"

namespace tess {

struct EditorState {
    PackDocument doc;
    TileSet tiles;
    int leftitem = 2;  // left and middle button
    int rightitem = 0; // right button

    const LevelStore& store() const { return doc.store(); }
    const EditLayers& layers() const { return doc.layers(); }
};

} // namespace tess
