// SPDX-License-Identifier: MIT
#pragma once

// The view options the editor remembers between runs, in the user's settings
// file. QtCore only, so that the fuzzer can read settings files too.

#include <QString>

namespace tess {

struct ViewOptions {
    bool edge = false; // a frame around the level's interior
    bool grid = false; // lines between the cells
    bool operator==(const ViewOptions&) const = default;
};

// The user's settings file: organisation and application name of the
// program (the application name twice while no organisation is set).
QString settingsfile();

// The options stored in file; the defaults for anything missing, malformed,
// or a file that is not a regular file of at most 64 KiB.
ViewOptions readviewoptions(const QString& file = settingsfile());
// Stores options in file, keeping its other settings; false when the file is
// one readviewoptions would refuse or cannot be written.
bool writeviewoptions(const ViewOptions& options, const QString& file = settingsfile());

} // namespace tess
