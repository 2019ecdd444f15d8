// SPDX-License-Identifier: MIT
// The main window as a user meets it: start state, level navigator, property
// fields, zoom, menus, and the pack file commands through answered dialogs.
#include "fakedialogs.h"
#include "level/packfile.h"
#include "pixels.h"
#include "gui/germantexts.h"
#include "ui/helpwindow.h"
#include "ui/replacedialog.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/updown.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QStatusBar>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <tuple>

using namespace tess;
using namespace tess::test;

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class MainWindowTest : public QObject, WindowFixture {
    Q_OBJECT
    enum { unchanged, save, savecancelled, discard, cancel };
    QTemporaryDir dir;

    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void typeinto(QLineEdit* e, const QString& text) {
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void twelveswitches() {
        for (int k = 0; k < 12; ++k) setcell(2 + k, 3, 13);
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
    }
    void cleanup() { w.reset(); }

    void startState() {
        QCOMPARE(w->windowTitle(), QStringLiteral("Tessaron Level - Editor"));
        QCOMPARE(w->Edit1->text(), QStringLiteral("1"));
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-001-------"));
        QCOMPARE(w->Edit3->text(), QStringLiteral("0"));
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 000"));
        QCOMPARE(w->Label2->text(), QStringLiteral(" / 111"));
        QCOMPARE(w->Label3->text(), QStringLiteral("Inftrns."));
        QCOMPARE(w->CheckBox1->text(), QStringLiteral("Schwerkraft"));
        QVERIFY(!w->CheckBox1->isChecked());
        QCOMPARE(TForm1::picture(w->ToolButton1), 2);
        QCOMPARE(TForm1::picture(w->ToolButton2), 1);
        QCOMPARE(TForm1::picture(w->ToolButton4), 5);
        QCOMPARE(TForm1::picture(w->ToolButton5), 4);
        QCOMPARE(s().tiles.tilew, 32);
        QCOMPARE(s().leftitem, 2);
        QCOMPARE(s().rightitem, 0);
        QCOMPARE(s().layers().drawmode, drawtool);
        QCOMPARE(w->Edit2->maxLength(), 23);
        QVERIFY(w->Edit1->font().bold() && w->Label4->font().bold());
        // The level view shows the all-empty level 1.
        QCOMPARE(gridshot(shot(w->levedit1->PaintBox1), s()), expectedlevel(s()));
    }

    void windowCarriesTheProgramIcon() {
        const QIcon icon = w->windowIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {256, 256}}));
        QCOMPARE(icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_RGB32),
                 QImage(QStringLiteral(":/icons/tessaronedit-32.png")).convertToFormat(QImage::Format_RGB32));
    }

    void layoutAndNames() {
        for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5", "Label1", "Edit1",
                                 "UpDown1", "Label2", "Edit2", "Label3", "Edit3", "UpDown2", "Label4",
                                 "CheckBox1", "ToolBar1", "ToolButton1", "ToolButton2", "ToolButton3",
                                 "ToolButton4", "ToolButton5", "ToolButton6", "levedit1", "itemselect1",
                                 "Levelpackladen1", "Levelpackspeichern1", "NeuesLevelpack1",
                                 "Beenden1", "Kopieren1", "Einfgen1", "Lschen1", "Lschen2"})
            QVERIFY2(w->findChild<QObject*>(QString::fromLatin1(name)), name);
        QCOMPARE(w->pos(), QPoint(145, 98));
        QCOMPARE(w->frameGeometry().size(), QSize(544, 435));
        QCOMPARE(w->Panel1->width(), 136);
        QCOMPARE(w->Panel3->height(), 104);
        QCOMPARE(w->Panel2->height(), 40);
        QCOMPARE(w->itemselect1->width(), 130);
        QCOMPARE(w->itemselect1->cols, 2);
        QCOMPARE(w->ToolButton1->size(), QSize(32, 32));
        QCOMPARE(w->Edit1->geometry(), QRect(48, 4, 29, 21));
        QCOMPARE(w->UpDown2->geometry(), QRect(77, 52, 15, 21));
        // The level view takes what the window gains.
        const QSize before = w->levedit1->size();
        w->resize(w->size() + QSize(200, 100));
        QCoreApplication::processEvents();
        QCOMPARE(w->levedit1->size(), before + QSize(200, 100));
        QCOMPARE(w->Panel1->width(), 136);
        // Spinners take no focus; the tab order is checked with the focus.
        QCOMPARE(w->UpDown1->focusPolicy(), Qt::NoFocus);
    }

    void menusAsStored() {
        QVERIFY(installgermantexts());
        QCOMPARE(w->Datei1->title(), QStringLiteral("&Datei"));
        QCOMPARE(w->Bearbeiten1->title(), QStringLiteral("&Bearbeiten"));
        QStringList datei, bearbeiten, keys;
        for (QAction* a : w->Datei1->actions()) {
            datei << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QCOMPARE(a->shortcut().toString(QKeySequence::NativeText),
                     a == w->Speichern1 ? QStringLiteral("Strg+S") : QString());
        }
        for (QAction* a : w->Bearbeiten1->actions()) {
            bearbeiten << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QStringList k;
            for (const QKeySequence& seq : a->shortcuts()) k << seq.toString(QKeySequence::NativeText);
            if (!a->isSeparator()) keys << k.join(QLatin1Char(' '));
        }
        QCOMPARE(datei, (QStringList{"&Neues Levelpack", "&Levelpack laden", QString::fromUtf8("&Zuletzt geöffnet"),
                                     "&Speichern", "Le&velpack speichern", "-",
                                     "Level nach &Tiled exportieren...", "Level aus T&iled importieren...", "-",
                                     "B&eenden"}));

        QCOMPARE(bearbeiten, (QStringList{QString::fromUtf8("&Rückgängig"), "&Wiederherstellen", "-", "&Kopieren",
                                          QString::fromUtf8("&Einfügen"), "-", "&Ausschneiden",
                                          QString::fromUtf8("&Löschen"), "-", "&Gleiche Felder markieren",
                                          QString::fromUtf8("&Zusammenhängende markieren"), "Alles &markieren",
                                          QString::fromUtf8("Markierung &füllen"), "-",
                                          "Markierung links/rechts &spiegeln", "Markierung &oben/unten spiegeln", "-",
                                          "Erse&tzen..."}));
        QCOMPARE(keys, (QStringList{"Strg+Z", "Strg+Y Strg+Umschalt+Z", "Strg+C", "Strg+V", "Strg+X", "Entf",
                                    "Strg+G", "Strg+R", "Strg+A", "Strg+F", "", "", "Strg+H"}));
        QStringList level;
        for (QAction* a : w->Level1->actions()) level << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(level, (QStringList{"Level &kopieren", QString::fromUtf8("Level &einfügen"), "Level &leeren", "-",
                                     "Level nach &vorne", "Level nach &hinten", "-",
                                     QString::fromUtf8("Level&übersicht"), "-", "Level&statistik",
                                     QString::fromUtf8("Ersetzen in allen Leveln rück&gängig")}));
        QCOMPARE(w->Levelbersicht1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("F2"));
        // Ansicht between Bearbeiten and Level, both options off at first;
        // Testen after Level; Hilfe last.
        QStringList bar, ansicht, hilfe, testen;
        for (QAction* a : w->menuBar()->actions()) bar << a->text();
        QCOMPARE(bar, (QStringList{"&Datei", "&Bearbeiten", "&Ansicht", "&Level", "&Testen", "&Hilfe"}));
        for (QAction* a : w->Ansicht1->actions()) {
            ansicht << a->text();
            QVERIFY(a->isCheckable() && !a->isChecked());
        }
        for (QAction* a : w->Hilfe1->actions()) hilfe << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(ansicht, (QStringList{"&Levelrand", "&Gitter"}));
        QCOMPARE(hilfe, (QStringList{"&Kurzanleitung", "-", QString::fromUtf8("Ü&ber Tessaron Level - Editor")}));
        QCOMPARE(w->Kurzanleitung1->shortcut().toString(QKeySequence::NativeText), QStringLiteral("F1"));
        for (QAction* a : w->Testen1->actions()) testen << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(testen, (QStringList{"Keine Befehle eingerichtet", "-", "Ausgabe &anzeigen", "Befehle &bearbeiten..."}));
        testen.removeFirst(); // no access key: it cannot be chosen
        for (const QStringList& menu : {bar, datei, bearbeiten, ansicht, level, testen, hilfe}) {
            QString keys;
            for (const QString& caption : menu)
                if (caption != QLatin1String("-")) keys += caption.at(caption.indexOf(QLatin1Char('&')) + 1).toLower();
            for (QChar k : keys) QCOMPARE(keys.count(k), 1);
        }
    }

    void steppingStoresBackThenSelects() {
        setcell(5, 5, 4);
        w->Edit2->setText(QStringLiteral("Erste"));
        QTest::mouseClick(w->UpDown1->findChild<QToolButton*>(QStringLiteral("up")), Qt::LeftButton);
        QCOMPARE(s().store().levelnr, 1);
        QCOMPARE(w->Edit1->text(), QStringLiteral("2"));
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-002-------"));
        const LevelRecord& one = s().store().levelpack[0];
        for (int col = 0; col < gridcols; ++col) QCOMPARE(one[cellindex(col, 0)], code_border);
        QCOMPARE(one[cellindex(5, 5)], code_infotron);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(one.data()) + off_title, titlelen),
                 QByteArray("Erste                  "));
        // Back with the Down key in the field.
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(s().store().levelnr, 0);
        QCOMPARE(w->Edit2->text(), QStringLiteral("Erste                  "));
        QCOMPARE(w->Label4->text(), QStringLiteral(" / 001"));
    }

    void declinedSwitchLimitKeepsTheLevel() {
        twelveswitches();
        dialogs.yesnoanswers = {false};
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions[0].startsWith(QStringLiteral("In einem Level können maximal 11")));
        QCOMPARE(s().store().levelnr, 0);
        QCOMPARE(w->Edit1->text(), QStringLiteral("1"));
        QCOMPARE(s().store().levelpack[0][cellindex(2, 3)], 0); // nothing was stored
        dialogs.yesnoanswers = {true};
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 1);
        QCOMPARE(s().store().levelpack[0][off_switchcount], 11);
    }

    // A held arrow or key with 12 switches: one question, however long it is
    // held, also while the question is open, and only the answered step runs.
    void heldStepAsksOnce_data() {
        QTest::addColumn<bool>("key");
        QTest::addColumn<bool>("yes");
        QTest::newRow("arrow, Nein") << false << false;
        QTest::newRow("arrow, Ja") << false << true;
        QTest::newRow("Up key, Ja") << true << true;
    }
    void heldStepAsksOnce() {
        QFETCH(bool, key);
        QFETCH(bool, yes);
        w->setdialogs(nullptr); // the real message box, with its own event loop
        twelveswitches();
        const LevelPack before = s().store().levelpack;
        auto* arrow = w->UpDown1->findChild<QToolButton*>(QStringLiteral("up"));
        auto repeats = [](QWidget* to) {
            for (int i = 0; i < 3; ++i) {
                QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
                QApplication::sendEvent(to, &repeat);
            }
        };
        int boxes = 0;
        QTimer::singleShot(0, [&] {
            QTest::qWait(800); // long past the arrow's repeat delay
            if (key) repeats(w->Edit1);
            for (QWidget* top : QApplication::topLevelWidgets()) boxes += qobject_cast<QMessageBox*>(top) && top->isVisible();
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (key) { // the held key's repeats reach the question; Return still answers its default
                repeats(QApplication::focusWidget());
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            } else if (box) {
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            }
            w->setdialogs(&dialogs); // a later question would be recorded, not block
        });
        if (key) QTest::keyPress(w->Edit1, Qt::Key_Up);
        else QTest::mousePress(arrow, Qt::LeftButton);
        QCOMPARE(boxes, 1);
        if (key) repeats(w->Edit1);
        QTest::qWait(600); // the arrow, still held, must not start repeating again
        if (key) QTest::keyRelease(w->Edit1, Qt::Key_Up);
        else QTest::mouseRelease(arrow, Qt::LeftButton);
        QCOMPARE(dialogs.questions.size(), 0);
        QCOMPARE(s().store().levelnr, yes ? 1 : 0);
        QCOMPARE(w->Edit1->text(), yes ? QStringLiteral("2") : QStringLiteral("1"));
        for (int i = 1; i < levelcount; ++i) QCOMPARE(s().store().levelpack[i], before[i]);
        QCOMPARE(s().store().levelpack[0][off_switchcount], yes ? 11 : 0);
        // A fresh press steps again.
        dialogs.yesnoanswers = {true};
        if (key) QTest::keyClick(w->Edit1, Qt::Key_Up);
        else QTest::mouseClick(arrow, Qt::LeftButton);
        QCOMPARE(s().store().levelnr, yes ? 2 : 1);
    }

    // A typed number is taken when a store-back or a step reads it, not
    // keystroke by keystroke, however often the unsaved state and the
    // journal look at the field meanwhile.
    void typedNumbersAreTakenWhenRead() {
        QTest::keyClick(w->Edit3, Qt::Key_Up);
        QTest::keyClick(w->Edit3, Qt::Key_Up);
        w->Edit3->selectAll();
        for (const QChar c : QStringLiteral("300")) { // passes 3 and 30 on the way
            QTest::keyClicks(w->Edit3, QString(c));
            QVERIFY(w->document().changed());
        }
        typeinto(w->Edit1, QStringLiteral("150")); // passes 1 and 15
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 1);
        QCOMPARE(s().store().levelpack[0][off_infotrons], 2);
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(w->Edit3->text(), QStringLiteral("2"));
    }

    // Return in the level field goes to the typed level as a step would;
    // a number left there shows the level on screen again on leaving it.
    void returnGoesToTheTypedLevel_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // with 12 switches on level 1: 0 no, 1 yes; -1 none
        QTest::addColumn<int>("shown");
        for (auto [typed, answer, shown] : {std::tuple{"7", -1, 7}, {"1", -1, 1}, {"0", -1, 1}, {"112", -1, 1},
                                            {"sieben", -1, 1}, {"7", 0, 1}, {"7", 1, 7}})
            QTest::addRow("%s, %d", typed, answer) << QString::fromLatin1(typed) << answer << shown;
    }
    void returnGoesToTheTypedLevel() {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(int, shown);
        if (answer >= 0) twelveswitches(), dialogs.yesnoanswers = {answer == 1};
        typeinto(w->Edit1, typed);
        QTest::keyClick(w->Edit1, Qt::Key_Return);
        QCOMPARE(dialogs.questions.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(s().store().levelnr, shown - 1);
        QCOMPARE(w->Edit1->text(), QString::number(shown));
        QCOMPARE(s().store().levelpack[0][cellindex(2, 3)], answer == 1 ? code_port_first : 0); // stored back when yes
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->Edit1->setFocus();
        typeinto(w->Edit1, QStringLiteral("3"));
        w->Edit3->setFocus();
        QCOMPARE(w->Edit1->text(), QString::number(shown));
    }

    // The status bar says what file commands and a replace did, beside the
    // pack's file name and its unsaved state.
    void statusBarSaysWhatHappened() {
        auto* state = w->statusBar()->findChild<QLabel*>(QStringLiteral("packstate"));
        auto says = [&](const char* line, const char* shown) {
            QTRY_COMPARE(state->text(), QString::fromUtf8(shown));
            QCOMPARE(w->statusBar()->currentMessage(), QString::fromUtf8(line));
        };
        setcell(3, 3, 4);
        says("", "Neues Levelpack – geändert");
        dialogs.saveanswers = {path("p.dat"), QString()}; // the level list: cancelled
        w->Levelpackspeichern1->trigger();
        says("Gespeichert: p.dat", "p.dat");
        w->Levelkopieren1->trigger();
        says("Level 1 kopiert", "p.dat");
        dialogs.saveanswers = {path("m/level001.tmx")};
        w->Edit2->setText(QStringLiteral("Neu"));
        w->LevelnachTiledexportieren1->trigger();
        says("Exportiert: Level 1 nach level001.tmx", "p.dat – geändert");
        w->Speichern1->trigger();
        dialogs.openanswers = {path("m/level001.tmx")};
        w->LevelausTiledimportieren1->trigger();
        says("Importiert: level001.tmx in Level 1", "p.dat"); // the same cells again
        w->Ersetzen1->trigger();
        auto* d = w->findChild<ReplaceDialog*>();
        d->RadioButton2->setChecked(true), d->ComboBox1->setCurrentIndex(4), d->ComboBox2->setCurrentIndex(0);
        d->Button1->click();
        says("Ersetzt: 1 Feld", "p.dat – geändert");
    }

    void focusStaysInTheFields() {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), w->Edit1);
        const QList<QWidget*> cycle{w->Edit2, w->Edit3, w->CheckBox1, w->Edit1};
        for (QWidget* next : cycle) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (QWidget* surface : {static_cast<QWidget*>(w->levedit1->PaintBox1),
                                 static_cast<QWidget*>(w->itemselect1->PaintBox1)})
            QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(QApplication::focusWidget(), w->Edit1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 1);
    }

    void textsShowWhole() {
        QCOMPARE(QFontInfo(w->Edit2->font()).family(), QStringLiteral("Liberation Sans"));
        for (QWidget* t : {static_cast<QWidget*>(w->Label1), static_cast<QWidget*>(w->Label2),
                           static_cast<QWidget*>(w->Label3), static_cast<QWidget*>(w->Label4),
                           static_cast<QWidget*>(w->CheckBox1)})
            QVERIFY2(t->sizeHint().width() <= t->width(), qPrintable(t->objectName()));
        // The whole title fits: showing its end scrolls nothing.
        w->Edit2->setCursorPosition(0);
        const QImage start = shot(w->Edit2);
        w->Edit2->setCursorPosition(titlelen);
        QCOMPARE(shot(w->Edit2), start);
    }

    void spinnerStopsAtBothEnds() {
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(w->Edit1->text(), QStringLiteral("1"));
        QCOMPARE(s().store().levelnr, 0);
        typeinto(w->Edit1, QStringLiteral("111"));
        QCOMPARE(s().store().levelnr, 0); // typing alone never switches
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 0); // no wrap from 111 to 1
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(s().store().levelnr, 109);
        QCOMPARE(w->Edit1->text(), QStringLiteral("110"));
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 110);
        QCOMPARE(w->Edit1->text(), QStringLiteral("111"));
    }

    void typedNumberIsWhereTheNextStepStarts() {
        typeinto(w->Edit1, QStringLiteral("50"));
        QCOMPARE(s().store().levelnr, 0);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 50);
        QCOMPARE(w->Edit1->text(), QStringLiteral("51"));
        typeinto(w->Edit1, QStringLiteral("x"));
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(s().store().levelnr, 49); // a field without a number steps from the position
    }

    void infotronsNeededFieldAndSpinner() {
        QTest::keyClick(w->Edit3, Qt::Key_Up);
        QTest::keyClick(w->Edit3, Qt::Key_Up);
        QCOMPARE(w->Edit3->text(), QStringLiteral("2"));
        QTest::keyClick(w->Edit3, Qt::Key_Down);
        QTest::keyClick(w->Edit3, Qt::Key_Down);
        QTest::keyClick(w->Edit3, Qt::Key_Down);
        QCOMPARE(w->Edit3->text(), QStringLiteral("0"));
        typeinto(w->Edit3, QStringLiteral("255"));
        QTest::keyClick(w->Edit3, Qt::Key_Up);
        QCOMPARE(w->Edit3->text(), QStringLiteral("255"));
        w->Edit3->setText(QStringLiteral("300")); // out of range: the spinner keeps 255
        w->CheckBox1->setChecked(true);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelpack[0][off_infotrons], 255);
        QCOMPARE(s().store().levelpack[0][off_gravity], 1);
        QVERIFY2(!w->CheckBox1->isChecked(), "level 2 has no gravity");
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(w->Edit3->text(), QStringLiteral("255"));
        QVERIFY(w->CheckBox1->isChecked());
    }

    void titleMapsToLatinOne() {
        w->Edit2->setText(QString::fromUtf8("Größe €"));
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(s().store().levelpack[0].data()) + off_title, 8),
                 QByteArray("Gr\xF6\xDF" "e ? "));
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(w->Edit2->text().left(7), QString::fromUtf8("Größe ?"));
    }

    void zoomStepsThroughTheFiveSizes() {
        const int sizes[] = {48, 48, 32, 24, 16, 12, 12};
        void (TForm1::*steps[])() = {&TForm1::ToolButton4Click, &TForm1::ToolButton4Click,
                                     &TForm1::ToolButton5Click, &TForm1::ToolButton5Click,
                                     &TForm1::ToolButton5Click, &TForm1::ToolButton5Click,
                                     &TForm1::ToolButton5Click};
        setcell(3, 3, markbit | 4);
        const int colsat[] = {1, 1, 2, 2, 4, 6, 6};
        for (int i = 0; i < 7; ++i) {
            (w.get()->*steps[i])();
            QCoreApplication::processEvents();
            QCOMPARE(s().tiles.tilew, sizes[i]);
            QCOMPARE(s().tiles.tileh, sizes[i]);
            QCOMPARE(w->itemselect1->cols, colsat[i]);
            QCOMPARE(w->levedit1->PaintBox1->minimumSize(), QSize(58 * sizes[i], 22 * sizes[i]));
            const QImage img = shot(w->levedit1->PaintBox1);
            QCOMPARE(cellshot(img, s(), 3, 3), cellpicture(s(), 4, true));
        }
        QTest::mouseClick(w->ToolButton4, Qt::LeftButton);
        QCOMPARE(s().tiles.tilew, 16);
    }

    void germanTexts() {
        QVERIFY(installgermantexts());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Nein"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    }

    void saveWritesThePackAndOffersTheLevelList() {
        setcell(10, 10, 41);
        const QString pack = path("eins.pak"), list = path("eins.lst");
        dialogs.saveanswers = {pack, list};
        dialogs.yesnoanswers = {true};
        w->Levelpackspeichern1->trigger();
        // The list is offered under the pack's name; the pack file is its own.
        QCOMPARE(dialogs.savepresets, (QStringList{QString(), list}));
        QCOMPARE(dialogs.saveowns, (QStringList{QString(), pack}));
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.questions[0].startsWith(QStringLiteral("Levelliste erzeugen?\n\nDie Levelliste ist")));
        QCOMPARE(dialogs.savecaptions, (QStringList{"Levelpack speichern", "Levelliste speichern"}));
        QVERIFY(dialogs.errors.isEmpty());
        const QByteArray bytes = slurp(pack);
        QCOMPARE(bytes.size(), packlen);
        QCOMPARE(bytes[cellindex(0, 0)], char(6));
        QCOMPARE(bytes[cellindex(10, 10)], char(14));
        QCOMPARE(bytes[off_switchcount], char(1));
        const QByteArray l = slurp(list);
        QCOMPARE(l.size(), listlen);
        QCOMPARE(l.left(28), QByteArray("---------LEVEL-001---------\0", 28));
        QCOMPARE(cell(10, 10), 41); // the working level keeps its editor codes

        // The pack dialog remembers the pack, not the list; "no" skips the
        // list. A pack without a suffix gets the list's appended.
        const QString bare = path("drei");
        dialogs.saveanswers = {bare, QString()};
        dialogs.yesnoanswers = {true};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(dialogs.savepresets.mid(2), (QStringList{pack, path("drei.lst")}));
        QCOMPARE(dialogs.saveowns.mid(2), (QStringList{pack, bare}));
    }

    void levelListOverThePackAsksFirst() {
        const QString pack = path("zwei.pak");
        dialogs.saveanswers = {pack, pack};
        dialogs.yesnoanswers = {true}; // the list question; the overwrite question takes its default
        w->Levelpackspeichern1->trigger();
        QCOMPARE(dialogs.questions.size(), 2);
        QVERIFY(dialogs.questions[1].contains(QStringLiteral("zwei.pak")));
        QCOMPARE(dialogs.defaults[1], false);
        QCOMPARE(slurp(pack).size(), packlen);
        dialogs.saveanswers = {pack, pack};
        dialogs.yesnoanswers = {true, true};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(slurp(pack).size(), listlen);
    }

    void declinedSwitchLimitCancelsTheSaveBeforeAnyDialog() {
        twelveswitches();
        dialogs.yesnoanswers = {false};
        dialogs.saveanswers = {path("nie.pak")};
        w->Levelpackspeichern1->trigger();
        QVERIFY(dialogs.savepresets.isEmpty());
        QVERIFY(!QFile::exists(path("nie.pak")));
    }

    void failedSaveIsReportedAndNoListIsOffered() {
        const QString bad = path("fehlt/x.pak");
        dialogs.saveanswers = {bad};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].contains(QStringLiteral("x.pak")));
        QVERIFY(dialogs.questions.isEmpty());
        // A cancelled dialog writes nothing and reports nothing.
        dialogs.saveanswers = {QString()};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(dialogs.errors.size(), 1);
    }

    void loadReplacesThePackAndShowsLevelOne() {
        const QString pack = path("drei.pak");
        setcell(7, 7, 42);
        w->CheckBox1->setChecked(true);
        dialogs.saveanswers = {pack};
        dialogs.yesnoanswers = {false};
        w->Levelpackspeichern1->trigger();
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        setcell(8, 8, 5); // an edit to level 3 that the load drops
        dialogs.unsavedanswers = {SaveAnswer::discard};
        dialogs.openanswers = {pack};
        w->Levelpackladen1->trigger();
        QCOMPARE(dialogs.openpresets, QStringList{dir.path()}); // the folder the pack was saved to
        QCOMPARE(s().store().levelnr, 0);
        QCOMPARE(w->Edit1->text(), QStringLiteral("1"));
        QCOMPARE(cell(7, 7), 42);
        QVERIFY(w->CheckBox1->isChecked());
        QCOMPARE(s().store().levelpack[2][cellindex(8, 8)], 0);
        QTest::keyClick(w->Edit1, Qt::Key_Down);
        QCOMPARE(s().store().levelnr, 0);
        QTest::keyClick(w->Edit1, Qt::Key_Up);
        QCOMPARE(s().store().levelnr, 1);
    }

    void failedLoadKeepsPackAndWorkingLevel() {
        QFile shortfile(path("kurz.pak"));
        QVERIFY(shortfile.open(QIODevice::WriteOnly));
        shortfile.write(QByteArray(1000, '\x07'));
        shortfile.close();
        setcell(4, 4, 9);
        dialogs.unsavedanswers = {SaveAnswer::discard, SaveAnswer::discard, SaveAnswer::discard};
        const LevelPack before = s().store().levelpack;
        for (const char* name : {"kurz.pak", "fehlt.pak"}) {
            dialogs.openanswers = {path(name)};
            w->Levelpackladen1->trigger();
            QVERIFY(dialogs.errors.last().contains(QString::fromLatin1(name)));
            QCOMPARE(s().store().levelpack, before);
            QCOMPARE(cell(4, 4), 9);
        }
        QCOMPARE(dialogs.openpresets.last(), path("kurz.pak"));
        dialogs.openanswers = {QString()};
        w->Levelpackladen1->trigger();
        QCOMPARE(dialogs.errors.size(), 2);
    }

    // Closing, a new pack and loading ask before unsaved work is dropped, and
    // only then; "Speichern" saves first and goes on only if the save did.
    void unsavedWorkIsAskedFor_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        for (const char* c : {"close", "new", "load"})
            for (int answer : {unchanged, save, savecancelled, discard, cancel})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(c)).arg(answer)))
                    << QString::fromLatin1(c) << answer;
    }
    void unsavedWorkIsAskedFor() {
        QFETCH(QString, command);
        QFETCH(int, answer);
        auto packwith = [&](const char* name, std::uint8_t code) {
            auto pack = std::make_unique<LevelPack>();
            (*pack)[0][cellindex(3, 3)] = code;
            QVERIFY(writepack(path(name), *pack).ok);
        };
        packwith("vorher.pak", 5);
        packwith("nachher.pak", 7);
        QVERIFY(w->openpack(path("vorher.pak")));
        // A pack with a file is saved into it at once; only a new pack asks
        // for a name, which can be cancelled.
        if (answer == savecancelled) {
            w->NeuesLevelpack1->trigger();
            setcell(3, 3, 5);
        }
        if (answer != unchanged) setcell(4, 4, 9);
        const QString saved = path("vorher.pak");
        const SaveAnswer given[] = {SaveAnswer::save, SaveAnswer::save, SaveAnswer::save, SaveAnswer::discard,
                                    SaveAnswer::cancel};
        dialogs.unsavedanswers = {given[answer]};
        dialogs.saveanswers = {QString()};
        dialogs.yesnoanswers = {false}; // no level list
        dialogs.openanswers = {path("nachher.pak")};
        if (command == QLatin1String("close")) w->Beenden1->trigger();
        else if (command == QLatin1String("new")) w->NeuesLevelpack1->trigger();
        else w->Levelpackladen1->trigger();

        QCOMPARE(dialogs.questions.filter(QStringLiteral("Das Levelpack wurde geändert")).size(),
                 answer == unchanged ? 0 : 1);
        QCOMPARE(slurp(saved)[cellindex(4, 4)], char(answer == save ? 9 : 0));
        QCOMPARE(dialogs.savepresets.size(), answer == savecancelled ? 1 : 0);
        const bool goeson = answer == unchanged || answer == save || answer == discard;
        QCOMPARE(w->isVisible(), !goeson || command != QLatin1String("close"));
        if (!goeson || command == QLatin1String("close")) {
            QCOMPARE(cell(3, 3), 5);
        } else {
            QCOMPARE(cell(3, 3), command == QLatin1String("new") ? 0 : 7);
            QCOMPARE(cell(4, 4), 0);
            QVERIFY(!w->packchanged());
        }
    }

    // The guide closes without a window manager: Escape, Strg+W, its button.
    // It is the desktop's: the Testen commands, none of the browser's lines.
    void guideClosesFromTheKeyboard() {
        const QString md = HelpWindow::guidemarkdown();
        QVERIFY(md.contains(QStringLiteral("### Testen")) && md.contains(QStringLiteral("| 43 |")));
        QVERIFY(!md.contains(QStringLiteral("Im Browser")) && !md.contains(QStringLiteral("<!--")));
        for (int way = 0; way < 3; ++way) {
            w->Kurzanleitung1->trigger();
            QApplication::setActiveWindow(w->guide); // the offscreen platform leaves that to a window manager
            if (way == 0) w->guide->closebutton->click();
            else QTest::keySequence(QApplication::focusWidget(), way == 2 ? QKeySequence(Qt::Key_Escape) : QKeySequence(Qt::CTRL | Qt::Key_W));
            QVERIFY2(!w->guide->isVisible(), qPrintable(QString::number(way)));
        }
        QVERIFY(w->guide->screen()->availableGeometry().size().expandedTo(w->guide->size()) ==
                w->guide->screen()->availableGeometry().size()); // its button within reach, also at ratio 2
    }

    void unsavedQuestionHasQtsButtons() {
        QVERIFY(installgermantexts());
        w->setdialogs(nullptr);
        setcell(4, 4, 9);
        // Every answer has an access key; "Speichern" is the default.
        QStringList texts;
        bool savedefault = false;
        auto answer = [&](const QString& with) {
            QTimer::singleShot(0, [&, with] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                texts.clear();
                for (QAbstractButton* b : box->buttons()) texts << b->text();
                texts.sort();
                savedefault = box->defaultButton() && box->defaultButton()->text() == QStringLiteral("&Speichern");
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == with) b->click();
            });
        };
        answer(QStringLiteral("&Abbrechen"));
        QVERIFY(!w->close());
        QCOMPARE(texts, (QStringList{"&Abbrechen", "&Speichern", "&Verwerfen"}));
        QVERIFY(savedefault);
        answer(QStringLiteral("&Verwerfen"));
        QVERIFY(w->close());
        QCOMPARE(w->windowTitle(), QStringLiteral("Tessaron Level - Editor"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
