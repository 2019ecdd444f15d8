// SPDX-License-Identifier: MIT
// What counts as unsaved, the quick save, the remembered view options, the
// names under the pointer and the keys in the overview window.
#include "fakedialogs.h"
#include "level/packfile.h"
#include "level/tilenames.h"
#include "document/viewsettings.h"
#include "ui/leveloverview.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolTip>

using namespace tess;
using namespace tess::test;

class FirstHourTest : public QObject, WindowFixture {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void paint(int col, int row) {
        const QPoint at((col - 1) * 32 + 16, (row - 1) * 32 + 16);
        QTest::mouseClick(w->levedit1->PaintBox1, Qt::LeftButton, {}, at);
    }
    void key(QWidget* to, Qt::Key k) { QTest::keyClick(to, k, Qt::ControlModifier); }
private slots:
    void init() { QVERIFY(w = shownwindow(dialogs)); }
    void cleanup() { w.reset(); }

    // Only the user's own edits make the pack changed: a pack written by
    // another program, with no border ring, a flag-0 switch and a title cut
    // by a zero byte, stays unchanged while its levels are looked at.
    void unsavedStateFollowsOnlyEdits_data() {
        QTest::addColumn<bool>("foreign");
        QTest::addColumn<QString>("actions"); // v visit 2 and back, e edit, u undo, s quick save
        QTest::addColumn<bool>("changed");
        for (auto [name, foreign, actions, changed] :
             {std::tuple{"visit levels of a new pack", false, "vv", false}, {"visit a foreign pack's level", true, "v", false},
              {"edit", true, "ve", true}, {"undo back", true, "evu", false}, {"edit and save", true, "es", false}})
            QTest::newRow(name) << foreign << QString::fromLatin1(actions) << changed;
    }
    void unsavedStateFollowsOnlyEdits() {
        QFETCH(bool, foreign);
        if (foreign) {
            auto pack = std::make_unique<LevelPack>();
            for (LevelRecord& rec : *pack) {
                rec[cellindex(5, 5)] = 13;
                const int pos = cellindex(5, 5) * 2;
                const std::uint8_t entry[] = {std::uint8_t(pos >> 8), std::uint8_t(pos & 0xFF), 0};
                std::copy(std::begin(entry), std::end(entry), rec.begin() + off_switches);
                rec[off_switchcount] = 1;
                rec[off_title] = 'A'; // then zero bytes
                rec[off_reserved1] = 0x55;
            }
            QVERIFY(writepack(path("fremd.pak"), *pack).ok);
            QVERIFY(w->openpack(path("fremd.pak")));
            QCOMPARE(cell(5, 5), 40);
        }
        QFETCH(QString, actions);
        for (QChar a : actions) {
            if (a == u'v') tolevel(1), tolevel(0);
            if (a == u'e') paint(7, 7);
            if (a == u'u') key(w->Edit1, Qt::Key_Z);
            if (a == u's') w->Speichern1->trigger();
        }
        QFETCH(bool, changed);
        QCOMPARE(w->packchanged(), changed);
        QVERIFY(dialogs.questions.isEmpty() && dialogs.savepresets.isEmpty());
    }

    // Strg+S writes the pack to the file it came from and asks nothing; a
    // new pack has no file, so it runs the save command with its dialog,
    // which offers the opened file once there is one.
    void quickSaveWritesTheOwnFile() {
        QVERIFY(writepack(path("eigen.pak"), LevelPack{}).ok);
        w->Speichern1->trigger();
        QCOMPARE(dialogs.savepresets.size(), 1);
        QVERIFY(w->openpack(path("eigen.pak")));
        paint(3, 3);
        key(w->Edit1, Qt::Key_S);
        LevelPack back{};
        QVERIFY(readpack(path("eigen.pak"), back).ok && back[0][cellindex(3, 3)] == 2);
        QVERIFY(dialogs.savepresets.size() == 1 && dialogs.questions.isEmpty());
        dialogs.saveanswers = {QString()};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(dialogs.savepresets.last(), path("eigen.pak"));
        // Another program wrote the file meanwhile: Strg+S asks first, and
        // "Nein" leaves both the file and the unsaved pack as they are.
        LevelPack other{};
        other[5][0] = 9;
        QVERIFY(writepack(path("eigen.pak"), other).ok);
        paint(4, 4);
        for (bool yes : {false, true}) {
            dialogs.yesnoanswers = {yes};
            key(w->Edit1, Qt::Key_S);
            QVERIFY(dialogs.questions.last().contains(QStringLiteral("von einem anderen Programm geändert")));
            QVERIFY(readpack(path("eigen.pak"), back).ok);
            QCOMPARE(back == other, !yes);
            QCOMPARE(w->packchanged(), !yes);
        }
    }

