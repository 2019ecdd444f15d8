// SPDX-License-Identifier: MIT
// The editing session through its commands, as a front-end drives it: after
// each, the work is unsaved and what recovery keeps is what saving writes;
// undo brings back the cells before and redo the cells after.
#include "edit/session.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace tess;

namespace {

using Act = std::function<void(EditSession&)>;

void stroke(EditSession& s, Button b, int c0, int r0, int c1, int r1, bool ctrl = false) {
    ASSERT_NE(s.press(b, ctrl, c0, r0, 5, 1), EditSession::Press::ignored);
    s.move(c1, r1);
    ASSERT_TRUE(s.release());
}

void markregion(EditSession& s) {
    s.command(SessionCommand::select);
    stroke(s, Button::left, 2, 2, 58, 22);
}

struct Case {
    const char* name;
    Act prepare, act;
    bool undoable;
    bool unsaved = true; // marks alone are not saved
};

TEST(EditSession, EveryCommandIsUnsavedKeptAsSavedAndUndone) {
    const std::vector<Case> cases{
        {"rectangle stroke", {}, [](EditSession& s) { stroke(s, Button::left, 3, 3, 58, 22); }, true},
        {"right-button stroke", {}, [](EditSession& s) { stroke(s, Button::right, 1, 1, 4, 2); }, true},
        {"mark stroke", [](EditSession& s) { s.command(SessionCommand::select); },
         [](EditSession& s) { stroke(s, Button::left, 2, 2, 5, 5); }, true, false},
        {"select all", {}, [](EditSession& s) { s.command(SessionCommand::selectall); }, true, false},
        {"cut", [](EditSession& s) { stroke(s, Button::left, 3, 3, 6, 6); markregion(s); },
         [](EditSession& s) { s.command(SessionCommand::cut); }, true},
        {"delete", [](EditSession& s) { stroke(s, Button::left, 3, 3, 6, 6); markregion(s); },
         [](EditSession& s) { s.command(SessionCommand::remove); }, true},
        {"paste", [](EditSession& s) {
             stroke(s, Button::left, 3, 3, 6, 6);
             markregion(s);
             s.command(SessionCommand::copy);
             s.command(SessionCommand::remove);
         }, [](EditSession& s) { s.command(SessionCommand::paste); }, true},
        {"draw tool over marks", markregion, [](EditSession& s) { s.command(SessionCommand::draw); }, true, false},
        {"fields", {}, [](EditSession& s) { s.setfields(300, true, "Neu\r\n"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = std::make_unique<EditSession>();
        if (c.prepare) c.prepare(*s);
        ASSERT_TRUE(s->storeback(false));
        s->marksaved();
        ASSERT_FALSE(s->unsaved());
        const LevelCells before = tilesof(s->store().curlevel);
        c.act(*s);
        const LevelCells after = tilesof(s->store().curlevel);
        EXPECT_EQ(s->unsaved(), c.unsaved);
        EXPECT_EQ(s->canundo(), c.undoable);
        if (c.undoable) {
            EXPECT_NE(before, after);
            ASSERT_TRUE(s->command(SessionCommand::undo));
            EXPECT_EQ(tilesof(s->store().curlevel), before);
            ASSERT_TRUE(s->command(SessionCommand::redo));
            EXPECT_EQ(tilesof(s->store().curlevel), after);
        }
        const LevelPack kept = s->image();
        ASSERT_TRUE(s->storeback(false));
        EXPECT_EQ(kept, s->store().levelpack);
    }
}

// Opening takes exactly one pack; kept work comes back unsaved, as it was,
// and a level switch stores back first.
TEST(EditSession, OpensRestoresAndSwitches) {
    auto s = std::make_unique<EditSession>();
    stroke(*s, Button::left, 3, 3, 9, 9);
    s->setfields(42, true, "Kammer");
    const LevelPack work = s->image(), saved = s->saved();
    std::vector<std::uint8_t> a(packlen), b(packlen);
    for (int i = 0; i < levelcount; ++i) {
        std::copy(work[i].begin(), work[i].end(), a.begin() + i * reclen);
        std::copy(saved[i].begin(), saved[i].end(), b.begin() + i * reclen);
    }
    auto t = std::make_unique<EditSession>();
    EXPECT_FALSE(t->openpack(std::span(a).first(packlen - 1)));
    ASSERT_TRUE(t->restore(a, b, 0));
    EXPECT_TRUE(t->unsaved());
    EXPECT_EQ(t->image(), work);
    EXPECT_EQ(t->infotrons(), 42);
    ASSERT_TRUE(t->openpack(a));
    EXPECT_FALSE(t->unsaved());
    EXPECT_FALSE(t->switchlevel(112, true));
    ASSERT_TRUE(t->switchlevel(2, true));
    EXPECT_EQ(t->levelnumber(), 2);
    EXPECT_EQ(t->store().levelpack[0], work[0]);
}

} // namespace
