// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

namespace tess {

// Makes the access keys of one menu's captions unique, going down the items:
// an item whose key repeats an earlier one takes the first letter or digit of
// its caption that no item of the menu claims yet.
QStringList uniqueaccesskeys(const QStringList& captions);

} // namespace tess
