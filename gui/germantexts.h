// SPDX-License-Identifier: MIT
#pragma once

namespace tess {

// Makes German the default locale and loads Qt's German texts, so that Qt's
// own buttons and dialogs read "Ja", "Nein", "Öffnen", "Abbrechen". Returns
// false when the translation is not installed (the texts stay English).
bool installgermantexts();

} // namespace tess