    // A file longer than a pack loads its first 170496 bytes and says how
    // many follow; Strg+S asks before it cuts them ("Nein" keeps the file),
    // and a file another program made longer counts as changed on disk.
    void longerFilesAreCutOnlyWhenAsked() {
        const auto grow = [&](qint64 by) {
            QFile f(path("lang.pak"));
            return f.open(QIODevice::Append) && f.write(QByteArray(by, 'x')) == by;
        };
        QVERIFY(writepack(path("lang.pak"), LevelPack{}).ok && grow(10));
        QVERIFY(w->openpack(path("lang.pak")));
        QVERIFY(dialogs.infos.last().contains(QStringLiteral("die folgenden 10 Bytes nicht")));
        paint(3, 3);
        for (bool yes : {false, true}) {
            dialogs.yesnoanswers = {yes};
            key(w->Edit1, Qt::Key_S);
            QVERIFY(dialogs.questions.last().contains(QStringLiteral("10 Bytes länger als ein Levelpack")));
            QCOMPARE(QFileInfo(path("lang.pak")).size(), yes ? packlen : packlen + 10);
        }
        QVERIFY(grow(5));
        paint(4, 4);
        dialogs.yesnoanswers = {false};
        key(w->Edit1, Qt::Key_S);
        QVERIFY(dialogs.questions.last().contains(QStringLiteral("von einem anderen Programm geändert")));
        QCOMPARE(QFileInfo(path("lang.pak")).size(), packlen + 5);
    }

    // The view options come back in the next window; a settings file of
    // garbage, or too large to be ours, gives the defaults.
    void viewOptionsAreRemembered() {
        w->usesettings(path("view.conf"));
        w->Gitter1->trigger();
        QVERIFY(w->levedit1->view().grid);
        w = shownwindow(dialogs);
        w->usesettings(path("view.conf"));
        QVERIFY(w->Gitter1->isChecked() && !w->Levelrand1->isChecked() && w->levedit1->view().grid);
        w->Gitter1->trigger();
        for (const QByteArray& bytes : {QByteArray("[view]\nedge=\x01\xff[[\ngrid=7\n"), QByteArray(70000, '['),
                                        QByteArray("[view]\nedge=true\n")}) {
            QFile f(path("s.ini"));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            f.close();
            QCOMPARE(readviewoptions(path("s.ini")), (ViewOptions{bytes.endsWith("true\n"), false}));
        }
    }

    // The palette and the level view name the tile under the pointer.
    void tooltipsNameTheTile() {
        setcell(2, 1, 4);
        for (auto [box, at, code] : {std::tuple<QWidget*, QPoint, int>{w->itemselect1->PaintBox1, {69, 21}, 1},
                                     {w->levedit1->PaintBox1, {37, 5}, 4}}) {
            QHelpEvent help(QEvent::ToolTip, at, box->mapToGlobal(at));
            QApplication::sendEvent(box, &help);
            QCOMPARE(QToolTip::text(), QString::fromStdString(tilelabel(code)));
        }
    }

    // Undo and redo also work while the overview window has the keyboard.
    void undoFromTheOverview() {
        paint(4, 4);
        w->Levelbersicht1->trigger();
        w->overview->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->overview));
        key(w->overview, Qt::Key_Z);
        QCOMPARE(cell(4, 4), 0);
        key(w->overview, Qt::Key_Y);
        QCOMPARE(cell(4, 4), 2);
    }
};

QTEST_MAIN(FirstHourTest)
#include "firsthour_test.moc"
