// SPDX-License-Identifier: MIT
// The pack as a whole: the level menu's operations as undo steps of their
// level, and the level overview's thumbnails, clicks, drags and menu.
#include "fakedialogs.h"
#include "level/packops.h"
#include "pixels.h"
#include "ui/editorstate.h"
#include "ui/leveloverview.h"
#include "ui/ulevedit.h"
#include "ui/updown.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace tess;
using namespace tess::test;

class LevelMenuTest : public QObject, WindowFixture {
    Q_OBJECT

    // A stroke in the level view: one step of the current level.
    void paint(int col, int row) {
        w->levedit1->PaintBox1MouseDown(Button::left, false, (col - 1) * 32, (row - 1) * 32);
        w->levedit1->PaintBox1MouseUp();
    }
    QPoint thumbcentre(int slot) { return w->overview->thumbrect(slot).center(); }

private slots:
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        // Levels 1 to 3 with their own content, titles and a flag-0 port; level 2 shown.
        const char* titles[] = {"Eins", "Zwei", "Drei"};
        for (int n = 0; n < 3; ++n) {
            tolevel(n);
            setcell(10, 10, 41);
            w->Edit2->setText(QString::fromLatin1(titles[n]));
            paint(5 + n, 5);
        }
        tolevel(1);
    }
    void cleanup() { w.reset(); }

    // Each operation is one step of the current level: undo restores the pack
    // and the level shown, redo does it again. Declining the switch-limit
    // question at the store-back cancels it.
    void operationsAreOneStep_data() {
        QTest::addColumn<QString>("op");
        for (const char* op : {"einfügen", "leeren", "vorne", "hinten", "Nein"}) QTest::newRow(op) << QString::fromUtf8(op);
    }
    void operationsAreOneStep() {
        QFETCH(QString, op);
        if (op == QStringLiteral("einfügen")) {
            tolevel(2);
            w->Levelkopieren1->trigger();
            tolevel(1);
        }
        if (op == QStringLiteral("Nein")) {
            s().leftitem = 13; // twelve ports in one stroke
            w->levedit1->PaintBox1MouseDown(Button::left, false, 19 * 32, 11 * 32);
            w->levedit1->PaintBox1MouseMove(30 * 32, 11 * 32);
            w->levedit1->PaintBox1MouseUp();
            dialogs.yesnoanswers = {false};
        }
        const LevelPack before = w->packtosave();
        const HistoryStep* const stepbefore = w->history().top(1);
        if (op == QStringLiteral("einfügen")) w->Leveleinfgen1->trigger();
        else if (op == QStringLiteral("vorne")) w->Levelnachvorne1->trigger();
        else if (op == QStringLiteral("hinten")) w->Levelnachhinten1->trigger();
        else w->Levelleeren1->trigger();
        const LevelPack after = w->packtosave();

        LevelPack want = before;
        int shown = 1;
        if (op == QStringLiteral("einfügen")) want[1] = before[2];
        if (op == QStringLiteral("leeren")) want[1] = emptylevel(2);
        if (op == QStringLiteral("vorne")) std::swap(want[0], want[1]), shown = 0;
        if (op == QStringLiteral("hinten")) std::swap(want[1], want[2]), shown = 2;
        QVERIFY(after == want);
        QCOMPARE(level(), shown);
        if (op == QStringLiteral("einfügen")) QCOMPARE(cell(10, 10), 41); // its switch table came along
        if (op == QStringLiteral("Nein")) {
            QVERIFY(w->history().top(1) == stepbefore && !w->history().canredo(1)); // no step
            return;
        }
        w->Rckgngig1->trigger();
        QVERIFY(w->packtosave() == before);
        QCOMPARE(level(), 1);
        QCOMPARE(w->Edit2->text().trimmed(), QStringLiteral("Zwei"));
        w->Wiederherstellen1->trigger();
        QVERIFY(w->packtosave() == after);
        QCOMPARE(level(), shown);
        // The level's own history came along: next, its title edit and then
        // its stroke are undone.
        w->Rckgngig1->trigger();
        w->Rckgngig1->trigger();
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-002-------"));
        w->Rckgngig1->trigger();
        QCOMPARE(level(), 1);
        QCOMPARE(cell(6, 5), 0);
    }

    void nothingHappensAtTheEndsOrWithoutACopy() {
        tolevel(levelcount - 1); // every level stored back once
        tolevel(0);
        const LevelPack before = w->packtosave();
        w->Leveleinfgen1->trigger(); // nothing copied yet
        w->Levelnachvorne1->trigger();
        tolevel(levelcount - 1);
        w->Levelnachhinten1->trigger();
        QCOMPARE(level(), levelcount - 1);
        for (int n = 0; n < levelcount; ++n) QCOMPARE(w->history().canundo(n), n < 3);
        QVERIFY(w->packtosave() == before);
    }

    // The overview shows every level's thumbnail and title, follows a stroke
    // at once, chooses a level by a click and moves one by a drag, as one step.
    void overviewShowsChoosesAndMoves() {
        w->Levelbersicht1->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(w->overview));
        QWidget* grid = w->overview->grid;
        QCOMPARE(w->overview->windowTitle(), QString::fromUtf8("Levelübersicht"));
        const QRect r = w->overview->thumbrect(1);
        QImage img = shot(grid);
        QCOMPARE(img.pixel(r.left() - 2, r.center().y()), qRgb(255, 0, 0)); // the current level outlined
        const QRgb empty = img.pixel(r.left() + 30 * 3 + 1, r.top() + 15 * 3 + 1);
        paint(31, 16);
        QCoreApplication::processEvents();
        img = shot(grid);
        QVERIFY(img.pixel(r.left() + 30 * 3 + 1, r.top() + 15 * 3 + 1) != empty);
        QCOMPARE(w->overview->thumbnail(1), shot(grid).copy(r)); // what it shows is its thumbnail

        QTest::mouseClick(grid, Qt::LeftButton, {}, thumbcentre(40));
        QCOMPARE(level(), 40);
        QCOMPARE(w->Edit1->text(), QStringLiteral("41"));

        const LevelPack before = w->packtosave();
        QTest::mousePress(grid, Qt::LeftButton, {}, thumbcentre(2));
        QTest::mouseMove(grid, thumbcentre(2) + QPoint(20, 0));
        QTest::mouseMove(grid, thumbcentre(0));
        QTest::mouseRelease(grid, Qt::LeftButton, {}, thumbcentre(0));
        QCOMPARE(level(), 0);
        QCOMPARE(w->Edit2->text().trimmed(), QStringLiteral("Drei"));
        LevelPack want = before;
        moveslot(want, 2, 0);
        QVERIFY(w->packtosave() == want);
        w->Rckgngig1->trigger();
        QVERIFY(w->packtosave() == before);
        QCOMPARE(level(), 2);
    }

    // A right click, or the menu key on the focused thumbnail, offers the
    // level operations for that level; "einfügen" only once a level is
    // copied. The arrow keys move the focus frame and Return chooses.
    void menuAndKeysOfferTheOperations() {
        w->Levelbersicht1->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(w->overview));
        QWidget* grid = w->overview->grid;
        QStringList items;
        auto answer = [&](int pick) {
            QTimer::singleShot(0, [&items, pick] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!menu) return;
                items.clear();
                for (QAction* a : menu->actions())
                    if (!a->isSeparator()) items << a->text() + (a->isEnabled() ? "" : " (aus)");
                if (pick >= 0) menu->actions().at(pick)->trigger();
                menu->close();
            });
        };
        answer(2); // "Level leeren"
        QTest::mouseClick(grid, Qt::RightButton, {}, thumbcentre(0));
        QCOMPARE(items, (QStringList{"Level &kopieren", QString::fromUtf8("Level &einfügen (aus)"), "Level &leeren",
                                     "Level nach &vorne", "Level nach &hinten"}));
        QCoreApplication::processEvents();
        QCOMPARE(level(), 0);
        QVERIFY(w->packtosave()[0] == emptylevel(1));

        grid->setFocus();
        const int cols = w->overview->columns();
        for (auto key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left}) QTest::keyClick(grid, key);
        QCOMPARE(w->overview->focusslot(), 1 + cols);
        w->Levelkopieren1->trigger();
        answer(-1);
        QContextMenuEvent menukey(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(grid, &menukey);
        QCOMPARE(items.at(1), QString::fromUtf8("Level &einfügen"));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(level(), 1 + cols);
    }
};

QTEST_MAIN(LevelMenuTest)
#include "levelmenu_test.moc"
