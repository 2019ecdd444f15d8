// SPDX-License-Identifier: MIT
#pragma once

// Short German names of the tile codes, taken from what each picture shows:
// the one table the tooltips, the guide and tessaron-pack use.

#include <string>

namespace tess {

// The name of code (0..43), UTF-8; "unbekannter Code" for any other value.
const char* tilename(int code);

// "Code 4: Infotron": a code with its name, as tooltips and lists show it.
std::string tilelabel(int code);

} // namespace tess
