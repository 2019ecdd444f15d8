// SPDX-License-Identifier: MIT
// Long random editing sessions on the core: presses, moves far inside and
// outside the grid, releases of every button, Ctrl, both tools, the four
// selection commands, palette choices and level switches. The layer
// invariants are checked after every event.
#include "editbench.h"
#include "fakehost.h"
#include "edit/levelselect.h"
#include "level/levelstore.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

using namespace tess;
using tess::test::EditBench;
using tess::test::FakeHost;

namespace {

struct Session {
    std::mt19937 rng;
    EditBench b;
    std::unique_ptr<LevelStore> store = std::make_unique<LevelStore>();
    FakeHost host;

    explicit Session(unsigned seed) : rng(seed) {
        newlevelpack(*store, b.layers, host);
        b.cur = store->curlevel;
        b.repaintall();
    }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    std::string step() {
        const int kind = pick(0, 99);
        if (kind < 30) {
            const Button button = static_cast<Button>(pick(0, 2));
            b.press(button, pick(-3, 62), pick(-3, 26), pick(0, 1) == 1);
            return "press";
        }
        if (kind < 62) {
            const bool far = pick(0, 9) == 0;
            b.move(far ? pick(-200, 200) : pick(-2, 61), far ? pick(-200, 200) : pick(-2, 25));
            return "move";
        }
        if (kind < 80) {
            b.release();
            return "release";
        }
        switch (kind) {
        case 80: case 81: copyselection(b.cur, b.layers); return "copy";
        case 82: case 83: b.command(cutselection); return "cut";
        case 84: case 85: b.command(pasteclipboard); return "paste";
        case 86: b.command(deleteselection); return "delete";
        case 87: case 88: b.command(drawtoolclick); return "draw tool";
        case 89: case 90: case 91: selecttoolclick(b.layers); return "select tool";
        case 92: case 93: b.leftitem = pick(0, tilecodecount - 1); return "left item";
        case 94: b.rightitem = pick(0, tilecodecount - 1); return "right item";
        default: {
            // Level switch: store back (answering the switch-limit question
            // either way), then select.
            host.answer = pick(0, 1) == 1;
            store->curlevel = b.cur;
            if (savebacklevel(*store, host)) {
                selectlevel(*store, b.layers, host, pick(0, 3));
                b.cur = store->curlevel;
                b.repaintall();
            }
            return "level switch";
        }
        }
    }
};

TEST(SessionModel, RandomEventsKeepTheLayersConsistent) {
    const unsigned seed = 20261208;
    std::printf("seed %u\n", seed);
    Session s(seed);
    const int events = 30000;
    for (int e = 0; e < events; ++e) {
        const std::string what = s.step();
        s.b.checkinvariants("event " + std::to_string(e) + ": " + what);
        if (::testing::Test::HasFatalFailure()) return;
        for (int i = 0; i < cellcount; ++i) {
            const std::uint8_t v = s.b.cur[i];
            ASSERT_TRUE((v & ~markbit) < tilecodecount) << "event " << e << " cell " << i;
        }
    }
    // Every stored record is clean.
    for (const LevelRecord& rec : s.store->levelpack)
        for (int i = 0; i < cellcount; ++i) ASSERT_FALSE(rec[i] & markbit);
}

} // namespace
