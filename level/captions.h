// SPDX-License-Identifier: MIT
#pragma once

// The German texts of the main window that are not tied to a toolkit:
// window and menu captions, field labels, tool names, questions, file and
// recovery messages. One table, keyed by the designer names of the controls
// or a short message name, for every front-end that shows the window; the
// page's messages about the browser live here too, so that no front-end
// holds German sentences of its own.

#include <span>

namespace tess {

struct Caption {
    const char* key;  // designer name (Datei1, Label3, ...) or a short message name
    const char* text; // UTF-8; "%1", "%2" stand for what the caller fills in
};

std::span<const Caption> captions();

// The text for key; an empty string for an unknown key.
const char* caption(const char* key);

} // namespace tess
