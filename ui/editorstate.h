// SPDX-License-Identifier: MIT
#pragma once

// Everything the editor keeps for the whole run, in one place: the pack as a
// document (with the working level, histories and journal), the edit layers, the stroke in progress, the tile
// pictures with the tile size, and the two palette choices.

#include "edit/editlayers.h"
#include "edit/stroke.h"
#include "level/levelstore.h"
#include "gui/tileset.h"
#include "document/packdocument.h"

namespace tess {

struct EditorState {
    PackDocument doc;
    EditLayers layers;
    StrokeState stroke;
    TileSet tiles;
    int leftitem = 2;  // left and middle button
    int rightitem = 0; // right button

    const LevelStore& store() const { return doc.store(); }
    StrokeTarget stroketarget() { return {doc.working(), layers, stroke}; }
};

} // namespace tess
