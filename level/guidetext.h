// SPDX-License-Identifier: MIT
#pragma once

// The guide (F1) of both editors from one Markdown source. Lines the other
// editor must not show sit between a marker line naming the editor that
// shows them and an end line:
//
//   <!-- desktop -->            <!-- browser -->
//   ...                         ...
//   <!-- end -->                <!-- end -->
//
// Marker lines are never shown; a block left open runs to the end.

#include <string>
#include <string_view>

namespace tess {

enum class Edition { desktop, browser };

// The guide as edition shows it: source without the other edition's blocks,
// then a table of every tile code with its name.
std::string guidetext(std::string_view source, Edition edition);

} // namespace tess
