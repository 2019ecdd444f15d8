// SPDX-License-Identifier: MIT
#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "fakehost.h"
#include "level/levelstore.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tess;
using tess::test::FakeHost;

namespace {

struct Store : ::testing::Test {
    // The store is 170 KB: keep it off the stack.
    std::unique_ptr<LevelStore> owned = std::make_unique<LevelStore>();
    LevelStore& store = *owned;
    EditLayers layers;
    FakeHost host;
    void SetUp() override { newlevelpack(store, layers, host); }

    std::uint8_t& cell(int col, int row) { return store.curlevel[cellindex(col, row)]; }
    const LevelRecord& stored(int index = 0) const { return store.levelpack[index]; }
    int entrycell(const LevelRecord& rec, int k) const {
        const int e = off_switches + switchentrylen * k;
        return ((rec[e] << 8) | rec[e + 1]) >> 1;
    }
    int entryflag(const LevelRecord& rec, int k) const {
        return rec[off_switches + switchentrylen * k + 2];
    }
    // Switch to another level and back, as the level spinner does.
    void roundtrip() {
        ASSERT_TRUE(savebacklevel(store, host));
        selectlevel(store, layers, host, 1);
        selectlevel(store, layers, host, 0);
    }
};

TEST_F(Store, NewPackHasTitledEmptyLevels) {
    for (int i : {0, 6, 41, 110}) {
        SCOPED_TRACE(i);
        const LevelRecord& rec = stored(i);
        for (int b = 0; b < reclen; ++b) {
            if (b == off_fixedspace) {
                EXPECT_EQ(rec[b], 0x20);
            } else if (b >= off_title && b < off_title + titlelen) {
                EXPECT_EQ(rec[b], newleveltitle(i + 1)[b - off_title]);
            } else {
                ASSERT_EQ(rec[b], 0) << "byte " << b;
            }
        }
    }
    EXPECT_EQ(newleveltitle(7), "-------LEVEL-007-------");
    EXPECT_EQ(newleveltitle(111), "-------LEVEL-111-------");
    EXPECT_EQ(newleveltitle(1).size(), std::size_t(titlelen));
}

TEST_F(Store, NewPackSelectsLevelOneAndShowsIt) {
    EXPECT_EQ(store.levelnr, 0);
    EXPECT_EQ(host.number, 1);
    EXPECT_EQ(host.titletext, "-------LEVEL-001-------");
    EXPECT_EQ(host.infotronstext, 0);
    EXPECT_EQ(host.counter, " / 000");
    EXPECT_FALSE(host.gravitybox);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(Store, StoringWritesBorderRingAndFixedBytes) {
    store.curlevel[off_reserved1] = 9; // stray bytes in the working copy are cleared
    store.curlevel[off_reserved2] = 9;
    store.curlevel[off_fixedspace] = 0;
    cell(1, 1) = 5;
    cell(58, 22) = 7;
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord& rec = stored();
    for (int row = 0; row < gridrows; ++row)
        for (int col = 0; col < gridcols; ++col) {
            const int want = isbordercell(col, row) ? 6 : (col == 1 && row == 1) ? 5
                             : (col == 58 && row == 22)                    ? 7
                                                                          : 0;
            ASSERT_EQ(rec[cellindex(col, row)], want) << col << "," << row;
        }
    EXPECT_EQ(rec[off_fixedspace], 0x20);
    EXPECT_EQ(rec[off_reserved2], 0);
    for (int b = off_reserved1; b < off_reserved1 + 4; ++b) EXPECT_EQ(rec[b], 0);
    // The working copy itself is left alone.
    EXPECT_EQ(cell(0, 0), 0);
    EXPECT_EQ(stored(1)[0], 0) << "other levels are untouched";
}

TEST_F(Store, PropertiesAreStoredFromTheFields) {
    struct Case {
        std::string title;
        std::int16_t infotrons;
        bool gravity;
        std::string wanttitle;
        int wantinfotrons;
    };
    const Case cases[] = {
        {"abc", 7, true, "abc                    ", 7},
        {"", 0, false, "                       ", 0},
        {"12345678901234567890123XYZ", 255, true, "12345678901234567890123", 255},
        {"\xE4\xF6\xFC", 256, false, "\xE4\xF6\xFC                    ", 0}, // low 8 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        host.titletext = c.title;
        host.infotronsvalue = c.infotrons;
        host.gravitybox = c.gravity;
        ASSERT_TRUE(savebacklevel(store, host));
        const LevelRecord& rec = stored();
        EXPECT_EQ(std::string(rec.begin() + off_title, rec.begin() + off_title + titlelen),
                  c.wanttitle);
        EXPECT_EQ(rec[off_infotrons], c.wantinfotrons);
        EXPECT_EQ(rec[off_gravity], c.gravity ? 1 : 0);
    }
    // Selected again, the padded title comes back with its spaces.
    host.titletext = "abc";
    ASSERT_TRUE(savebacklevel(store, host));
    selectlevel(store, layers, host, 0);
    EXPECT_EQ(host.titletext, "abc                    ");
}

TEST_F(Store, TitleWithZeroByteShowsUpToIt) {
    const char raw[titlelen] = {'a', 'b', 0, 'c'};
    std::copy_n(raw, titlelen, store.levelpack[3].begin() + off_title);
    store.levelpack[3][off_gravity] = 0x7F;
    selectlevel(store, layers, host, 3);
    EXPECT_EQ(host.titletext, "ab");
    EXPECT_TRUE(host.gravitybox) << "any non-zero gravity byte ticks the box";
    EXPECT_EQ(host.number, 4);
}

TEST_F(Store, SwitchPositionIsTwiceTheCellIndexBigEndian) {
    cell(5, 3) = 13;
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord& rec = stored();
    EXPECT_EQ(rec[off_switchcount], 1);
    EXPECT_EQ(rec[off_switches + 0], 0x01);
    EXPECT_EQ(rec[off_switches + 1], 0x72);
    EXPECT_EQ(rec[off_switches + 2], 1);
    for (int b = off_switches + 3; b < reclen; ++b) ASSERT_EQ(rec[b], 0) << b;
}

TEST_F(Store, ElevenSwitchesFillTheTableWithoutAQuestion) {
    for (int k = 0; k < 11; ++k) cell(2 + k, 4) = (k % 2) ? 41 : 15;
    ASSERT_TRUE(savebacklevel(store, host));
    EXPECT_TRUE(host.questions.empty());
    const LevelRecord& rec = stored();
    EXPECT_EQ(rec[off_switchcount], 11);
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(entrycell(rec, k), cellindex(2 + k, 4));
        EXPECT_EQ(entryflag(rec, k), (k % 2) ? 0 : 1);
        EXPECT_EQ(rec[cellindex(2 + k, 4)], (k % 2) ? 14 : 15);
    }
    // The 11th entry has only four bytes inside the record; the last is zero.
    EXPECT_EQ(rec[1532], cellindex(12, 4) * 2 >> 8);
    EXPECT_EQ(rec[1533], cellindex(12, 4) * 2 & 0xFF);
    EXPECT_EQ(rec[1534], 1);
    EXPECT_EQ(rec[1535], 0);
}

TEST_F(Store, TwelveSwitchesAskAndKeepTheFirstElevenInScanOrder) {
    // Rows are scanned top to bottom, columns left to right: put the ports
    // in an order that differs from the order of painting.
    const int cols[12] = {50, 3, 20, 7, 30, 9, 40, 11, 45, 13, 55, 1};
    for (int k = 0; k < 12; ++k) cell(cols[k], 2 + k % 3) = 40;
    const LevelRecord before = stored();

    host.answer = false;
    EXPECT_FALSE(savebacklevel(store, host));
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0], switchlimitquestion);
    EXPECT_EQ(stored(), before) << "no stores nothing";

    host.answer = true;
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord& rec = stored();
    EXPECT_EQ(rec[off_switchcount], 11);
    std::vector<int> scan;
    for (int row = 1; row <= 22; ++row)
        for (int col = 0; col <= 58; ++col)
            if (cell(col, row) == 40) scan.push_back(cellindex(col, row));
    ASSERT_EQ(scan.size(), 12u);
    for (int k = 0; k < 11; ++k) {
        EXPECT_EQ(entrycell(rec, k), scan[k]) << k;
        EXPECT_EQ(entryflag(rec, k), 0);
    }
    // The twelfth port is still stored, as a port without an entry.
    EXPECT_EQ(rec[scan[11]], 13);
}

