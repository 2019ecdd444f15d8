// SPDX-License-Identifier: MIT
#pragma once

// The access keys of a menu's items: the letter after a single '&' in each
// caption ("&&" stands for an ampersand). Both front-ends show their menus
// with the keys this gives.

#include <string>
#include <vector>

namespace tess {

// Makes the access keys of one menu's captions (UTF-8) unique, going down
// the items: an item whose key repeats an earlier one takes the first letter
// or digit of its caption that no item of the menu claims yet, or none if
// every one is taken. Case does not count, umlauts included.
std::vector<std::string> uniqueaccesskeys(const std::vector<std::string>& captions);

} // namespace tess
