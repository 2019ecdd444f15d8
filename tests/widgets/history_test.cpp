// SPDX-License-Identifier: MIT
// Undo and redo on the main window: what a step is, what undo restores and
// shows, histories per level, the keys, and random sessions undone and
// redone completely, also under a tight memory bound.
#include "fakedialogs.h"
#include "level/packfile.h"
#include "pixels.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/updown.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>
#include <random>

using namespace tess;
using namespace tess::test;

class HistoryTest : public QObject, WindowFixture {
    Q_OBJECT
    QWidget* box = nullptr;

    QPoint at(int col, int row) { return {(col - 1) * 32 + 16, (row - 1) * 32 + 16}; }
    void drag(Qt::MouseButton b, int c0, int r0, int c1, int r1) {
        QTest::mousePress(box, b, {}, at(c0, r0));
        QTest::mouseMove(box, at(c1, r1));
        QTest::mouseRelease(box, b, {}, at(c1, r1));
    }
    void key(int k, Qt::KeyboardModifiers m = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), m);
    }
    bool showsthelayers() { return gridshot(shot(box), s()) == expectedlevel(s()); }
    LevelCells cells() { return tilesof(s().store().curlevel); }
    void selecttool() { w->ToolButton2->click(); }

private slots:
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        box = w->levedit1->PaintBox1;
    }
    void cleanup() { w.reset(); }

    // One step per finished change; undo brings back codes and marks exactly
    // and shows them, redo the change, and the counter follows both.
    void eachChangeIsOneStep_data() {
        QTest::addColumn<int>("kind");
        const char* names[] = {"rectangle", "mark stroke", "move-drag", "copy-drag", "cut", "paste", "delete",
                               "draw tool unmarks"};
        for (int k = 0; k < 8; ++k) QTest::newRow(names[k]) << k;
    }
    void eachChangeIsOneStep() {
        QFETCH(int, kind);
        drag(Qt::RightButton, 2, 2, 12, 8); // code 0 over nothing: no step
        QVERIFY(!w->Rckgngig1->isEnabled());
        w->itemselect1->PaintBox1MouseDown(Qt::LeftButton, 16 + 48 * 0, 16 + 48 * 2); // code 4
        drag(Qt::LeftButton, 3, 3, 6, 5);
        w->itemselect1->PaintBox1MouseDown(Qt::LeftButton, 16, 16 + 48); // code 2
        if (kind != 0) {
            selecttool();
            drag(Qt::LeftButton, 4, 4, 7, 6);
        }
        if (kind == 5) {
            w->Kopieren1->trigger();
            w->Lschen1->trigger();
        }
        const LevelCells before = cells();
        switch (kind) {
        case 0: drag(Qt::LeftButton, 5, 2, 9, 9); break;
        case 1: drag(Qt::LeftButton, 10, 10, 12, 12); break;
        case 2: drag(Qt::LeftButton, 5, 5, 20, 15); break;
        case 3: drag(Qt::RightButton, 5, 5, 20, 15); break;
        case 4: w->Lschen2->trigger(); break;
        case 5: w->Einfgen1->trigger(); break;
        case 6: w->Lschen1->trigger(); break;
        case 7: w->ToolButton1->click(); break;
        }
        const LevelCells after = cells();
        QVERIFY(before != after);
        const QString counter = QString::fromStdString(countertext(countinfotrons(s().store().curlevel)));
        key(Qt::Key_Z);
        QCOMPARE(cells(), before);
        QVERIFY(showsthelayers());
        QCOMPARE(w->Label4->text(), QString::fromStdString(countertext(countinfotrons(s().store().curlevel))));
        key(kind % 2 ? Qt::Key_Y : Qt::Key_Z, kind % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(cells(), after);
        QVERIFY(showsthelayers());
        QCOMPARE(w->Label4->text(), counter);
    }

    // Each level keeps its history across switches; undoing back to the
    // saved bytes makes the pack unchanged; a load clears every history.
    void historiesBelongToTheirLevels() {
        // Saved once both levels were stored back, so that only edits count.
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QTemporaryDir dir;
        dialogs.saveanswers = {dir.filePath(QStringLiteral("a.pak"))};
        dialogs.yesnoanswers = {false};
        w->Levelpackspeichern1->trigger();
        QVERIFY(!w->packchanged());
        drag(Qt::LeftButton, 2, 2, 3, 3);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        drag(Qt::LeftButton, 5, 5, 6, 6);
        drag(Qt::LeftButton, 7, 7, 8, 8);
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(cell(2, 2), 2);
        key(Qt::Key_Z);
        QCOMPARE(cell(2, 2), 0);
        QVERIFY(!w->Rckgngig1->isEnabled());
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QVERIFY(w->packchanged());
        key(Qt::Key_Z);
        key(Qt::Key_Z);
        QCOMPARE(cell(5, 5), 0);
        QVERIFY(!w->packchanged());
        key(Qt::Key_Y);
        QCOMPARE(cell(5, 5), 2);
        dialogs.unsavedanswers = {SaveAnswer::discard};
        w->NeuesLevelpack1->trigger();
        QVERIFY(!w->Rckgngig1->isEnabled() && !w->Wiederherstellen1->isEnabled());
        for (int i = 0; i < levelcount; ++i) QVERIFY(!w->history().canundo(i) && !w->history().canredo(i));
    }

    // A title, infotrons or gravity edited becomes one step when the field
    // is left; Strg+Z in the view shows the value before again, Strg+Y the edit.
    void fieldEditsAreSteps_data() {
        QTest::addColumn<int>("field");
        QTest::newRow("Titel") << 0;
        QTest::newRow("Infotrons") << 1;
        QTest::newRow("Schwerkraft") << 2;
    }
    void fieldEditsAreSteps() {
        QFETCH(int, field);
        QWidget* const fields[] = {w->Edit2, w->Edit3, w->CheckBox1};
        QWidget* const widget = fields[field];
        auto shown = [&] { return field == 2 ? QString::number(w->CheckBox1->isChecked()) : qobject_cast<QLineEdit*>(widget)->text(); };
        const QString before = shown();
        QTest::mouseClick(widget, Qt::LeftButton);
        if (field < 2) {
            qobject_cast<QLineEdit*>(widget)->selectAll();
            QTest::keyClicks(widget, QStringLiteral("42"));
        }
        const QString edited = shown();
        QVERIFY(edited != before && w->packchanged());
        QTest::keyClick(widget, Qt::Key_Tab); // the field is left
        QTest::mouseClick(w->itemselect1->PaintBox1, Qt::LeftButton, {}, QPoint(16, 16)); // the keys act on the level
        key(Qt::Key_Z);
        QCOMPARE(shown(), before);
        QVERIFY(!w->packchanged());
        key(Qt::Key_Y);
        QCOMPARE(shown(), edited);
        QVERIFY(w->packchanged());
    }

    void nothingIsUndoneDuringAStroke() {
        drag(Qt::LeftButton, 2, 2, 3, 3);
        QTest::mousePress(box, Qt::LeftButton, {}, at(10, 10));
        QVERIFY(!w->Rckgngig1->isEnabled());
        w->Rckgngig1->trigger();
        QCOMPARE(cell(2, 2), 2);
        QTest::mouseRelease(box, Qt::LeftButton, {}, at(10, 10));
        QVERIFY(w->Rckgngig1->isEnabled());
    }

    // A level switch while a drag holds the selection: the emptied source
    // cells are a step of the level they were taken from.
    void switchDuringADragKeepsItsStart() {
        setcell(5, 5, 4);
        selecttool();
        drag(Qt::LeftButton, 5, 5, 5, 5);
        QTest::mousePress(box, Qt::LeftButton, {}, at(5, 5));
        QCOMPARE(cell(5, 5), 0);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QTest::mouseRelease(box, Qt::LeftButton, {}, at(6, 6));
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(cell(5, 5), 0);
        key(Qt::Key_Z);
        QCOMPARE(cell(5, 5), markbit | 4);
    }

    // In a field being typed in, the keys edit its text; after work in the
    // level view they act on the level; Up and Down always step the level.
    void keysGoWhereTheUserWorks() {
        selecttool();
        setcell(5, 5, 4);
        drag(Qt::LeftButton, 5, 5, 5, 5);
        QTest::mouseClick(w->Edit2, Qt::LeftButton);
        QTest::keyClicks(w->Edit2, QStringLiteral("xy"));
        key(Qt::Key_Z);
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-001-------"));
        QCOMPARE(cell(5, 5), markbit | 4);
        w->Edit2->selectAll();
        key(Qt::Key_C);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("-------LEVEL-001-------"));
        QCOMPARE(s().layers().clipboard[cellindex(5, 5)], emptyclip);
        QTest::mouseClick(w->itemselect1->PaintBox1, Qt::LeftButton, {}, QPoint(20, 20)); // back to the level
        key(Qt::Key_C);
        QCOMPARE(s().layers().clipboard[cellindex(5, 5)], markbit | 4);
        key(Qt::Key_Delete, Qt::NoModifier);
        QCOMPARE(cell(5, 5), 0);
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-001-------"));
        key(Qt::Key_Z);
        QCOMPARE(cell(5, 5), markbit | 4);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 1);
    }

    // Random strokes, commands and level switches (also during a stroke) on
    // four levels. Undoing every history returns the pack to its start and
    // redoing it to its end; under a memory bound of 48 KiB the histories
    // never pass the bound, and undo and redo of what they keep still agree.
    // The codes leave out the ports: storing a level drops the table entries
    // of ports beyond the eleventh and of ports in the border ring, which
    // the user agreed to, and a redo then brings back the port as painted.
    void randomSessionsUndoAndRedoCompletely_data() {
        QTest::addColumn<int>("budget");
        QTest::newRow("64 MiB") << (64 << 20);
        QTest::newRow("48 KiB") << (48 << 10);
    }
    void randomSessionsUndoAndRedoCompletely() {
        QFETCH(int, budget);
        w->document().sethistorybudget(std::size_t(budget));
        std::mt19937 rng{unsigned(budget)};
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        auto image = [&] { return w->packtosave(); };
        auto walk = [&](bool undo) {
            for (int n = 0; n < 4; ++n) {
                tolevel(n);
                const History& h = w->history();
                while (undo ? h.canundo(n) : h.canredo(n)) (undo ? w->Rckgngig1 : w->Wiederherstellen1)->trigger();
            }
            tolevel(0);
        };
        QAction* const commands[] = {w->Kopieren1, w->Lschen2, w->Einfgen1, w->Lschen1};
        tolevel(3); // every level stored back once: its border ring is written
        tolevel(0);
        const LevelPack start = image();
        for (int e = 0; e < 4000; ++e) {
            const int k = pick(0, 99);
            if (k < 20) w->levedit1->PaintBox1MouseDown(Button(pick(0, 2)), pick(0, 1), pick(-40, 1900), pick(-40, 720));
            else if (k < 50) w->levedit1->PaintBox1MouseMove(pick(-40, 1900), pick(-40, 720));
            else if (k < 70) w->levedit1->PaintBox1MouseUp();
            else if (k < 90 && !s().doc.stroking()) commands[pick(0, 3)]->trigger();
            else if (k < 94) (pick(0, 1) ? w->ToolButton1 : w->ToolButton2)->click();
            else if (k < 97) s().leftitem = pick(0, 12); // no ports: see above
            else tolevel(pick(0, 3));
            QVERIFY(w->history().bytes() <= std::size_t(budget));
        }
        w->levedit1->PaintBox1MouseUp();
        const LevelPack end = image();
        walk(true);
        if (budget > (1 << 20)) QVERIFY(image() == start);
        walk(false);
        QVERIFY(image() == end);
    }
};

QTEST_MAIN(HistoryTest)
#include "history_test.moc"