TEST_F(Store, FlagZeroPortsComeBackAsEditorCodes) {
    cell(10, 10) = 41;
    cell(11, 10) = 14;
    roundtrip();
    EXPECT_EQ(stored()[cellindex(10, 10)], 14);
    EXPECT_EQ(cell(10, 10), 41);
    EXPECT_EQ(cell(11, 10), 14);
}

TEST_F(Store, MarkedSwitchIsRecognisedAndMarksNeverReachThePack) {
    cell(8, 8) = markbit | 42;
    cell(9, 8) = markbit | code_infotron;
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord& rec = stored();
    EXPECT_EQ(rec[off_switchcount], 1);
    EXPECT_EQ(entrycell(rec, 0), cellindex(8, 8));
    EXPECT_EQ(entryflag(rec, 0), 0);
    EXPECT_EQ(rec[cellindex(8, 8)], 15);
    for (int i = 0; i < cellcount; ++i) ASSERT_FALSE(rec[i] & markbit) << i;
    // The working level keeps its marks and editor codes after a store.
    EXPECT_EQ(cell(8, 8), markbit | 42);
    ASSERT_TRUE(savebacklevel(store, host));
    EXPECT_EQ(stored(), rec) << "storing again gives the same record";
}

TEST_F(Store, SwitchInColumnZeroKeepsItsEntryUnderTheBorder) {
    cell(0, 5) = 16;
    cell(59, 5) = 16; // column 59 is not scanned
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord& rec = stored();
    EXPECT_EQ(rec[off_switchcount], 1);
    EXPECT_EQ(entrycell(rec, 0), cellindex(0, 5));
    EXPECT_EQ(rec[cellindex(0, 5)], code_border);
    EXPECT_EQ(rec[cellindex(59, 5)], code_border);
}

