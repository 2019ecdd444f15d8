// SPDX-License-Identifier: MIT
// The "Testen" menu starting programs on the pack, the recent packs and the
// dialogs' folder remembered in a settings file, and that file read whatever
// it holds.
#include "fakedialogs.h"
#include "level/packfile.h"
#include "ui/commandcopies.h"
#include "ui/commanddialog.h"
#include "document/editorsettings.h"
#include "document/settingsfile.h"
#include "ui/runcommands.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tess;
using namespace tess::test;

namespace {

QByteArray slurp(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void spit(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

} // namespace

class TestCommandsTest : public QObject, WindowFixture {
    Q_OBJECT
    QTemporaryDir dir;
    QString conf;

    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void open() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        w->usesettings(conf);
    }
    QStringList recentshown() {
        QStringList out;
        for (QAction* a : w->Zuletztgeffnet1->actions())
            if (!a->isSeparator() && a->objectName() != QLatin1String("Listeleeren1")) out << a->text();
        return out;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        // Records its arguments, one a line, and the bytes of the pack it got.
        spit(path("record.sh"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + path("args").toUtf8() + "\"\ncat \"$1\" > \"" +
                                    path("got").toUtf8() + "\"\necho gelaufen\n");
        QFile::setPermissions(path("record.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(writepack(path("h.pak"), LevelPack{}).ok);
    }
    void init() {
        conf = dir.filePath(QStringLiteral("settings-%1.conf").arg(QTest::currentTestFunction()));
        QFile::remove(conf);
        open();
    }
    void cleanup() { w.reset(); }

    // %pack is exactly what "Levelpack speichern" writes, from the menu or
    // with F5, saved to the pack's own file first or as a temporary copy.
    void commandGetsThePack_data() {
        QTest::addColumn<bool>("savefirst");
        QTest::addColumn<bool>("f5");
        QTest::newRow("copy, menu") << false << false;
        QTest::newRow("copy, F5") << false << true;
        QTest::newRow("save first, menu") << true << false;
        QTest::newRow("save first, F5") << true << true;
    }
    void commandGetsThePack() {
        QFETCH(bool, savefirst);
        QFETCH(bool, f5);
        QFile::remove(path("got"));
        QFile::remove(path("own.pak"));
        dialogs.commandanswers = {{{QStringLiteral("Spielen"), path("record.sh"),
                                    QStringLiteral("%pack %level \"in %dir\" 'a b'"), QString(), QString(), savefirst}}};
        w->Befehlebearbeiten1->trigger();
        tolevel(2);
        setcell(4, 4, code_infotron);
        w->Edit2->setText(QStringLiteral("Probe"));
        dialogs.saveanswers = {path("own.pak")}; // the new pack has no file yet
        if (f5) {
            QVERIFY(QTest::qWaitForWindowActive(w.get()));
            QTest::keyClick(w.get(), Qt::Key_F5);
        } else {
            w->Testen1->actions().first()->trigger();
        }
        QTRY_VERIFY(QFile::exists(path("got")) && w->runner().running() == 0);
        const QByteArray got = slurp(path("got"));
        QCOMPARE(QFile::exists(path("own.pak")), savefirst);
        QCOMPARE(w->packchanged(), !savefirst);
        const QStringList args = QString::fromUtf8(slurp(path("args"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(args.size(), 4);
        QCOMPARE(args[0].startsWith(dir.path()), savefirst);
        QCOMPARE(args[1], QStringLiteral("3"));
        QCOMPARE(args[2], QStringLiteral("in ") + QFileInfo(args[0]).absolutePath());
        QCOMPARE(args[3], QStringLiteral("a b"));
        QVERIFY(w->runner().log->text().contains(QStringLiteral("gelaufen")));
        QVERIFY(!w->runner().log->isVisible());
        dialogs.saveanswers = {path("saved.pak")};
        w->Levelpackspeichern1->trigger();
        QCOMPARE(got.size(), packlen);
        QCOMPARE(got, slurp(path("saved.pak")));
        // A copy outlives its program, for a launcher that returns at once,
        // and goes with the editor.
        QCOMPARE(QFile::exists(args[0]), true);
        w.reset();
        QCOMPARE(QFile::exists(args[0]), savefirst);
    }

    // The next run of a command replaces its copy; a folder of copies whose
    // editor died goes when the next one starts, one still locked stays.
    void copiesLastUntilTheNextRun() {
        dialogs.commandanswers = {{{QStringLiteral("Spielen"), path("record.sh"), QStringLiteral("%pack"), {}, {}, false}}};
        w->Befehlebearbeiten1->trigger();
        QStringList packs;
        for (int i = 0; i < 2; ++i) {
            QFile::remove(path("args"));
            w->runcommand(0);
            QTRY_VERIFY(QFile::exists(path("args")) && w->runner().running() == 0);
            packs << QString::fromUtf8(slurp(path("args"))).trimmed();
        }
        QVERIFY(!QFile::exists(packs[0]) && QFile::exists(packs[1]));
        QVERIFY(packs[1].startsWith(w->runner().copies.folder() + QLatin1Char('/')));
        QTemporaryDir base;
        auto live = std::make_unique<CommandCopies>(base.path());
        QVERIFY(live->make()->isValid());
        QVERIFY(QDir(base.path()).mkpath(QStringLiteral("tessaronedit-run-dead00/copy-x")));
        CommandCopies next(base.path());
        QCOMPARE(QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QFileInfo(live->folder()).fileName()});
    }

    // A program that is not there: the error box names it. One that fails:
    // the log opens with its output and status. The pack stays as it was.
    void failingCommands() {
        dialogs.commandanswers = {{{QStringLiteral("Fehlt"), path("gibtsnicht"), QString(), QString(), QString(), false},
                                   {QStringLiteral("Scheitert"), QStringLiteral("/bin/sh"),
                                    QStringLiteral("-c \"echo kaputt; exit 3\""), QString(), QString(), false}}};
        w->Befehlebearbeiten1->trigger();
        setcell(5, 5, code_infotron);
        const LevelRecord level = s().store().curlevel;
        w->runcommand(0);
        QTRY_COMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].contains(path("gibtsnicht")));
        QVERIFY(!w->runner().log->isVisible());
        w->runcommand(1);
        QTRY_VERIFY(w->runner().log->isVisible());
        QTRY_COMPARE(w->runner().running(), 0);
        QVERIFY(w->runner().log->text().contains(QStringLiteral("kaputt")));
        QVERIFY(w->runner().log->text().contains(QStringLiteral("Status 3")));
        QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("„Scheitert“ beendet mit Status 3."));
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(s().store().curlevel == level);
        QVERIFY(w->packchanged());
    }

    // The menu after editing: numbered commands, F5 on the first, a taken
    // shortcut left off; stored and read back by the next window.
    void menuFollowsTheCommands() {
        QCOMPARE(w->Testen1->actions().first()->isEnabled(), false); // "Keine Befehle eingerichtet"
        dialogs.commandanswers = {{{QStringLiteral("A&B"), QStringLiteral("x"), {}, {}, QStringLiteral("Ctrl+Z"), false},
                                   {QStringLiteral("Zwei"), QStringLiteral("y"), {}, {}, QStringLiteral("Ctrl+J"), true}}};
        w->Befehlebearbeiten1->trigger();
        const QList<TestCommand> edited = w->settings().commands;
        w.reset();
        open();
        QCOMPARE(w->settings().commands, edited);
        QStringList texts, keys;
        for (QAction* a : w->Testen1->actions()) {
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            QStringList k;
            for (const QKeySequence& seq : a->shortcuts()) k << seq.toString(QKeySequence::PortableText);
            keys << k.join(QLatin1Char(' '));
        }
        QCOMPARE(texts, (QStringList{"&1 A&&B", "&2 Zwei", "-", "Ausgabe &anzeigen", "Befehle &bearbeiten..."}));
        QCOMPARE(keys, (QStringList{"F5", "Ctrl+J", "", "", ""}));
    }

    void argumentsSplitAndFilled_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("plain") << "-l %level  %pack" << QStringList{"-l", "7", "/p q/%level.pak"};
        QTest::newRow("quotes") << "\"a b\" 'c \"d' e\\ f" << QStringList{"a b", "c \"d", "e f"};
        QTest::newRow("escapes in double") << "\"x\\\"y\\\\z\\n\"" << QStringList{"x\"y\\z\\n"};
        QTest::newRow("glued, empty, unclosed") << "--dir=%dir/x '' \"rest of" << QStringList{"--dir=/p q/x", "", "rest of"};
        QTest::newRow("nothing") << " \t " << QStringList{};
    }
    void argumentsSplitAndFilled() {
        QFETCH(QString, typed);
        QFETCH(QStringList, words);
        QCOMPARE(expandarguments(typed, {QStringLiteral("/p q/%level.pak"), 7, QStringLiteral("/p q")}), words);
    }

    void commandDialogEdits() {
        CommandDialog d({{QStringLiteral("Eins"), QStringLiteral("p1"), {}, {}, {}, false}}, nullptr);
        QTest::mouseClick(d.add, Qt::LeftButton);
        QCOMPARE(d.list->currentRow(), 1);
        // "Durchsuchen..." starts at what the field holds; cancelled, it stays.
        QStringList asked;
        d.chooseprogram = [&](const QString& current) {
            asked << current;
            return asked.size() == 1 ? QString() : QStringLiteral("/opt/spiel/p2");
        };
        QTest::keyClicks(d.program, QStringLiteral("p"));
        for (int i = 0; i < 2; ++i) QTest::mouseClick(d.browse, Qt::LeftButton);
        QCOMPARE(asked, (QStringList{"p", "p"}));
        d.name->setText(QStringLiteral("Zwei"));
        d.savefirst->setChecked(true);
        QTest::mouseClick(d.up, Qt::LeftButton);
        QTest::mouseClick(d.add, Qt::LeftButton); // no program: left out
        const QList<TestCommand> out = d.commands();
        QCOMPARE(out.size(), 2);
        QCOMPARE(out[0], (TestCommand{QStringLiteral("Zwei"), QStringLiteral("/opt/spiel/p2"), {}, {}, {}, true}));
        QCOMPARE(out[1].name, QStringLiteral("Eins"));
        d.list->setCurrentRow(0);
        QTest::mouseClick(d.remove, Qt::LeftButton);
        QCOMPARE(d.commands().size(), 1);
    }

    // Loads and saves fill the list and the folder; the next window shows
    // them, says so when a file is gone and drops it, asks before it drops
    // unsaved work, and starts its dialogs in the last folder.
    void recentAcrossWindows() {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")) && QDir(dir.path()).mkpath(QStringLiteral("b")));
        for (int i = 0; i < 10; ++i) QVERIFY(writepack(path("a/%1.pak").replace(QLatin1String("%1"), QString::number(i)), LevelPack{}).ok);
        for (int i = 0; i < 10; ++i) {
            dialogs.openanswers = {dir.filePath(QStringLiteral("a/%1.pak").arg(i))};
            w->Levelpackladen1->trigger();
        }
        dialogs.saveanswers = {path("b/neu.pak")};
        w->Levelpackspeichern1->trigger();
        w.reset();
        QFile::remove(path("a/8.pak"));
        open();
        QCOMPARE(recentshown(), (QStringList{"&1 " + path("b/neu.pak"), "&2 " + path("a/9.pak"), "&3 " + path("a/8.pak"),
                                             "&4 " + path("a/7.pak"), "&5 " + path("a/6.pak"), "&6 " + path("a/5.pak"),
                                             "&7 " + path("a/4.pak"), "&8 " + path("a/3.pak")}));
        w->Levelpackladen1->trigger(); // cancelled
        QCOMPARE(dialogs.openpresets, QStringList{path("b")});
        setcell(3, 3, code_infotron);
        dialogs.unsavedanswers = {SaveAnswer::cancel, SaveAnswer::discard, SaveAnswer::discard};
        w->Zuletztgeffnet1->actions()[2]->trigger();
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY(dialogs.errors.isEmpty());
        w->Zuletztgeffnet1->actions()[2]->trigger();
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].contains(path("a/8.pak")));
        QCOMPARE(recentshown().size(), 7);
        w->Zuletztgeffnet1->actions()[3]->trigger(); // a/6.pak
        QCOMPARE(w->document().file(), path("a/6.pak"));
        QCOMPARE(recentshown()[0], "&1 " + path("a/6.pak"));
        w->Zuletztgeffnet1->actions().last()->trigger(); // "Liste leeren"
        w.reset();
        open();
        QVERIFY(recentshown().isEmpty());
    }

