// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace tess {

// Makes German the default locale and loads Qt's German texts, so that Qt's
// own buttons and dialogs read "Ja", "Nein", "Öffnen", "Abbrechen". Returns
// false when the translation is not installed (the texts stay English).
bool installgermantexts();

// The text of the shared table (level/captions.h) for key, as a QString;
// empty for an unknown key.
QString captiontext(const char* key);

} // namespace tess
