// SPDX-License-Identifier: MIT
// What the user types or picks, as every front-end hands it to the session.
#include "edit/userinput.h"

#include <gtest/gtest.h>

using namespace tess;

TEST(UserInput, TurnsWhatWasTypedOrPickedIntoWhatTheSessionTakes) {
    // Typed text, spinner position, step -> the spinner's value.
    const struct { const char* typed; int spinner, step, want; } numbers[] = {
        {"30", 0, 0, 30},  {"300", 0, 0, 0}, {" 255 ", 7, 0, 255}, {"007", 0, 0, 7}, {"", 9, 0, 9},
        {"-1", 9, 0, 9},   {"1e2", 9, 0, 9}, {"00000000000000000000012", 0, 0, 12},
        {"99999999999", 4, 0, 4}, {"255", 0, 1, 255}, {"0", 5, -1, 0}, {"x", 40, 1, 41},
    };
    for (const auto& n : numbers) EXPECT_EQ(infotronsvalue(n.typed, n.spinner, n.step), n.want) << n.typed;

    const struct { const char* utf8; const char* latin1; } titles[] = {
        {"Wüste", "W\xFC" "ste"}, {"€ und 😀", "? und ?"}, {"ÿ\xC3", "\xFF?"},
        {"123456789012345678901234", "12345678901234567890123"}, {"äääääääääääääääääääääääää", "\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4\xE4"},
    };
    for (const auto& t : titles) EXPECT_EQ(latin1title(t.utf8), t.latin1) << t.utf8;

    const struct { int tile, by, want; } zooms[] = {{12, -1, 12}, {12, 1, 16}, {32, 1, 48}, {48, 1, 48}, {24, -1, 16}, {20, 1, 20}};
    for (const auto& z : zooms) EXPECT_EQ(zoomstep(z.tile, z.by), z.want) << z.tile << " by " << z.by;

    const struct { const char* pack; const char* list; } names[] = {
        {"spiele.pak", "spiele.lst"}, {"a.b.c", "a.b.lst"}, {"ohne", "ohne.lst"}, {"a.", "a..lst"}, {".pak", ".lst"},
    };
    for (const auto& n : names) EXPECT_EQ(levellistname(n.pack), n.list) << n.pack;
}
