// SPDX-License-Identifier: MIT
// Mouse strokes and selection commands on the real main window, driven with
// QTest mouse events and checked by what the level view shows.
#include "fakedialogs.h"
#include "level/packfile.h"
#include "pixels.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace tess;
using namespace tess::test;

class EditingTest : public QObject, WindowFixture {
    Q_OBJECT
    QWidget* box = nullptr;

    int tile() { return s().tiles.tilew; }
    // The middle of cell (col, row) on the paint surface.
    QPoint at(int col, int row) { return {(col - 1) * tile() + tile() / 2, (row - 1) * tile() + tile() / 2}; }
    void press(Qt::MouseButton b, QPoint p, Qt::KeyboardModifiers m = {}) { QTest::mousePress(box, b, m, p); }
    void move(QPoint p) { QTest::mouseMove(box, p); }
    void release(Qt::MouseButton b, QPoint p) { QTest::mouseRelease(box, b, {}, p); }
    void drag(Qt::MouseButton b, QPoint from, QPoint to, Qt::KeyboardModifiers m = {}) {
        press(b, from, m);
        move(to);
        release(b, to);
    }
    // What the view shows equals an independent rendering of the layers.
    bool showsthelayers() {
        const QImage img = shot(box);
        return gridshot(img, s()) == expectedlevel(s());
    }
    void pick(Qt::MouseButton b, int code) {
        const int t = tile(), p = 3 * t / 2, cols = w->itemselect1->cols;
        QTest::mouseClick(w->itemselect1->PaintBox1, b, {},
                          QPoint(t / 2 + p * (code % cols) + 1, t / 2 + p * (code / cols) + 1));
    }

private slots:
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        box = w->levedit1->PaintBox1;
    }
    void cleanup() { w.reset(); }

    void paintedRectangleShowsAndLands() {
        press(Qt::LeftButton, at(10, 5));
        QCOMPARE(cellshot(shot(box), s(), 10, 5), cellpicture(s(), 2, false));
        move(at(3, 8));
        QVERIFY(showsthelayers());
        QCOMPARE(cell(3, 8), 0); // not yet in the level
        release(Qt::LeftButton, at(3, 8));
        for (int row = 1; row <= 22; ++row)
            for (int col = 1; col <= 58; ++col)
                QCOMPARE(cell(col, row), (col >= 3 && col <= 10 && row >= 5 && row <= 8) ? 2 : 0);
        QVERIFY(showsthelayers());
        // Right button with a code picked in the palette; the counter follows.
        pick(Qt::RightButton, 4);
        drag(Qt::RightButton, at(20, 10), at(22, 10));
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 003"));
        QVERIFY(showsthelayers());
    }

    void pixelsLeftOfTheContentMapToColumnOneThenZero() {
        press(Qt::LeftButton, at(2, 3));
        move(QPoint(-5, at(2, 3).y()));
        release(Qt::LeftButton, QPoint(-5, at(2, 3).y()));
        QCOMPARE(cell(1, 3), 2);
        QCOMPARE(cell(0, 3), 0);
        // A right-button rectangle past the edge clamps like the left one.
        drag(Qt::RightButton, at(2, 5), QPoint(-tile() - 1, -3 * tile()));
        QCOMPARE(cell(0, 0), 0);
        pick(Qt::RightButton, 7);
        drag(Qt::RightButton, at(2, 5), QPoint(-tile() - 1, -3 * tile()));
        QCOMPARE(cell(0, 0), 7);
        QCOMPARE(cell(2, 5), 7);
        // Past the right and bottom edges the stroke stops at column 58 and row 22.
        drag(Qt::LeftButton, at(57, 21), QPoint(100 * tile(), 100 * tile()));
        QCOMPARE(cell(58, 22), 2);
        QCOMPARE(cell(59, 22), 0);
        QCOMPARE(cell(58, 23), 0);
        QVERIFY(showsthelayers());
    }

    void releaseAnywhereEndsEveryStroke() {
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
            press(b, at(30, 10));
            release(b, QPoint(-500, 5000));
            QVERIFY(!s().doc.stroking());
        }
        QCOMPARE(cell(30, 10), 2); // the middle button painted leftitem last
    }

    void markStrokeShowsInverted() {
        drag(Qt::LeftButton, at(5, 5), at(12, 9)); // something to mark
        QTest::mouseClick(w->ToolButton2, Qt::LeftButton);
        QCOMPARE(TForm1::picture(w->ToolButton1), 0);
        QCOMPARE(TForm1::picture(w->ToolButton2), 3);
        press(Qt::LeftButton, at(4, 4));
        move(at(7, 6));
        QVERIFY(showsthelayers());
        QCOMPARE(cellshot(shot(box), s(), 6, 6), cellpicture(s(), 2, true));
        release(Qt::LeftButton, at(7, 6));
        QCOMPARE(cell(6, 6), markbit | 2);
        QCOMPARE(cellshot(shot(box), s(), 6, 6), cellpicture(s(), 2, true));
        QCOMPARE(cellshot(shot(box), s(), 8, 6), cellpicture(s(), 2, false));
        // With Ctrl the marks add up; without, a new mark stroke replaces them.
        drag(Qt::LeftButton, at(10, 8), at(11, 8), Qt::ControlModifier);
        QCOMPARE(cell(6, 6), markbit | 2);
        QCOMPARE(cell(11, 8), markbit | 2);
        drag(Qt::LeftButton, at(20, 20), at(20, 20));
        QCOMPARE(cell(6, 6), 2);
        QCOMPARE(cell(20, 20), markbit | 0);
        QVERIFY(showsthelayers());
    }

    void selectionDragShowsWhileInProgressAndAfter() {
        pick(Qt::LeftButton, 24);
        drag(Qt::LeftButton, at(5, 5), at(7, 6));
        QTest::mouseClick(w->ToolButton2, Qt::LeftButton);
        drag(Qt::LeftButton, at(5, 5), at(7, 6)); // mark the block
        press(Qt::LeftButton, at(6, 5));
        move(at(16, 9)); // offset +10, +4
        QVERIFY(showsthelayers());
        const QImage during = shot(box);
        QCOMPARE(cellshot(during, s(), 15, 9), cellpicture(s(), 24, true));
        QCOMPARE(cellshot(during, s(), 5, 5), cellpicture(s(), 0, false)); // source emptied
        release(Qt::LeftButton, at(16, 9));
        QVERIFY(showsthelayers());
        QCOMPARE(cell(15, 9), markbit | 24);
        QCOMPARE(cell(17, 10), markbit | 24);
        QCOMPARE(cell(7, 6), 0);
        // A right-button drag copies: unmarked originals stay.
        drag(Qt::RightButton, at(15, 9), at(15, 15));
        QCOMPARE(cell(15, 9), 24);
        QCOMPARE(cell(15, 15), markbit | 24);
        QVERIFY(showsthelayers());
    }

    void doubleClickCountsAsTwoClicks() {
        drag(Qt::LeftButton, at(8, 8), at(9, 8));
        QTest::mouseClick(w->ToolButton2, Qt::LeftButton);
        drag(Qt::LeftButton, at(30, 1), at(40, 10)); // marks elsewhere
        // A double-click arrives as press, release, double-click, release.
        QTest::mouseClick(box, Qt::LeftButton, {}, at(8, 8));
        QTest::mouseDClick(box, Qt::LeftButton, {}, at(8, 8));
        QTest::mouseRelease(box, Qt::LeftButton, {}, at(8, 8));
        int marked = 0;
        for (auto b : s().store().curlevel) marked += (b & markbit) != 0;
        QCOMPARE(marked, 1);
        QCOMPARE(cell(8, 8), markbit | 2);
        QCOMPARE(s().layers().clipboard[cellindex(8, 8)], markbit | 2);
        QCOMPARE(s().layers().clipboard[cellindex(9, 8)], emptyclip);
    }

    void pressBeyondTheGridDoesNothing() {
        w->ToolButton5->click();
        w->ToolButton5->click();
        w->ToolButton5->click(); // tile size 12: the view is larger than the grid
        w->resize(1000, 500);
        QCoreApplication::processEvents();
        QVERIFY(box->width() > 58 * 12);
        drag(Qt::LeftButton, QPoint(58 * 12 + 3, 10), QPoint(10, 10));
        QCOMPARE(s().store().curlevel, LevelRecord(w->state().store().levelpack[0]));
        QVERIFY(showsthelayers());
    }

    // A whole session as a user works: paint, mark, drag, cut, go to level 2,
    // paste, save, load again, and compare the pack's bytes with the work.
    void editSaveLoadRoundTrip() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        pick(Qt::LeftButton, 4);
        drag(Qt::LeftButton, at(3, 3), at(6, 4));          // infotrons at 3..6 x 3..4
        pick(Qt::RightButton, 14);
        drag(Qt::RightButton, at(10, 10), at(10, 10));     // a port
        pick(Qt::LeftButton, 41);
        drag(Qt::LeftButton, at(11, 10), at(11, 10));      // a flag-0 port
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 008"));
        QTest::mouseClick(w->ToolButton2, Qt::LeftButton);
        drag(Qt::LeftButton, at(3, 3), at(4, 4));           // mark four infotrons
        drag(Qt::LeftButton, at(3, 3), at(23, 13));         // move them by +20, +10
        w->Lschen2->trigger();                              // cut them
        QVERIFY(showsthelayers());
        QCOMPARE(cell(23, 13), 0);
        QTest::keyClick(w->Edit1, Qt::Key_Up);              // level 2
        w->Einfgen1->trigger();                             // paste there
        QCOMPARE(cell(23, 13), markbit | 4);
        QVERIFY(showsthelayers());
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 000")); // marked infotrons do not count
        QTest::mouseClick(w->ToolButton1, Qt::LeftButton);  // unmark: they count again
        QCOMPARE(cell(23, 13), 4);
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 008"));
        QVERIFY(showsthelayers());

        const QString file = dir.filePath(QStringLiteral("runde.pak"));
        dialogs.saveanswers = {file};
        dialogs.yesnoanswers = {false};
        w->Levelpackspeichern1->trigger();
        QVERIFY(dialogs.errors.isEmpty());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.size(), packlen);
        auto byte = [&](int level, int col, int row) { return quint8(bytes[level * reclen + cellindex(col, row)]); };
        QCOMPARE(byte(0, 5, 3), 4);        // untouched infotrons in level 1
        QCOMPARE(byte(0, 3, 3), 0);        // moved away
        QCOMPARE(byte(0, 23, 13), 0);      // cut
        QCOMPARE(byte(0, 10, 10), 14);
        QCOMPARE(byte(0, 11, 10), 14);     // 41 stored as 14 ...
        QCOMPARE(quint8(bytes[off_switchcount]), 2);
        QCOMPARE(quint8(bytes[off_switches + 2]), 1);
        QCOMPARE(quint8(bytes[off_switches + 6 + 2]), 0); // ... with flag 0
        QCOMPARE(byte(1, 23, 13), 4);      // pasted into level 2
        QCOMPARE(byte(1, 24, 14), 4);
        QCOMPARE(byte(1, 0, 0), 6);
        QCOMPARE(byte(2, 0, 0), 0);        // level 3 was never stored

        dialogs.openanswers = {file};
        w->Levelpackladen1->trigger();
        QCOMPARE(cell(11, 10), 41);
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 004"));
        QVERIFY(showsthelayers());
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
