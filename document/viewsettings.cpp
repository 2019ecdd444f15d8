// SPDX-License-Identifier: MIT
#include "document/viewsettings.h"

#include "document/settingsfile.h"

namespace tess {

ViewOptions readviewoptions(const QString& file) { return SettingsFile(file).read().view; }

bool writeviewoptions(const ViewOptions& options, const QString& file) {
    return SettingsFile(file).change([&](EditorSettings& s) { s.view = options; });
}

} // namespace tess
