// SPDX-License-Identifier: MIT
// From the main window: cells and levels between windows, the region mark's
// pointed cell, the replace dialog (its counts, its undo across the pack, its
// place), the statistics and the shortcuts.
#include "fakedialogs.h"
#include "edit/clipformat.h"
#include "ui/levelstats.h"
#include "ui/replacedialog.h"
#include "ui/ulevedit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tess;
using namespace tess::test;

class EditCommandsTest : public QObject, WindowFixture {
    Q_OBJECT

    void paint(int col, int row, int code) {
        s().leftitem = code;
        w->levedit1->PaintBox1MouseDown(Button::left, false, (col - 1) * 32, (row - 1) * 32);
        w->levedit1->PaintBox1MouseUp();
    }
    int marked() {
        return int(std::count_if(s().store().curlevel.begin(), s().store().curlevel.begin() + cellcount,
                                 [](std::uint8_t b) { return b & markbit; }));
    }

    WindowFixture b; // a second window, as another editor process would be
    void other() {
        b.w = std::make_unique<TForm1>();
        b.w->setdialogs(&b.dialogs);
    }
private slots:
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        w->activateWindow();
    }
    void cleanup() { w.reset(); }

    // Cut in one window pastes in place, marked, in another; taken over
    // once, so a later change of the own clipboard is what pastes next. A
    // level copied in one window pastes at level 7 of the other.
    void cellsAndLevelsGoToAnotherWindow() {
        other();
        QVERIFY(!b.w->Einfgen1->isEnabled()); // nothing anywhere to paste
        setcell(4, 3, markbit | 4);
        setcell(6, 5, markbit | 2);
        w->Lschen2->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Tessaron-Zellen 1 Spalte 4 Zeile 3\n04 .. ..\n.. .. ..\n.. .. 02\n"));
        b.w->Einfgen1->trigger();
        QCOMPARE(b.cell(4, 3), markbit | 4);
        QCOMPARE(b.s().layers().clipboard, s().layers().clipboard);
        for (WindowFixture* f : {static_cast<WindowFixture*>(this), &b}) {
            Layer clip = f->s().layers().clipboard;
            clip[cellindex(4, 3)] = markbit | 7;
            f->s().doc.setclipboard(clip);
            f->w->Einfgen1->trigger();
            QCOMPARE(f->cell(4, 3), markbit | 7);
        }
        setcell(10, 10, 4);
        w->Edit2->setText(QStringLiteral("Eins"));
        QVERIFY(!b.w->Leveleinfgen1->isEnabled());
        w->Levelkopieren1->trigger();
        b.tolevel(6);
        b.w->Leveleinfgen1->trigger();
        QCOMPARE(b.cell(10, 10), 4);
        QCOMPARE(b.w->packtosave()[6], w->packtosave()[0]);
        // The text form alone, as a browser leaves it, pastes the same.
        QGuiApplication::clipboard()->setText(QString::fromStdString(leveltext(w->packtosave()[0])).replace("\n", "\r\n"));
        b.tolevel(8);
        b.w->Leveleinfgen1->trigger();
        QCOMPARE(b.w->packtosave()[8], w->packtosave()[0]);
        Layer clip;
        clip.fill(emptyclip);
        clip[cellindex(9, 9)] = markbit | 5;
        QGuiApplication::clipboard()->setText(QString::fromStdString(cellstext(clip)));
        b.w->Einfgen1->trigger();
        QCOMPARE(b.cell(9, 9), markbit | 5);
    }

    // Another program's text and broken blocks paste nothing: greyed out.
    void brokenClipboardDataIsNotPasted() {
        other();
        Layer clip;
        clip.fill(emptyclip);
        clip[cellindex(2, 2)] = markbit | 4;
        const auto one = encodecells(clip);
        const QByteArray c(reinterpret_cast<const char*>(one.data()), qsizetype(one.size())), cells("application/x-tessaron-cells"), level("application/x-tessaron-level");
        const LevelPack before = b.w->packtosave();
        for (auto [format, bytes] : {std::pair{QByteArray("text/plain"), c}, {cells, c.chopped(1)}, {cells, c + 'x'},
                                     {cells, QByteArray(c).replace(4, 1, "\x02")}, {cells, QByteArray(c).replace(5, 1, "\x3C")},
                                     {cells, QByteArray(c).replace(9, 1, "\x04")}, {level, c},
                                     {level, QByteArray("TSLV\x01") + QByteArray(reclen - 1, 0)}}) {
            auto* data = new QMimeData;
            data->setData(QString::fromLatin1(format), bytes);
            QGuiApplication::clipboard()->setMimeData(data);
            QVERIFY(!b.w->Einfgen1->isEnabled() && !b.w->Leveleinfgen1->isEnabled());
            b.w->Einfgen1Click(); // as a shortcut arriving anyway would
            b.w->Leveleinfgen1Click();
            QCOMPARE(b.w->packtosave(), before);
        }
    }

    // Chosen from the menu, the region mark takes the cell the pointer left
    // for it (here (3, 3), in the region of 0 bounded by a wall of 5 in
    // column 6); before the pointer was over any cell, it is greyed out.
    void regionMarkTakesTheLastPointedCell() {
        QVERIFY(!w->Zusammenhngendemarkieren1->isEnabled());
        for (int r = 1; r <= 22; ++r) paint(6, r, 5);
        QTest::mouseMove(w->levedit1->PaintBox1, QPoint(2 * 32 + 5, 2 * 32 + 5));
        QVERIFY(w->Zusammenhngendemarkieren1->isEnabled());
        QCursor::setPos(0, 0); // off the window, as over an open menu
        w->Zusammenhngendemarkieren1->trigger();
        QCOMPARE(marked(), 5 * 22);
    }

    // Strg+A belongs to a field's text while the user types in it, and to the
    // level once the user has worked in the level view.
    void selectAllFollowsTheKeyRouting() {
        w->Edit2->setFocus();
        QTest::keyClicks(w->Edit2, QStringLiteral("x"));
        QTest::keyClick(w->Edit2, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(marked(), 0);
        QCOMPARE(w->Edit2->selectedText(), w->Edit2->text());
        QTest::mouseClick(w->levedit1->PaintBox1, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(w->Edit2, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(marked(), 1276);
    }

    // A replace across the pack changes every level holding the tile, one
    // step in each; the dialog's "Rückgängig" gives back the pack image.
    // Once a level has changed since, the Level menu's item refuses. The
    // shown level's marks stay through the replace, its undo and redo.
    void replaceAcrossThePack() {
        for (int slot : {0, 4, 110}) {
            tolevel(slot);
            paint(10, 10, 9);
            paint(11, 10, 9);
        }
        tolevel(4);
        setcell(3, 3, cell(3, 3) | markbit);
        setcell(11, 10, cell(11, 10) | markbit);
        const LevelPack before = w->packtosave();
        s().rightitem = 11; // not offered: the replacement is always chosen
        w->Ersetzen1->trigger();
        ReplaceDialog* d = w->findChild<ReplaceDialog*>();
        QVERIFY(d && d->isVisible());
        QCOMPARE(d->ComboBox2->currentIndex(), -1);
        QVERIFY(!d->Button1->isEnabled());
        QCOMPARE(d->Label1->text(), QStringLiteral("Wählen Sie, wodurch ersetzt wird."));
        d->ComboBox2->setCurrentIndex(11);
        d->RadioButton3->setChecked(true);
        QCOMPARE(d->Label1->text(), QStringLiteral("Es werden 6 Felder in 3 Leveln geändert."));
        QCOMPARE(w->packtosave(), before);
        d->Button1->click();
        const LevelPack after = w->packtosave();
        for (int slot : {0, 4, 110}) {
            QCOMPARE(after[slot][cellindex(10, 10)], 11);
            QVERIFY(std::holds_alternative<ReplaceStep>(*w->history().top(slot))); // one step in each
        }
        // Strg+Z, Strg+Y, then the dialog's "Rückgängig".
        for (auto [step, code] : {std::pair{w->Rckgngig1, 11}, {w->Wiederherstellen1, 9}, {nullptr, 11}}) {
            QCOMPARE(cell(11, 10), markbit | code);
            QCOMPARE(marked(), 2);
            step ? step->trigger() : d->Button2->click();
        }
        QCOMPARE(w->packtosave(), before);
        QCOMPARE(cell(11, 10), markbit | 9);
        QCOMPARE(marked(), 2);
        d->Button3->click();

        w->Ersetzen1->trigger();
        d->ComboBox2->setCurrentIndex(11);
        d->RadioButton3->setChecked(true);
        d->Button1->click();
        d->Button3->click();
        tolevel(110);
        paint(20, 20, 3);
        w->Ersetzenrckgngig1->trigger();
        QCOMPARE(dialogs.errors.size(), 1);
        QCOMPARE(w->packtosave()[0][cellindex(10, 10)], 11);
        // A new pack has no replace to take back.
        d->Button1->click();
        QVERIFY(w->Ersetzenrckgngig1->isEnabled());
        dialogs.unsavedanswers = {SaveAnswer::discard};
        w->NeuesLevelpack1->trigger();
        QVERIFY(!w->Ersetzenrckgngig1->isEnabled());
    }

    // Strg+H finds the tile under the pointer, or the left button's when the
    // pointer is off the level, each listed by its name.
    void replaceFindsThePointedTile() {
        paint(3, 3, 8);
        s().leftitem = 2;
        const QPoint over = w->levedit1->PaintBox1->mapToGlobal(QPoint(2 * 32 + 5, 2 * 32 + 5));
        for (auto [at, code] : {std::pair{over, 8}, {QPoint(0, 0), 2}}) {
            QCursor::setPos(at);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier);
            ReplaceDialog* d = w->findChild<ReplaceDialog*>();
            QVERIFY(d && d->isVisible());
            QCOMPARE(d->ComboBox1->currentIndex(), code);
            QVERIFY(d->ComboBox1->currentText().endsWith(code == 8 ? u"Diskette" : u"Platine"));
            d->reject();
        }
    }

    // The dialog opens beside the marks, not over them, even when they lie
    // where it would otherwise open: over the middle of the window.
    void replaceKeepsClearOfTheMarks() {
        QWidget* view = w->levedit1->PaintBox1;
        const QPoint middle = view->mapFromGlobal(w->mapToGlobal(w->rect().center()));
        const int m = w->levedit1->margin(), col = (middle.x() - m) / 32 + 1,
                  row = (middle.y() - m) / 32 + 1;
        for (int c = col - 2; c <= col + 2; ++c)
            for (int r = row - 1; r <= row + 1; ++r) setcell(c, r, cell(c, r) | markbit);
        const QRect marks(view->mapToGlobal(QPoint(m + (col - 3) * 32, m + (row - 2) * 32)),
                          QSize(5 * 32, 3 * 32));
        w->Ersetzen1->trigger();
        ReplaceDialog* d = w->findChild<ReplaceDialog*>();
        QVERIFY(d && d->isVisible());
        QVERIFY(!d->frameGeometry().intersects(marks));
    }

    void statisticsShowTheCounts() {
        paint(3, 3, 4);
        paint(4, 3, 4);
        w->Edit3->setText(QStringLiteral("5"));
        w->Levelstatistik1->trigger();
        LevelStats* st = w->findChild<LevelStats*>();
        QVERIFY(st && st->isVisible());
        QCOMPARE(st->shown(4), 2);
        QCOMPARE(st->shown(0), 1274);
        QCOMPARE(st->shown(6), -1);
        QCOMPARE(st->shownname(4), QStringLiteral("Infotron"));
        QCOMPARE(st->Label2->text(), QStringLiteral("Infotrons: 2 gezählt, 5 benötigt"));
        st->close();
        w->Allesmarkieren1->trigger(); // the counter counts no marked infotron; the table still shows them
        w->Levelstatistik1->trigger();
        QCOMPARE(st->shown(4), 2);
        QCOMPARE(st->Label2->text(), QStringLiteral("Infotrons: 0 gezählt, 5 benötigt\n2 weitere markiert, vom Zähler nicht mitgezählt"));
        st->close();
        // Forty kinds of tile still fit the screen, the table scrolling if need be.
        for (int code = 1; code <= 40; ++code) paint(1 + code % 20, 6 + code / 20, code);
        w->Levelstatistik1->trigger();
        QCOMPARE(st->shown(40), 1);
        QVERIFY(st->screen()->availableGeometry().contains(st->frameGeometry()));
    }

    // No two actions of the window share a shortcut.
    void shortcutsAreUnique() {
        QSet<QKeySequence> seen;
        for (QAction* a : w->findChildren<QAction*>())
            for (const QKeySequence& k : a->shortcuts()) {
                QVERIFY2(!seen.contains(k), qPrintable(k.toString()));
                seen.insert(k);
            }
        QVERIFY(seen.size() >= 13);
    }
};

QTEST_MAIN(EditCommandsTest)
#include "editcommands_test.moc"