TEST_F(Store, SelectAndStoreGivesTheSameRecordBack) {
    cell(4, 4) = 43;
    cell(5, 4) = 13;
    cell(6, 4) = code_infotron;
    host.titletext = "Runde";
    host.infotronsvalue = 12;
    host.gravitybox = true;
    ASSERT_TRUE(savebacklevel(store, host));
    const LevelRecord first = stored();
    selectlevel(store, layers, host, 0);
    ASSERT_TRUE(savebacklevel(store, host));
    EXPECT_EQ(stored(), first);
}

TEST_F(Store, DecodingStaysInsideRecordAndGrid) {
    LevelRecord& rec = store.levelpack[2];
    rec[cellindex(3, 3)] = 13;
    rec[cellindex(4, 3)] = 5;
    rec[off_switchcount] = 255; // more than the table can hold
    auto entry = [&](int k, int cellidx, int flag) {
        const int e = off_switches + switchentrylen * k;
        rec[e] = static_cast<std::uint8_t>((cellidx * 2) >> 8);
        rec[e + 1] = static_cast<std::uint8_t>((cellidx * 2) & 0xFF);
        rec[e + 2] = static_cast<std::uint8_t>(flag);
    };
    entry(0, cellindex(3, 3), 0); // a port: becomes 40
    entry(1, cellindex(4, 3), 0); // not a port: stays 5
    entry(2, 0x7FFF, 0);          // outside the grid: ignored
    entry(3, 1440, 0);            // one past the last cell: ignored
    // Entry 10 is the last one inside the record; count 255 must stop there.
    entry(10, cellindex(3, 3), 1);
    selectlevel(store, layers, host, 2);
    EXPECT_EQ(cell(3, 3), 40);
    EXPECT_EQ(cell(4, 3), 5);
}

