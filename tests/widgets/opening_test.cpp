// SPDX-License-Identifier: MIT
// Packs opened other than through the load dialog (the one named on the
// command line, a file dropped onto the window), and levels written to and
// read from Tiled maps.
#include "fakedialogs.h"
#include "level/levelmap.h"
#include "level/packfile.h"
#include "ui/editorstate.h"
#include "ui/utessaronedit.h"

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace tess;
using namespace tess::test;

class OpeningTest : public QObject, WindowFixture {
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void writefile(const char* name, const QByteArray& bytes) {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        LevelPack pack{};
        pack[0][cellindex(3, 3)] = 5;
        QVERIFY(writepack(path("gut.pak"), pack).ok);
        writefile("kurz.pak", QByteArray(1000, '\x07'));
    }
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
    }
    void cleanup() { w.reset(); }

    // A good file replaces the new pack; a missing or short one shows the
    // load command's error box and leaves the new pack.
    void openingAtStart_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("good");
        QTest::newRow("good") << QStringLiteral("gut.pak") << true;
        QTest::newRow("missing") << QStringLiteral("fehlt.pak") << false;
        QTest::newRow("short") << QStringLiteral("kurz.pak") << false;
    }
    void openingAtStart() {
        QFETCH(QString, file);
        QFETCH(bool, good);
        QCOMPARE(w->openpack(dir.filePath(file)), good);
        QCOMPARE(dialogs.errors.size(), good ? 0 : 1);
        if (!good) QVERIFY(dialogs.errors[0].contains(file));
        QCOMPARE(cell(3, 3), good ? 5 : 0);
        QCOMPARE(w->Edit2->text(), good ? QString() : QStringLiteral("-------LEVEL-001-------"));
        QVERIFY(!w->packchanged());
        QCOMPARE(w->OpenDialog1FileName, dir.filePath(file)); // offered by the load dialog next
    }

    // A dropped pack loads, asking first when the pack has changed.
    void droppedPackLoads() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path("gut.pak"))});
        auto drop = [&] {
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.get(), &event);
            QCoreApplication::processEvents();
        };
        setcell(4, 4, 9);
        dialogs.unsavedanswers = {SaveAnswer::cancel};
        drop();
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(cell(4, 4), 9);
        dialogs.unsavedanswers = {SaveAnswer::discard};
        drop();
        QCOMPARE(cell(3, 3), 5);
        QCOMPARE(cell(4, 4), 0);
    }

    // Export stores the level back and writes its record beside the tileset;
    // import replaces the level as one undo step, and
    // a rejected map changes nothing.
    void levelsGoToTiledAndBack() {
        setcell(5, 5, 41);
        setcell(6, 5, 4);
        w->Edit2->setText(QStringLiteral("Karte"));
        w->CheckBox1->setChecked(true);
        const LevelPack pack = w->state().store().levelpack;
        // The map dialogs start in the pack's folder.
        QVERIFY(QDir().mkpath(path("packs")));
        dialogs.saveanswers = {path("packs/p.pak"), path("neu/karte")}; // a folder not there yet is made
        dialogs.yesnoanswers = {false};
        w->Levelpackspeichern1->trigger();
        w->LevelnachTiledexportieren1->trigger();
        QCOMPARE(dialogs.savepresets.last(), path("packs/level001.tmx"));
        QVERIFY(QFile::exists(path("neu/tiles.tsx")) && QFile::exists(path("neu/tiles.png")));
        QVERIFY(QFile::rename(path("neu/karte.tmx"), path("karte.tmx")));
        const MapImport map = readlevelmap(path("karte.tmx"));
        QVERIFY2(map.ok, qPrintable(map.error));
        QCOMPARE(map.built.record, w->packtosave()[0]);
        LevelPack stored = pack;
        stored[0] = map.built.record;
        QCOMPARE(w->state().store().levelpack, stored);

        dialogs.unsavedanswers = {SaveAnswer::discard};
        w->NeuesLevelpack1->trigger();
        writefile("kaputt.tmx", "<map/>");
        dialogs.openanswers = {path("kaputt.tmx"), path("karte.tmx")};
        w->LevelausTiledimportieren1->trigger();
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].contains(QStringLiteral("kaputt.tmx")));
        QCOMPARE(dialogs.openpresets.first(), path("packs")); // the last map lies outside it
        QVERIFY(!w->Rckgngig1->isEnabled());
        w->LevelausTiledimportieren1->trigger();
        QCOMPARE(cell(5, 5), 41);
        QCOMPARE(w->Edit2->text().trimmed(), QStringLiteral("Karte"));
        QVERIFY(w->CheckBox1->isChecked());
        w->Rckgngig1->trigger();
        QCOMPARE(cell(5, 5), 0);
        QCOMPARE(w->Edit2->text(), QStringLiteral("-------LEVEL-001-------"));
        QVERIFY(!w->CheckBox1->isChecked());
        QVERIFY(!w->packchanged());
    }
};

QTEST_MAIN(OpeningTest)
#include "opening_test.moc"
