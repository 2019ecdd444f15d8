// SPDX-License-Identifier: MIT
#include "level/accesskeys.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

TEST(AccessKeys, RepeatedKeysMoveToTheFirstFreeLetter) {
    struct Case {
        std::vector<std::string> captions, shown;
    };
    const Case cases[] = {
        // The desktop's Datei menu: the other items' keys stay claimed.
        {{"&Neues Levelpack", "&Levelpack laden", "&Zuletzt geöffnet", "&Speichern", "&Levelpack speichern",
          "Level nach &Tiled exportieren...", "Level aus T&iled importieren...", "B&eenden"},
         {"&Neues Levelpack", "&Levelpack laden", "&Zuletzt geöffnet", "&Speichern", "Le&velpack speichern",
          "Level nach &Tiled exportieren...", "Level aus T&iled importieren...", "B&eenden"}},
        // Umlauts repeat in either case and may be the free letter.
        {{"&Über", "&übel", "&Ab", "&Aöx"}, {"&Über", "ü&bel", "&Ab", "A&öx"}},
        // "&&" is an ampersand, not a key; with no letter free the key goes.
        {{"&Kopieren", "Fi && &Kap", "&ab", "&b", "&ab"}, {"&Kopieren", "&Fi && Kap", "&ab", "&b", "ab"}},
    };
    for (const Case& c : cases) EXPECT_EQ(uniqueaccesskeys(c.captions), c.shown);
}

} // namespace
} // namespace tess
