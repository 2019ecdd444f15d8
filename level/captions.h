// SPDX-License-Identifier: MIT
#pragma once

// The German texts of the main window that are not tied to a toolkit:
// window and menu captions, field labels, tool names, questions, file and
// recovery messages. One table, keyed by the designer names of the controls
// or a short message name, for every front-end that shows the window; the
// page's messages about the browser live here too, so that no front-end
// holds German sentences of its own.

#include <span>
#include <string>
#include <string_view>

namespace tess {

struct Caption {
    const char* key;  // designer name (Datei1, Label3, ...) or a short message name
    const char* text; // UTF-8; "%1", "%2" stand for what the caller fills in
};

std::span<const Caption> captions();

// The text for key; an empty string for an unknown key.
const char* caption(const char* key);

// The status bar's part for the pack: the name of its file, "Neues
// Levelpack" for one without (name empty), then " – geändert" while it has
// unsaved changes.
std::string packstatetext(std::string_view name, bool changed);

// That part's tooltip: the file (or that there is none yet), then on a line
// of its own whether everything is saved.
std::string packstatetip(std::string_view file, bool changed);

} // namespace tess
