// SPDX-License-Identifier: MIT
#include "edit/commands.h"

namespace tess {

// A stroke may still be in progress (its button was released outside the
// view): the cells its dropped overlay covered are dirty-marked too, so that
// the next putbuffer draws them from curlevel again instead of leaving the
// dropped values on screen.
void dropoverlay(EditLayers& layers) {
    const Layer before = layers.overlay;
    layers.emptyoverlay();
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const int i = cellindex(col, row);
            if (before[i] != notile) layers.screenbuf[i] = before[i];
        }
}

namespace {

bool marked(std::uint8_t byte) { return (byte & markbit) != 0; }

} // namespace

void copyselection(const LevelRecord& curlevel, EditLayers& layers) {
    layers.clipboard.fill(emptyclip);
    for (int i = 0; i < cellcount; ++i)
        if (marked(curlevel[i])) layers.clipboard[i] = curlevel[i];
}

void cutselection(LevelRecord& curlevel, EditLayers& layers) {
    dropoverlay(layers);
    for (int i = 0; i < cellcount; ++i) {
        if (!marked(curlevel[i])) continue;
        layers.clipboard[i] = curlevel[i];
        layers.screenbuf[i] = curlevel[i];
        curlevel[i] = code_empty;
    }
}

void pasteclipboard(LevelRecord& curlevel, EditLayers& layers) {
    dropoverlay(layers);
    for (int i = 0; i < cellcount; ++i) {
        if (layers.clipboard[i] == emptyclip) continue;
        curlevel[i] = layers.clipboard[i];
        layers.screenbuf[i] = layers.clipboard[i];
    }
}

void deleteselection(LevelRecord& curlevel, EditLayers& layers) {
    dropoverlay(layers);
    for (int i = 0; i < cellcount; ++i) {
        if (!marked(curlevel[i])) continue;
        layers.screenbuf[i] = curlevel[i];
        curlevel[i] = code_empty;
    }
}

void drawtoolclick(LevelRecord& curlevel, EditLayers& layers) {
    dropoverlay(layers);
    for (int i = 0; i < cellcount; ++i) {
        if (!marked(curlevel[i])) continue;
        // The old, marked byte is the dirty value: the unmarked one could be
        // a foreign byte equal to the marker and would then not be redrawn.
        layers.screenbuf[i] = curlevel[i];
        curlevel[i] &= static_cast<std::uint8_t>(~markbit);
    }
    layers.drawmode = drawtool;
}

void selecttoolclick(EditLayers& layers) { layers.drawmode = selecttool; }

} // namespace tess
