// SPDX-License-Identifier: MIT
#include "edit/packreplace.h"
#include "edit/tilecommands.h"
#include "editbench.h"
#include "level/levelstore.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

using namespace tess;
using tess::test::EditBench;

namespace {

// Interior of 2 with a 5 by 4 room of 0 at (10..14, 5..8), a lone pair of 0
// at (30..31, 10) and the border ring of 6, as a selected level holds it.
void room(EditBench& b) {
    b.fill(0, 0, 59, 23, code_border);
    b.fill(1, 1, 58, 22, 2);
    b.fill(10, 5, 14, 8, 0);
    b.fill(30, 10, 31, 10, 0);
}

struct Case {
    const char* name;
    std::function<int(EditBench&)> run;
    int changed;                                // cells whose byte the last command changed
    std::function<std::uint8_t(int, int)> want; // every cell's byte afterwards
};

bool inroom(int c, int r) { return c >= 10 && c <= 14 && r >= 5 && r <= 8; }
std::uint8_t before(int c, int r) {
    if (isbordercell(c, r)) return code_border;
    return inroom(c, r) || (r == 10 && (c == 30 || c == 31)) ? 0 : 2;
}

TEST(TileCommands, MarkFillReplaceAndMirrorAgainstTheLayers) {
    const Case cases[] = {
        {"same tiles", [](EditBench& b) { return marksametiles(b.cur, b.layers, 0); }, 22,
         [](int c, int r) { return before(c, r) == 0 ? markbit | 0 : before(c, r); }},
        {"region", [](EditBench& b) { return markregion(b.cur, b.layers, 12, 6); }, 20,
         [](int c, int r) { return inroom(c, r) ? markbit | 0 : before(c, r); }},
        {"region on the border ring", [](EditBench& b) { return markregion(b.cur, b.layers, 0, 6); }, 0, before},
        {"all", [](EditBench& b) { return markall(b.cur, b.layers); }, 1276,
         [](int c, int r) { return isbordercell(c, r) ? before(c, r) : markbit | before(c, r); }},
        {"region, then fill",
         [](EditBench& b) {
             markregion(b.cur, b.layers, 12, 6);
             b.redraw();
             return fillmarked(b.cur, b.layers, 5);
         },
         20, [](int c, int r) { return inroom(c, r) ? 5 : before(c, r); }},
        {"replace in the marks",
         [](EditBench& b) {
             markregion(b.cur, b.layers, 12, 6);
             b.redraw();
             return replacetiles(b.cur, b.layers, 0, 3, ReplaceScope::marked);
         },
         20, [](int c, int r) { return inroom(c, r) ? markbit | 3 : before(c, r); }},
        {"replace in the level", [](EditBench& b) { return replacetiles(b.cur, b.layers, 0, 3, ReplaceScope::level); },
         22, [](int c, int r) { return before(c, r) == 0 ? 3 : before(c, r); }},
        {"replace the border tile", [](EditBench& b) { return replacetiles(b.cur, b.layers, 6, 3, ReplaceScope::level); },
         0, before},
        {"mirror left/right",
         [](EditBench& b) {
             const std::uint8_t row[] = {9, 26, 27, 13, 40, 0}; // at (10..15, 3), marked
             for (int k = 0; k < 6; ++k) b.at(10 + k, 3) = markbit | row[k];
             b.takeover();
             return mirrormarked(b.cur, b.layers, Mirror::leftright);
         },
         6, [](int c, int r) -> std::uint8_t {
             const std::uint8_t row[] = {0, 42, 15, 26, 27, 11};
             return r == 3 && c >= 10 && c <= 15 ? markbit | row[c - 10] : before(c, r);
         }},
        {"mirror top/bottom",
         [](EditBench& b) {
             const std::uint8_t col[] = {10, 38, 39, 14, 41, 22}; // at (40, 12..17), marked
             for (int k = 0; k < 6; ++k) b.at(40, 12 + k) = markbit | col[k];
             b.takeover();
             return mirrormarked(b.cur, b.layers, Mirror::topbottom);
         },
         6, [](int c, int r) -> std::uint8_t {
             const std::uint8_t col[] = {22, 43, 16, 38, 39, 12};
             return c == 40 && r >= 12 && r <= 17 ? markbit | col[r - 12] : before(c, r);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EditBench b;
        room(b);
        b.takeover();
        const LevelCells start = tilesof(b.cur);
        EXPECT_EQ(k.run(b), k.changed);
        b.redraw();
        b.settle();
        b.checkinvariants(k.name);
        for (int r = 0; r < gridrows; ++r)
            for (int c = 0; c < gridcols; ++c) ASSERT_EQ(b.at(c, r), k.want(c, r)) << c << "," << r;
        // The step the window records takes the level back to where it began.
        CellChange step = diffcells(start, b.cur);
        applycells(b.cur, b.layers, step, true);
        b.redraw();
        b.settle();
        EXPECT_EQ(tilesof(b.cur), start);
        b.checkinvariants("undone");
    }
}

TEST(TileCommands, MirrorPairsAndMirroringTwiceIsTheIdentity) {
    std::set<std::tuple<int, int, Mirror>> pairs;
    for (const MirrorPair& p : mirrorpairs) pairs.insert({p.a, p.b, p.axis});
    const std::set<std::tuple<int, int, Mirror>> want = {
        {9, 11, Mirror::leftright},  {13, 15, Mirror::leftright}, {40, 42, Mirror::leftright},
        {26, 27, Mirror::leftright}, {10, 12, Mirror::topbottom}, {14, 16, Mirror::topbottom},
        {41, 43, Mirror::topbottom}, {38, 39, Mirror::topbottom}};
    EXPECT_EQ(pairs, want);

    std::mt19937 rng(20);
    for (Mirror axis : {Mirror::leftright, Mirror::topbottom}) {
        for (int byte = 0; byte < 256; ++byte)
            ASSERT_EQ(mirrorcode(mirrorcode(std::uint8_t(byte), axis), axis), byte);
        EditBench b;
        for (auto& cell : b.cur) cell = std::uint8_t(rng() % tilecodecount | (rng() % 5 == 0 ? markbit : 0));
        b.takeover();
        const LevelRecord start = b.cur;
        mirrormarked(b.cur, b.layers, axis);
        EXPECT_NE(b.cur, start);
        mirrormarked(b.cur, b.layers, axis);
        EXPECT_EQ(b.cur, start);
    }
}

// Across the pack: flag-0 ports stay flag 0 at their cells, a level that
// would pass 11 switches is left alone, the border ring and every other byte
// stay, and the recorded bytes take the pack back.
TEST(TileCommands, ReplaceAcrossThePack) {
    EditBench b;
    LevelPack pack{};
    const auto store = [&](int slot, auto&& draw) {
        b.cur.fill(0);
        draw();
        pack[slot] = buildrecord(b.cur, StoreFields{7, true, "Level"}).record;
    };
    store(0, [&] { b.fill(3, 3, 6, 3, 40); b.at(8, 3) = 9; });         // four flag-0 ports
    store(1, [&] { b.fill(1, 1, 11, 1, 13); b.fill(1, 2, 4, 2, 9); }); // 11 ports and four 9
    store(2, [&] { b.fill(20, 20, 22, 20, 9); });
    const LevelPack start = pack;

    for (auto [from, to, cells, levels, skipped] :
         {std::tuple{40, 42, 4, 1, 0}, {9, 13, 4, 2, 1}, {9, 3, 8, 3, 0}, {13, 9, 11, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << from << "->" << to);
        const PackReplace counted = replaceinpack(pack, std::uint8_t(from), std::uint8_t(to), false);
        const PackReplace done = replaceinpack(pack, std::uint8_t(from), std::uint8_t(to), true);
        EXPECT_EQ(counted.cells, cells);
        EXPECT_EQ(done.cells, cells);
        EXPECT_EQ(done.levels, levels);
        EXPECT_EQ(done.skipped, skipped);
        LevelPack after = pack;
        std::vector<CellChange> steps;
        for (const SlotReplace& s : done.changed) {
            steps.push_back(diffrecords(after[s.slot], s.after));
            after[s.slot] = s.after;
            LevelRecord shown = s.after, was = pack[s.slot];
            decodeswitches(shown);
            decodeswitches(was);
            for (int i = 0; i < cellcount; ++i) {
                const int c = i % gridcols, r = i / gridcols;
                if (isbordercell(c, r)) ASSERT_EQ(s.after[i], pack[s.slot][i]);
                else ASSERT_EQ(shown[i], was[i] == from ? to : was[i]) << c << "," << r;
            }
            EXPECT_EQ(buildrecord(shown, StoreFields{7, true, "Level"}).record, s.after);
        }
        for (std::size_t k = 0; k < done.changed.size(); ++k)
            applyrecordbytes(after[done.changed[k].slot], steps[k], true);
        EXPECT_EQ(after, start);
    }
}

TEST(TileCommands, CountTilesCoversTheInterior) {
    EditBench b;
    room(b);
    b.at(5, 5) = markbit | 4;
    const TileCounts n = counttiles(b.cur);
    EXPECT_EQ(n[0], 22);
    EXPECT_EQ(n[4], 1);
    EXPECT_EQ(n[2], 1276 - 23);
    EXPECT_EQ(n[code_border], 0);
}

} // namespace
