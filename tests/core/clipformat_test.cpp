// SPDX-License-Identifier: MIT
// The clipboard's text form: cells and a whole level come back byte for byte
// through text clipboards that change line ends and trailing blanks, and
// anything not exactly the form leaves the target alone.
#include "edit/clipformat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

using namespace tess;

namespace {

Layer somecells() {
    Layer clip;
    clip.fill(emptyclip);
    for (auto [col, row, code] : {std::tuple{4, 3, 0x04}, {6, 5, 0x7E}, {59, 23, 0x00}}) clip[cellindex(col, row)] = markbit | code;
    return clip;
}

LevelRecord somelevel() {
    LevelRecord r{};
    for (int i = 0; i < reclen; ++i) r[i] = std::uint8_t(i * 7);
    const char title[] = "--- \"A\\b\" \xE4 ---        ";
    std::copy(title, title + titlelen, r.begin() + off_title);
    return r;
}

// The ways a text clipboard may hand the text back: CRLF, blanks at line
// ends and empty lines added, or the end's blanks gone.
std::string travelled(const std::string& text, int how) {
    std::string out;
    for (char c : text) out += c != '\n' || how == 0 ? std::string(1, c) : how == 1 ? "\r\n" : " \t\r\n";
    if (how == 2) out += "\n\n";
    if (how == 3) out.resize(out.find_last_not_of("\r\n \t") + 1);
    return out;
}

} // namespace

TEST(ClipText, CellsAndLevelsComeBack) {
    const Layer cells = somecells();
    const LevelRecord level = somelevel();
    const std::string ct = cellstext(cells), lt = leveltext(level);
    EXPECT_EQ(ct.substr(0, 43), "Tessaron-Zellen 1 Spalte 4 Zeile 3\n04 .. ..");
    EXPECT_NE(lt.find("\nTitel \"--- \\x22A\\x5Cb\\x22 \\xE4 ---        \"\n"), std::string::npos);
    for (int how = 0; how <= 3; ++how) {
        Layer c;
        LevelRecord l;
        const std::string tc = travelled(ct, how), tl = travelled(lt, how);
        ASSERT_TRUE(readcellstext(tc.data(), tc.size(), c)) << how;
        ASSERT_TRUE(readleveltext(tl.data(), tl.size(), l)) << how;
        EXPECT_EQ(c, cells);
        EXPECT_EQ(l, level);
        EXPECT_FALSE(readcellstext(tl.data(), tl.size(), c) || readleveltext(tc.data(), tc.size(), l));
    }
}

TEST(ClipText, MalformedTextsAreRefused) {
    const std::string ct = cellstext(somecells()), lt = leveltext(somelevel());
    auto edit = [](std::string s, const char* from, const char* to) { return s.replace(s.find(from), std::strlen(from), to); };
    const std::string cells[] = {
        "", ct.substr(0, ct.find('\n') + 1), edit(ct, "Spalte 4", "Spalte 04"), edit(ct, "Zeile 3", "Zeile 24"),
        edit(ct, "Spalte 4", "Spalte 58"), edit(ct, "04 .. ..", "84 .. .."), edit(ct, "04 .. ..", "04 ..  .."),
        edit(ct, "04 .. ..", "04 .. .. .."), edit(ct, "04 .. ..", "4G .. .."), edit(ct, "\n04", "\n\n04"),
        edit(ct, "Zeile 3", "Zeile  3"), edit(ct, "Zeile 3", "Zeile 4"), ct + "x", "Tessaron-Zellen 1 Spalte 0 Zeile 0\n..\n",
        ct + std::string(cliptextmax, '\n'), edit(ct, "Tessaron-Zellen 1", "Tessaron-Zellen 2")};
    Layer c;
    LevelRecord l;
    c.fill(1);
    l.fill(1);
    for (const std::string& t : cells) EXPECT_FALSE(readcellstext(t.data(), t.size(), c)) << t;
    const std::string level[] = {
        lt.substr(0, lt.size() - 10), edit(lt, "Gravitation", "Gravitation "), edit(lt, "\\x22", "\\x41"),
        edit(lt, "\\x22", "\""), edit(lt, "---        \"", "---       \""), edit(lt, "---        \"", "---         \""),
        edit(lt, "Schalter ", "Schalter 00 "), edit(lt, "Infotrons", "Schalter"), edit(lt, "\n00 07", "\n.. 07"),
        lt + "x\n", edit(lt, "Tessaron-Level 1\n", "Tessaron-Level 1\n00\n")};
    for (const std::string& t : level) EXPECT_FALSE(readleveltext(t.data(), t.size(), l)) << t;
    EXPECT_TRUE(c[0] == 1 && l[0] == 1);
}
