// SPDX-License-Identifier: MIT
#pragma once

// The selection commands (copy, cut, paste, delete) and the two tool buttons.
// Cut, paste, delete and the draw tool leave the cells they changed
// dirty-marked in screenbuf: the caller runs putbuffer afterwards.

#include "edit/editlayers.h"

namespace tess {

// Empties overlay and screenbuf before a command changes curlevel, and
// dirty-marks the cells a dropped stroke overlay covered.
void dropoverlay(EditLayers& layers);

// Clipboard = the marked cells of curlevel, each at its own position; the
// rest of the clipboard empty. Nothing else changes.
void copyselection(const LevelRecord& curlevel, EditLayers& layers);

// Marked cells go to the clipboard (which is not emptied first) and become
// code 0, unmarked.
void cutselection(LevelRecord& curlevel, EditLayers& layers);

// Every clipboard cell lands, marked, at the position it was taken from.
void pasteclipboard(LevelRecord& curlevel, EditLayers& layers);

// Marked cells become code 0, unmarked. The clipboard is untouched.
void deleteselection(LevelRecord& curlevel, EditLayers& layers);

// Draw tool button: clears every mark (also when the draw tool is already
// active) and makes the draw tool active.
void drawtoolclick(LevelRecord& curlevel, EditLayers& layers);

// Select tool button: makes the select tool active; nothing else changes.
void selecttoolclick(EditLayers& layers);

} // namespace tess