    // Two editors on one file, each opened before the other changed it, and
    // a hand edit between: every change survives, and the file, its lock and
    // the folder made for them are the user's alone.
    void twoEditorsShareTheFile() {
        conf = path("shared/s.conf");
        QDir(path("shared")).removeRecursively();
        QVERIFY(writepack(path("h2.pak"), LevelPack{}).ok);
        FakeDialogs other;
        auto b = shownwindow(other);
        for (TForm1* e : {w.get(), b.get()}) e->usesettings(conf);
        dialogs.commandanswers = {{{QStringLiteral("Eins"), QStringLiteral("p1"), {}, {}, {}, false}}};
        other.openanswers = {path("h.pak"), path("h2.pak")};
        const std::function<void()> steps[] = {
            [&] { w->Befehlebearbeiten1->trigger(); },
            [&] { b->Levelpackladen1->trigger(); },
            [&] { w->Gitter1->trigger(); },
            [&] { QSettings(conf, QSettings::IniFormat).setValue(QStringLiteral("hand/key"), 1); },
            [&] { b->Levelrand1->trigger(); },
            [&] { b->Levelpackladen1->trigger(); },
        };
        for (const auto& step : steps) step();
        EditorSettings want;
        want.commands = {{QStringLiteral("Eins"), QStringLiteral("p1"), {}, {}, {}, false}};
        want.recent = QStringList{path("h2.pak"), path("h.pak")};
        want.folder = dir.path();
        want.view = {true, true};
        QCOMPARE(SettingsFile(conf).read(), want);
        QCOMPARE(b->settings().commands.size(), 1);
        QCOMPARE(QSettings(conf, QSettings::IniFormat).value(QStringLiteral("hand/key")).toInt(), 1);
        const auto owner = QFile::ReadOwner | QFile::WriteOwner;
        for (auto [file, perms] : {std::pair{path("shared"), owner | QFile::ExeOwner}, {conf, owner}, {settingslock(conf), owner}})
            QCOMPARE(QFileInfo(file).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), perms);
    }

    // From the second start on, the window comes back as large as it was
    // and where it was.
    void windowComesBackWhereItWas() {
        const QRect first = w->geometry();
        const QRect moved(first.topLeft() + QPoint(40, 30), first.size() + QSize(120, 80));
        w->setGeometry(moved);
        QVERIFY(w->close());
        open();
        QCOMPARE(w->geometry(), moved);
    }

    // A recent pack that is no file any more: the error says what it is.
    void recentThatIsNoPack() {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("ordner")));
        QFile::remove(path("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        const QString paths[] = {path("ordner"), path("fifo"), path("weg.pak")};
        w.reset();
        spit(conf, QStringLiteral("[recent]\nsize=3\n1\\file=%1\n2\\file=%2\n3\\file=%3\n")
                       .arg(paths[0], paths[1], paths[2]).toUtf8());
        open();
        for (int i = 0; i < 3; ++i) w->Zuletztgeffnet1->actions().first()->trigger();
        QCOMPARE(dialogs.errors.size(), 3);
        const char* said[] = {"„%1“ ist ein Ordner;", "„%1“ ist keine normale Datei;", "„%1“ gibt es nicht mehr;"};
        for (int i = 0; i < 3; ++i) QVERIFY2(dialogs.errors[i].contains(QString::fromUtf8(said[i]).arg(paths[i])), qPrintable(dialogs.errors[i]));
        QVERIFY(SettingsFile(conf).read().recent.isEmpty());
    }

    // A settings file the editor cannot read: the status bar says what is
    // wrong with it, and changes leave it as it is.
    void unreadableSettingsSaySo_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << "folder" << "ist ein Ordner.";
        QTest::newRow("FIFO") << "fifo" << "ist keine normale Datei.";
        QTest::newRow("too large") << "large" << "ist größer als 256 KiB.";
        QTest::newRow("missing") << "none" << "";
    }
    void unreadableSettingsSaySo() {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        w.reset();
        conf = path("kinds/s.conf");
        QDir(path("kinds")).removeRecursively();
        QVERIFY(QDir(dir.path()).mkpath(kind == QLatin1String("folder") ? QStringLiteral("kinds/s.conf") : QStringLiteral("kinds")));
        if (kind == QLatin1String("fifo")) QCOMPARE(::mkfifo(QFile::encodeName(conf).constData(), 0600), 0);
        if (kind == QLatin1String("large")) spit(conf, QByteArray(maxsettingsbytes + 1, '#'));
        open();
        QCOMPARE(w->statusBar()->currentMessage(), said.isEmpty() ? said : QStringLiteral("Einstellungen nicht gelesen: „%1“ %2").arg(conf, said));
        w->Gitter1->trigger();
        QCOMPARE(QFileInfo(conf).isFile() && QFileInfo(conf).size() < 100, kind == QLatin1String("none"));
    }

    // A settings file as earlier versions wrote it, with Qt's own INI writer,
    // reads the same, whatever characters its texts hold.
    void settingsQtWrote() {
        const TestCommand odd{QStringLiteral(" @Prüfen; \"1\", 2 "), QStringLiteral("/opt/x=y/\\run\x01a"),
                              QStringLiteral("%pack\t\n%level 😀"), QStringLiteral("@@/tmp"), QStringLiteral("Ctrl+Ä"), true};
        EditorSettings values;
        values.commands = {odd};
        values.recent = {QStringLiteral("/home/ü/Übergröße – a, b.pak"), QStringLiteral("/p;q.pak")};
        values.folder = QStringLiteral("/home/ü ");
        values.view = {true, true};
        QFile::remove(conf);
        {
            QSettings qt(conf, QSettings::IniFormat);
            writesettings(qt, values);
        }
        QCOMPARE(SettingsFile(conf).read(), values);
    }

    // Whatever the file holds, the editor starts with what is good in it,
    // within the limits, and a file too large is left alone.
    void hostileSettings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("commands");
        QTest::addColumn<int>("recent");
        QByteArray many = "[recent]\nsize=2000000000\n";
        for (int i = 1; i <= 50; ++i) many += QByteArray::number(i) + "\\file=/p" + QByteArray::number(i % 12) + "\n";
        many += "[commands]\nsize=-5\n1\\program=a\n";
        QByteArray cmds = "[commands]\nsize=100\n";
        for (int i = 1; i <= 100; ++i) cmds += QByteArray::number(i) + "\\program=p\n";
        cmds += "3\\program=a, b\n"; // a list, not a text
        QTest::newRow("garbage") << QByteArray("\0\xff[[[\n=\\\\\n[recent]\n1\\file=rel/x\n", 33) << 0 << 0;
        QTest::newRow("long lists") << many << 0 << 8;
        QTest::newRow("commands") << cmds << maxcommands - 1 << 0; // of the first 20, one is bad
        QTest::newRow("huge count, bad entries") << QByteArray("[recent]\nsize=2147483647\n1\\file=rel\n2\\file=/a, /b\n") << 0 << 0;
        QTest::newRow("too large") << QByteArray(maxsettingsbytes + 1, '#') << 0 << 0;
        QTest::newRow("window, no base64") << QByteArray("[window]\ngeometry=@ByteArray(\\0)\n") << 0 << 0;
        QTest::newRow("typed value counting billions") // a string list of 0x66000000 entries, then /a once
            << QByteArray::fromBase64("W3JlY2VudF0Kc2l6ZT0yMTQ3NDgzNjQ3CjFcZmlsZT1yZWxhdGl2LnBhawoyXGZpbGU9L2EsIC9iCjNcZmlsZT0vYQo0XGZpbGU9L2EKW2NvbW1hbmRzXQpzaXplPS0xCjFccHJvZ3JhbT1AVmFyaWFudChcMFwwXDBcdmVmXDBcMFwwXHgxMykK")
            << 0 << 1;
        QTest::newRow("window, noise") << "[window]\ngeometry=" + QByteArray(90, '\x7f').toBase64() + "\n" << 0 << 0;
    }
    void hostileSettings() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, commands);
        QFETCH(int, recent);
        w.reset();
        spit(conf, bytes);
        open();
        QCOMPARE(w->settings().commands.size(), commands);
        QCOMPARE(w->settings().recent.size(), recent);
        QCOMPARE(w->frameGeometry(), QRect(145, 98, 544, 435)); // as at a first start
        dialogs.openanswers = {path("h.pak")};
        w->Levelpackladen1->trigger(); // remembered, unless the file is left alone
        QCOMPARE(w->settings().recent.first(), path("h.pak"));
        if (bytes.size() > maxsettingsbytes) QCOMPARE(slurp(conf), bytes);
    }
};

QTEST_MAIN(TestCommandsTest)
#include "testcommands_test.moc"