TEST_F(Store, ForeignBytesSurviveSelectAndStore) {
    LevelRecord& rec = store.levelpack[5];
    rec[cellindex(7, 7)] = 44;         // no picture
    rec[cellindex(8, 7)] = 0xFF;       // mark bit and no picture
    rec[cellindex(9, 7)] = markbit | 4; // a marked infotron
    selectlevel(store, layers, host, 5);
    EXPECT_EQ(cell(7, 7), 44);
    EXPECT_EQ(cell(8, 7), 0xFF);
    ASSERT_TRUE(savebacklevel(store, host));
    EXPECT_EQ(stored(5)[cellindex(7, 7)], 44);
    EXPECT_EQ(stored(5)[cellindex(8, 7)], 0x7F);
    EXPECT_EQ(stored(5)[cellindex(9, 7)], 4);
}

TEST(Infotrons, CountsExactByteFourInTheInteriorOnly) {
    LevelRecord rec{};
    rec[cellindex(1, 1)] = 4;
    rec[cellindex(58, 22)] = 4;
    rec[cellindex(30, 10)] = 4;
    rec[cellindex(31, 10)] = markbit | 4; // selected: not counted
    rec[cellindex(0, 5)] = 4;             // border ring: not counted
    rec[cellindex(59, 5)] = 4;
    rec[cellindex(10, 0)] = 4;
    rec[cellindex(10, 23)] = 4;
    EXPECT_EQ(countinfotrons(rec), 3);
}

TEST(Infotrons, CounterTextHasAtLeastThreeDigits) {
    const std::pair<int, const char*> cases[] = {
        {0, " / 000"}, {7, " / 007"}, {42, " / 042"}, {999, " / 999"}, {1276, " / 1276"}};
    for (auto [n, text] : cases) EXPECT_EQ(countertext(n), text);
}

TEST_F(Store, SelectingShowsTheCountAndEmptiesTheLayers) {
    store.levelpack[9][cellindex(2, 2)] = 4;
    store.levelpack[9][cellindex(3, 2)] = 4;
    store.levelpack[9][off_infotrons] = 200;
    layers.overlay[100] = 3;
    layers.screenbuf[200] = 5;
    layers.clipboard[300] = markbit | 2;
    layers.drawmode = selecttool;
    const int repaints = host.repaints;
    selectlevel(store, layers, host, 9);
    EXPECT_EQ(host.counter, " / 002");
    EXPECT_EQ(host.infotronstext, 200);
    EXPECT_EQ(host.repaints, repaints + 1);
    EXPECT_EQ(layers.overlay[100], notile);
    EXPECT_EQ(layers.screenbuf[200], notile);
    EXPECT_EQ(layers.clipboard[300], markbit | 2) << "the clipboard survives level switches";
    EXPECT_EQ(layers.drawmode, selecttool);
}

} // namespace

// A file shorter than a pack is refused (a level list named as such); a
// longer one loads its first 170496 bytes with a warning naming the rest.
TEST(LevelStore, PackSizeProblemAndWarningNameWhatIsWrong) {
    const struct {
        std::uint64_t size;
        const char* problem; // empty: it loads
        const char* warning; // empty: nothing is left out
    } cases[] = {{170496, "", ""},
                 {0, "Sie ist 0 Bytes lang, ein Levelpack hat 170496 Bytes.", ""},
                 {170495, "170495 Bytes", ""},
                 {3108, "Levelliste", ""},
                 {170497, "", "Die Datei ist 170497 Bytes lang, ein Levelpack hat 170496 Bytes: geladen sind die ersten 170496, die folgenden 1 Bytes nicht."},
                 {1ull << 30, "", "die folgenden 1073571328 Bytes"}};
    for (const auto& c : cases)
        for (const auto& [text, has] : {std::pair{packsizeproblem(c.size), c.problem}, {packsizewarning(c.size), c.warning}}) {
            if (*has == 0) EXPECT_EQ(text, "") << c.size;
            else EXPECT_NE(text.find(has), std::string::npos) << text;
        }
}
