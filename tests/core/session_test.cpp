// SPDX-License-Identifier: MIT
// The editing session through its commands, as a front-end drives it.
#include "edit/session.h"
#include "level/journalcodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace tess;

namespace {

using Act = std::function<void(EditSession&)>;

void stroke(EditSession& s, Button b, int c0, int r0, int c1, int r1, int item = 5) {
    ASSERT_NE(s.press(b, false, c0, r0, item, 1), EditSession::Press::ignored);
    s.move(c1, r1);
    ASSERT_TRUE(s.release());
}

void markregion(EditSession& s) {
    s.command(SessionCommand::select);
    stroke(s, Button::left, 2, 2, 58, 22);
}

// Tiles 5 in the last 2x2 cells of the grid and at (3,3).
void corner(EditSession& s) {
    stroke(s, Button::left, 57, 21, 58, 22);
    stroke(s, Button::left, 3, 3, 3, 3);
}

SessionChange change(bool cells, bool fields, bool level, std::initializer_list<int> slots) {
    SessionChange c{cells, fields, level, {}};
    for (int slot : slots) c.records.set(static_cast<std::size_t>(slot));
    return c;
}

// The marked cells of the shown level.
std::vector<int> marked(const EditSession& s) {
    std::vector<int> out;
    for (int i = 0; i < cellcount; ++i)
        if (s.store().curlevel[i] & markbit) out.push_back(i);
    return out;
}

const std::vector<int> cornercells{cellindex(57, 21), cellindex(58, 21), cellindex(57, 22), cellindex(58, 22)};
std::uint8_t at(const EditSession& s, int col, int row) { return s.store().curlevel[cellindex(col, row)]; }

struct Case {
    const char* name;
    Act prepare;
    std::function<int(EditSession&)> act;
    SessionChange heard;  // by the command, its undo and its redo
    bool unsaved = true;  // marks alone are not saved
    std::function<void(const EditSession&, int result)> check = {};
    bool undoable = true;
    Act undo = [](EditSession& s) { ASSERT_TRUE(s.command(SessionCommand::undo)); };
    Act redo = [](EditSession& s) { ASSERT_TRUE(s.command(SessionCommand::redo)); };
};

// What the user sees: the pack with the shown level as saving writes it, the marks, the level.
struct Seen {
    std::unique_ptr<LevelPack> image;
    std::vector<int> marks;
    int level;
};
std::unique_ptr<LevelPack> image(const EditSession& s) { return std::make_unique<LevelPack>(s.image()); }
Seen seen(const EditSession& s) { return {image(s), marked(s), s.levelnumber()}; }
void expectseen(const EditSession& s, const Seen& want) {
    EXPECT_TRUE(*image(s) == *want.image);
    EXPECT_EQ(marked(s), want.marks);
    EXPECT_EQ(s.levelnumber(), want.level);
}

// Every command: after it, its undo and its redo the listener heard exactly
// what changed, once, the unsaved state is right, and what recovery keeps
// (the journal's pack, the image) is what storing back and saving writes.
TEST(EditSession, EveryCommandTellsWhatChangedAndIsUndone) {
    const auto cells = change(true, false, false, {});
    const auto one = [](auto f) { return [f](EditSession& s) { f(s); return 0; }; };
    const auto run = [](SessionCommand c) { return [c](EditSession& s) { return int(s.command(c)); }; };
    const std::vector<Case> cases{
        {"rectangle stroke to the last cell", {}, one([](EditSession& s) { stroke(s, Button::left, 3, 3, 58, 22); }),
         cells, true, [](const EditSession& s, int) { EXPECT_EQ(at(s, 58, 22), 5); }},
        {"right-button stroke", {}, one([](EditSession& s) { stroke(s, Button::right, 1, 1, 4, 2); }), cells},
        {"mark stroke", [](EditSession& s) { s.command(SessionCommand::select); },
         one([](EditSession& s) { stroke(s, Button::left, 2, 2, 5, 5); }), cells, false},
        {"select all", {}, run(SessionCommand::selectall), cells, false},
        {"cut", [](EditSession& s) { stroke(s, Button::left, 3, 3, 6, 6); markregion(s); }, run(SessionCommand::cut), cells},
        {"delete", [](EditSession& s) { stroke(s, Button::left, 3, 3, 6, 6); markregion(s); }, run(SessionCommand::remove), cells},
        {"paste", [](EditSession& s) {
             stroke(s, Button::left, 3, 3, 6, 6);
             markregion(s);
             s.command(SessionCommand::copy);
             s.command(SessionCommand::remove);
         }, run(SessionCommand::paste), cells},
        {"draw tool over marks", markregion, run(SessionCommand::draw), cells, false},
        {"fill of all marks", [](EditSession& s) { s.command(SessionCommand::selectall); },
         [](EditSession& s) { return s.fillmarked(3); }, cells, true, [](const EditSession& s, int n) {
             EXPECT_EQ(n, 58 * 22);
             for (int row = firstrow; row <= lastrow; ++row)
                 for (int col = firstcol; col <= lastcol; ++col) EXPECT_EQ(at(s, col, row), 3) << col << "," << row;
         }},
        {"mirror of all marks", [](EditSession& s) { stroke(s, Button::left, 1, 1, 1, 1); s.command(SessionCommand::selectall); },
         [](EditSession& s) { return s.mirrormarked(Mirror::leftright); }, cells, true, [](const EditSession& s, int) {
             EXPECT_EQ(at(s, 58, 1), 5 | markbit);
             EXPECT_EQ(at(s, 1, 1), markbit);
         }},
        {"marks by tile", corner, [](EditSession& s) { return s.marksametiles(5); }, cells, false,
         [](const EditSession& s, int n) {
             EXPECT_EQ(n, 5);
             EXPECT_EQ(marked(s).back(), cellindex(58, 22));
         }},
        {"region mark at the last cell", corner, [](EditSession& s) { return s.markregion(57, 21); }, cells, false,
         [&](const EditSession& s, int n) {
             EXPECT_EQ(n, 4);
             EXPECT_EQ(marked(s), cornercells);
         }},
        {"replace in the marks", [](EditSession& s) { corner(s); s.markregion(58, 22); },
         [](EditSession& s) { return s.replacetiles(5, 3, ReplaceScope::marked); }, cells, true,
         [](const EditSession& s, int n) {
             EXPECT_EQ(n, 4);
             EXPECT_EQ(at(s, 58, 22), 3 | markbit);
             EXPECT_EQ(at(s, 3, 3), 5);
         }},
        {"replace in the level", corner, [](EditSession& s) { return s.replacetiles(5, 3, ReplaceScope::level); }, cells},
        {"replace in the pack", [](EditSession& s) {
             s.switchlevel(3, true);
             corner(s);
             s.switchlevel(1, true);
             corner(s);
         }, [](EditSession& s) { return s.replaceinpack(5, 3, true).levels; }, change(true, false, false, {0, 2}), true,
         [](const EditSession& s, int n) {
             EXPECT_EQ(n, 2);
             EXPECT_EQ(s.store().levelpack[2][cellindex(58, 22)], 3);
         }, true, [](EditSession& s) { ASSERT_TRUE(s.undoreplaceinpack()); }, {}},
        {"copy level", corner, [](EditSession& s) { return int(s.copylevel(true)); }, {}, false,
         [](const EditSession& s, int) { EXPECT_EQ(s.levelclip(), s.store().levelpack[0]); }, false},
        {"paste level", [](EditSession& s) { corner(s); s.copylevel(true); s.switchlevel(2, true); },
         [](EditSession& s) { return int(s.pastelevel(true)); }, change(true, true, false, {1})},
        {"clear level", [](EditSession& s) { corner(s); s.setfields(7, true, "Alt"); },
         [](EditSession& s) { return int(s.emptylevel(true)); }, change(true, true, false, {0})},
        {"move level", corner, [](EditSession& s) { return int(s.movelevel(3, true)); },
         change(false, false, true, {0, 1, 2}), true, [](const EditSession& s, int) {
             EXPECT_EQ(s.levelnumber(), 3);
             EXPECT_EQ((*image(s))[2][cellindex(3, 3)], 5);
         }},
        {"field edit, the title kept byte for byte", [](EditSession& s) {
             std::vector<std::uint8_t> bytes(packlen, 0);
             const char title[] = "Zwei\r\nZeilen";
             std::copy(title, title + sizeof title - 1, bytes.begin() + off_title);
             ASSERT_TRUE(s.openpack(bytes));
         }, [](EditSession& s) {
             s.setfields(77, true, s.title());
             return int(s.commitfields());
         }, change(false, true, false, {}), true, [](const EditSession& s, int) {
             const auto pack = image(s);
             const LevelRecord& r = (*pack)[0];
             EXPECT_EQ(std::string(r.begin() + off_title, r.begin() + off_title + 12), "Zwei\r\nZeilen");
             EXPECT_EQ(r[off_infotrons], 77);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = std::make_unique<EditSession>();
        if (c.prepare) c.prepare(*s);
        ASSERT_TRUE(s->storeback(false));
        s->marksaved();
        std::vector<SessionChange> heard;
        s->setlistener([&](const SessionChange& change) { heard.push_back(change); });
        const auto expect = [&](const char* when, bool unsaved) {
            SCOPED_TRACE(when);
            EXPECT_EQ(heard, c.heard.any() ? std::vector{c.heard} : std::vector<SessionChange>{});
            EXPECT_EQ(s->unsaved(), unsaved);
            const auto kept = image(*s);
            const JournalParse journal = parsejournalbytes(s->journal(0, "a.pak"));
            ASSERT_TRUE(journal.ok) << journal.why;
            EXPECT_TRUE(*journal.journal.pack == *kept && *journal.journal.saved == s->saved());
            ASSERT_TRUE(s->storeback(false));
            EXPECT_TRUE(*kept == s->store().levelpack);
            heard.clear();
        };
        const Seen before = seen(*s);
        const int result = c.act(*s);
        const Seen after = seen(*s);
        if (c.check) c.check(*s, result);
        expect("command", c.unsaved);
        if (!c.undoable) continue;
        c.undo(*s);
        expectseen(*s, before);
        expect("undo", false);
        if (!c.redo) continue;
        c.redo(*s);
        expectseen(*s, after);
        expect("redo", c.unsaved);
    }
}

// A replace across the pack comes back as a whole only while none of its
// levels changed since.
TEST(EditSession, TakesBackAReplaceInThePackOnlyAsAWhole) {
    auto s = std::make_unique<EditSession>();
    corner(*s);
    ASSERT_TRUE(s->switchlevel(2, true));
    corner(*s);
    EXPECT_EQ(s->replaceinpack(5, 3, true).levels, 2);
    s->setfields(9, false, s->title());
    EXPECT_FALSE(s->undoreplaceinpack());
    ASSERT_TRUE(s->command(SessionCommand::undo));
    EXPECT_TRUE(s->undoreplaceinpack());
    EXPECT_EQ(s->store().levelpack[0][cellindex(58, 22)], 5);
    EXPECT_EQ(at(*s, 58, 22), 5);
}

// Opening takes exactly one pack; kept work comes back from its journal
// unsaved, as it was, and a level switch stores back first, a field edit as
// one step.
TEST(EditSession, OpensRestoresAndSwitches) {
    auto s = std::make_unique<EditSession>();
    stroke(*s, Button::left, 3, 3, 9, 9);
    s->setfields(42, true, "Kammer");
    const auto work = image(*s);
    const std::vector<std::uint8_t> journal = s->journal(0, "");
    std::vector<std::uint8_t> a(packlen);
    for (int i = 0; i < levelcount; ++i) std::copy((*work)[i].begin(), (*work)[i].end(), a.begin() + i * reclen);
    ASSERT_TRUE(s->switchlevel(2, true));
    ASSERT_TRUE(s->switchlevel(1, true));
    ASSERT_TRUE(s->command(SessionCommand::undo));
    EXPECT_EQ(s->infotrons(), 0);
    auto t = std::make_unique<EditSession>();
    EXPECT_FALSE(t->openpack(std::span(a).first(packlen - 1)));
    EXPECT_FALSE(t->restorejournal(std::span(journal).first(journal.size() - 1)));
    ASSERT_TRUE(t->restorejournal(journal));
    EXPECT_TRUE(t->unsaved());
    EXPECT_TRUE(*image(*t) == *work);
    EXPECT_EQ(t->infotrons(), 42);
    ASSERT_TRUE(t->openpack(a));
    EXPECT_FALSE(t->unsaved());
    EXPECT_FALSE(t->switchlevel(112, true));
    ASSERT_TRUE(t->switchlevel(2, true));
    EXPECT_EQ(t->levelnumber(), 2);
    EXPECT_EQ(t->store().levelpack[0], (*work)[0]);
}

} // namespace
