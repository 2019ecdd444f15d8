// SPDX-License-Identifier: MIT
#pragma once

// The view options alone, read from or stored in a settings file through
// its owner. QtCore only, so that the fuzzer can read settings files too.

#include "document/editorsettings.h"

namespace tess {

// The options stored in file; the defaults for anything missing, malformed,
// or a file that is not a regular file of at most maxsettingsbytes.
ViewOptions readviewoptions(const QString& file);
// Stores options in file, keeping its other settings; false when the file is
// one readviewoptions would refuse or cannot be written.
bool writeviewoptions(const ViewOptions& options, const QString& file);

} // namespace tess
