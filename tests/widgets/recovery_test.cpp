// SPDX-License-Identifier: MIT
// The recovery journal: it follows every change and goes when the work is
// safe; a journal left by an editor that died is offered to the next one,
// which restores it, drops it or keeps it for later; an unreadable one is
// kept aside; and with no place to write, editing and saving go on.
#include "fakedialogs.h"
#include "level/journalfile.h"
#include "level/levelmap.h"
#include "level/packfile.h"
#include "ui/leveloverview.h"
#include "ui/replacedialog.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <QElapsedTimer>
#include <QLockFile>

#include <linux/capability.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <memory>

using namespace tess;
using namespace tess::test;

using JournalAct = std::function<void(TForm1&, FakeDialogs&)>;
Q_DECLARE_METATYPE(JournalAct)

// The window answers within a second; the sanitizers make every step several
// times slower, so there the same work gets five.
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 answerlimit = 5000;
#else
constexpr qint64 answerlimit = 1000;
#endif
// Permission checks as a user meets them, also when the tests run as root:
// this thread gives up overriding them while it lives.
struct AsUser {
    __user_cap_header_struct head{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{}, data[2]{};
    AsUser() {
        syscall(SYS_capget, &head, saved);
        data[0] = saved[0], data[1] = saved[1];
        data[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH | 1u << CAP_FOWNER);
        syscall(SYS_capset, &head, data);
    }
    ~AsUser() { syscall(SYS_capset, &head, saved); }
};

class RecoveryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString folder() const { return dir->filePath(QStringLiteral("recovery")); }
    QString pack() const { return dir->filePath(QStringLiteral("a.pak")); }
    QStringList journals() const { return QDir(folder()).entryList({QStringLiteral("*.journal")}, QDir::Files); }
    Journal onlyjournal() const {
        const JournalRead r = readjournal(QDir(folder()).filePath(journals().value(0)));
        return r.journal;
    }

    std::unique_ptr<TForm1> editor(FakeDialogs& d, QList<RecoverAnswer> answers = {}) {
        auto w = shownwindow(d);
        d.recoveranswers = answers;
        w->document().journaldelay = 20;
        w->startrecovery(folder());
        return w;
    }
    static void paint(TForm1& w, int col, int row) {
        w.levedit1->PaintBox1MouseDown(Button::left, false, (col - 1) * 32, (row - 1) * 32);
        w.levedit1->PaintBox1MouseUp();
    }
    // An editor on a.pak with unsaved work on level 3, killed: its journal
    // stays. Levels 1 and 2 were stored back on the way and differ too.
    LevelPack crashed() {
        FakeDialogs d;
        auto w = editor(d);
        w->opencommandline(pack());
        w->UpDown1->step(1), w->UpDown1->step(1);
        paint(*w, 7, 7);
        w->Edit2->setText(QStringLiteral("Gerettet"));
        const LevelPack image = w->packtosave();
        [&] { QTRY_VERIFY(!journals().isEmpty() && *onlyjournal().pack == image); }();
        return image; // the window goes without a close event, as in a crash
    }

private slots:

    // Every command that changes the pack reaches the journal, whichever
    // level it changes, and so do its undo and redo: after each, the
    // journal holds exactly what saving would write, or is gone when that
    // equals the file again, and the unsaved state says the same.
    void everyChangeReachesTheJournal_data() {
        using Act = JournalAct;
        QTest::addColumn<Act>("act");
        QTest::addColumn<QString>("undo"); // "": none; otherwise the action that takes it back
        const auto trigger = [](QAction* TForm1::*a) { return [a](TForm1& w, FakeDialogs&) { (w.*a)->trigger(); }; };
        const auto marked = [](QAction* TForm1::*a) {
            return [a](TForm1& w, FakeDialogs&) { w.Allesmarkieren1->trigger(), (w.*a)->trigger(); };
        };
        const auto replace = [](std::uint8_t from, ReplaceScope scope) {
            return [from, scope](TForm1& w, FakeDialogs&) {
                if (scope == ReplaceScope::marked) w.Allesmarkieren1->trigger();
                w.replacer().replace(from, 0, scope);
            };
        };
        const QString z = QStringLiteral("Rckgngig1");
        QTest::newRow("Strich") << Act([](TForm1& w, FakeDialogs&) { paint(w, 5, 5); }) << z;
        QTest::newRow("Markierung füllen") << Act(marked(&TForm1::Markierungfllen1)) << z;
        QTest::newRow("Spiegeln") << Act(marked(&TForm1::Markierunglinksrechtsspiegeln1)) << z;
        QTest::newRow("Löschen") << Act(marked(&TForm1::Lschen1)) << z;
        QTest::newRow("Ausschneiden") << Act(marked(&TForm1::Lschen2)) << z;
        QTest::newRow("Ersetzen markiert") << Act(replace(4, ReplaceScope::marked)) << z;
        QTest::newRow("Ersetzen Level") << Act(replace(4, ReplaceScope::level)) << z;
        QTest::newRow("Ersetzen alle Level") << Act(replace(2, ReplaceScope::pack)) << QStringLiteral("Ersetzenrckgngig1");
        QTest::newRow("Level leeren") << Act(trigger(&TForm1::Levelleeren1)) << z;
        QTest::newRow("Level nach hinten") << Act(trigger(&TForm1::Levelnachhinten1)) << z;
        QTest::newRow("Level einfügen") << Act([](TForm1& w, FakeDialogs&) {
            w.Levelkopieren1->trigger();
            w.UpDown1->step(1);
            w.Leveleinfgen1->trigger();
        }) << z;
        QTest::newRow("Übersicht ziehen") << Act([](TForm1& w, FakeDialogs&) { w.overview->moved(1, 4); }) << z;
        QTest::newRow("Karte importieren") << Act([this](TForm1& w, FakeDialogs& d) {
            LevelRecord rec = w.packtosave()[0];
            rec[cellindex(9, 9)] = 5;
            QVERIFY(writelevelmap(dir->filePath(QStringLiteral("k.tmx")), rec).ok);
            d.openanswers = {dir->filePath(QStringLiteral("k.tmx"))};
            w.LevelausTiledimportieren1->trigger();
        }) << z;
        QTest::newRow("Titel") << Act([](TForm1& w, FakeDialogs&) { w.Edit2->setText(QStringLiteral("Neu")); }) << QString();
        QTest::newRow("Infotrons") << Act([](TForm1& w, FakeDialogs&) { w.Edit3->setText(QStringLiteral("9")); }) << QString();
        QTest::newRow("Schwerkraft") << Act([](TForm1& w, FakeDialogs&) { w.CheckBox1->setChecked(true); }) << QString();
        QTest::newRow("Levelwechsel mit Schaltern") << Act([](TForm1& w, FakeDialogs& d) {
            LevelCells cells = tilesof(w.state().store().curlevel);
            for (int i = 0; i < 12; ++i) cells[cellindex(3 + i, 20)] = 13;
            w.state().doc.setcells(cells);
            d.yesnoanswers = {true};
            w.UpDown1->step(1);
        }) << QString();
    }
    void everyChangeReachesTheJournal() {
        using Act = JournalAct;
        QFETCH(Act, act);
        QFETCH(QString, undo);
        LevelPack p{};
        p[1][cellindex(10, 10)] = 2; // only level 2 holds tile 2
        p[0][cellindex(4, 4)] = 4;
        QVERIFY(writepack(pack(), p).ok);
        FakeDialogs d;
        auto w = editor(d);
        QVERIFY(w->opencommandline(pack()));
        const auto journaled = [&](bool changed) {
            QCOMPARE(w->packchanged(), changed);
            const LevelPack image = w->packtosave();
            if (changed) QTRY_VERIFY_WITH_TIMEOUT(journals().size() == 1 && *onlyjournal().pack == image, 1000);
            else QTRY_VERIFY_WITH_TIMEOUT(journals().isEmpty(), 1000);
        };
        act(*w, d);
        journaled(true);
        if (undo.isEmpty()) return;
        w->findChild<QAction*>(undo)->trigger();
        journaled(false);
        if (undo != QLatin1String("Rckgngig1")) return;
        w->Wiederherstellen1->trigger();
        journaled(true);
    }
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        LevelPack p{};
        QVERIFY(writepack(pack(), p).ok);
    }

    // Each change is in the journal within moments; saving, discarding,
    // closing, and undoing back to the saved pack remove it.
    void journalFollowsChangesUntilTheWorkIsSafe_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("kept");
        for (const char* a : {"Strich", "Titel", "Infotrons", "Schwerkraft", "Verwerfen, Laden abgebrochen"})
            QTest::newRow(a) << QString::fromUtf8(a) << true;
        for (const char* a : {"Rückgängig", "Speichern", "Verwerfen", "Beenden"})
            QTest::newRow(a) << QString::fromUtf8(a) << false;
    }
    void journalFollowsChangesUntilTheWorkIsSafe() {
        QFETCH(QString, action);
        QFETCH(bool, kept);
        FakeDialogs d;
        auto w = editor(d);
        QVERIFY(w->opencommandline(pack()));
        if (action == "Titel") w->Edit2->setText(QStringLiteral("Neu"));
        else if (action == "Infotrons") w->Edit3->setText(QStringLiteral("7"));
        else if (action == "Schwerkraft") w->CheckBox1->setChecked(true);
        else paint(*w, 5, 5);
        const LevelPack image = w->packtosave();
        QTRY_COMPARE(journals().size(), 1);
        QTRY_VERIFY(*onlyjournal().pack == image);
        QCOMPARE(onlyjournal().packfile, pack());
        if (action == "Rückgängig") w->Rckgngig1->trigger();
        if (action == "Speichern") {
            d.saveanswers = {pack()};
            d.yesnoanswers = {false};
            w->Levelpackspeichern1->trigger();
        }
        if (action == "Verwerfen") {
            d.unsavedanswers = {SaveAnswer::discard};
            w->NeuesLevelpack1->trigger();
        }
        if (action == "Verwerfen, Laden abgebrochen") {
            d.unsavedanswers = {SaveAnswer::discard};
            w->Levelpackladen1->trigger(); // the file dialog is cancelled: the pack stays, unsaved
        }
        if (action == "Beenden") {
            d.unsavedanswers = {SaveAnswer::discard};
            QVERIFY(w->close());
        }
        const QString own = w->document().journal().path(); // the user's alone from the start:
        for (const QString& p : {own, QString(own).replace(".journal", ".lock"), folder()})
            QCOMPARE(QFile::permissions(p) & 0x0077, 0); // a removed journal has none
        if (!kept) QTRY_VERIFY(journals().isEmpty());
        else QVERIFY(w->document().journal().flush(2000) && journals().size() == 1);
    }

    // The next editor asks once, naming the pack; restoring shows the pack
    // and its level as they were, unsaved, offered to be saved to its file.
    void aDeadEditorsJournalIsOfferedOnce_data() {
        QTest::addColumn<RecoverAnswer>("answer");
        QTest::newRow("Wiederherstellen") << RecoverAnswer::restore;
        QTest::newRow("Verwerfen") << RecoverAnswer::discard;
        QTest::newRow("Später") << RecoverAnswer::later;
    }
    void aDeadEditorsJournalIsOfferedOnce() {
        QFETCH(RecoverAnswer, answer);
        const LevelPack image = crashed();
        const QString dead = journals().value(0);
        FakeDialogs d;
        auto w = editor(d, {answer});
        QCOMPARE(d.questions.size(), 1);
        QVERIFY(d.questions[0].contains(QStringLiteral("a.pak")));
        QVERIFY(d.questions[0].contains(QStringLiteral("3 Level unterscheiden sich")));
        const bool restored = answer == RecoverAnswer::restore;
        QCOMPARE(w->packchanged(), restored);
        if (restored) {
            QVERIFY(w->packtosave() == image);
            QCOMPARE(w->state().store().levelnr, 2);
            QCOMPARE(w->SaveDialog1FileName, pack());
            QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Wiederhergestellt: a.pak"));
            QTRY_VERIFY(journals().size() == 1 && journals()[0] != dead); // its own now
            d.unsavedanswers = {SaveAnswer::discard};
            QVERIFY(w->close());
        }
        QCOMPARE(journals().contains(dead), answer == RecoverAnswer::later);
        w.reset();
        FakeDialogs again;
        auto next = editor(again);
        QCOMPARE(again.questions.size(), answer == RecoverAnswer::later ? 1 : 0);
    }

    // A journal whose pack its file already holds is restored and then gone:
    // nothing unsaved is left, and the next start asks nothing.
    void aJournalEqualToItsFileGoesOnceRestored() {
        QVERIFY(writepack(pack(), crashed()).ok);
        FakeDialogs d;
        auto w = editor(d, {RecoverAnswer::restore});
        QCOMPARE(d.questions.size(), 1);
        QVERIFY(!w->packchanged());
        QVERIFY(journals().isEmpty());
    }

    void anUnreadableJournalIsReportedAndKeptAside() {
        QDir().mkpath(folder());
        QFile junk(QDir(folder()).filePath(QStringLiteral("kaputt.journal")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("TESSJRN1 und sonst nichts") > 0);
        junk.close();
        FakeDialogs d;
        auto w = editor(d);
        QCOMPARE(d.errors.size(), 1);
        QVERIFY(d.errors[0].contains(QStringLiteral("kaputt.journal")));
        QVERIFY(QFile::exists(junk.fileName() + QStringLiteral(".unreadable")));
        QVERIFY(d.questions.isEmpty());
    }

    // Whatever the folder holds: one question naming the newest few and
    // counting the rest, one message for what is no journal; a folder that
    // takes no writes still offers its journals, kept after a restore.
    void oneQuestionAtStart_data() {
        QTest::addColumn<int>("count");  // journals; in a folder that takes no writes one more, unreadable
        QTest::addColumn<int>("strays"); // folders, FIFOs and foreign names in turn
        QTest::addColumn<bool>("readonly");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("error");
        QTest::newRow("keines") << 0 << 0 << false << "" << "";
        QTest::newRow("eines") << 1 << 0 << false << "3 Level unterscheiden sich" << "";
        QTest::newRow("drei") << 3 << 0 << false << "3 Levelpacks wurden" << "";
        QTest::newRow("zehntausend") << 9000 << 1000 << false << "und 8995 weitere" << "und 997 weitere";
        QTest::newRow("schreibgeschützt") << 2 << 0 << true << "2 Levelpacks wurden" << "nicht öffnen (Permission denied). Sie bleibt erhalten.";
    }
    void oneQuestionAtStart() {
        QFETCH(int, count);
        QFETCH(int, strays);
        QFETCH(bool, readonly);
        QFETCH(QString, asked);
        QFETCH(QString, error);
        const LevelPack image = count ? crashed() : LevelPack{};
        const QDir f(folder());
        f.mkpath(".");
        const QString first = f.filePath(journals().value(0));
        for (int i = 1; i < count; ++i)
            QCOMPARE(::link(QFile::encodeName(first), QFile::encodeName(f.filePath(QString("%1-0000000a.journal").arg(i)))), 0);
        if (readonly) QVERIFY(QFile::copy(first, f.filePath("9-0000000a.journal")) && ::chmod(QFile::encodeName(f.filePath("9-0000000a.journal")), 0) == 0);
        for (int i = 0; i < strays; ++i) {
            const QString name = f.filePath(QString(i % 3 == 2 ? "fremd%1" : "%1-0000000b.journal").arg(i));
            QVERIFY(i % 3 == 0 ? f.mkdir(name) : i % 3 == 1 ? ::mkfifo(QFile::encodeName(name), 0600) == 0 : QFile(name).open(QIODevice::WriteOnly));
        }
        if (readonly) QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
        FakeDialogs d;
        auto w = shownwindow(d);
        d.recoveranswers = {RecoverAnswer::restore};
        QElapsedTimer clock;
        clock.start();
        if (AsUser user; true) w->startrecovery(folder());
        qInfo() << "start with" << count + strays << "entries:" << clock.elapsed() << "ms";
        QCOMPARE(d.questions.size(), asked.isEmpty() ? 0 : 1);
        QVERIFY(d.questions.value(0).contains(asked));
        QCOMPARE(d.errors.size(), error.isEmpty() ? 0 : 1);
        QVERIFY(d.errors.value(0).contains(error));
        QCOMPARE(w->packchanged() && w->packtosave() == image, count > 0);
        QCOMPARE(journals().size(), count + readonly); // the restored one's taken over by this editor's own
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("recoverynotice")) != nullptr, readonly);
        QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Whatever the folder holds, the window answers within a second of the
    // start: a lock that is a FIFO, a huge sparse file or a link to an
    // endless device is named once and kept aside as it is; thousands of
    // stale locks, and of journals discarded, go meanwhile, and what is left
    // when the editor closes goes at the next start. A running editor's lock
    // and a dead one's journal stay.
    void aHostileFolderNeverHoldsTheWindow_data() {
        QTest::addColumn<QString>("made");
        QTest::addColumn<int>("asked");
        QTest::newRow("FIFO") << "fifo" << 0;
        QTest::newRow("4 GiB dünn") << "sparse" << 0;
        QTest::newRow("Verknüpfung auf /dev/zero") << "link" << 0;
        QTest::newRow("10000 alte Sperren") << "stale" << 1;
        QTest::newRow("10000 Journale verworfen") << "journals" << 2;
    }
    void aHostileFolderNeverHoldsTheWindow() {
        QFETCH(QString, made);
        QFETCH(int, asked);
        // A window shown and started on folder, answering "Verwerfen" and
        // "Ja"; and how long until it took its next event.
        const auto start = [](FakeDialogs& d, const QString& folder) {
            auto w = shownwindow(d);
            d.recoveranswers = {RecoverAnswer::discard, RecoverAnswer::discard};
            d.yesnoanswers = {true};
            QElapsedTimer clock;
            clock.start();
            w->startrecovery(folder);
            qint64 ms = -1;
            QTimer::singleShot(0, w.get(), [&] { ms = clock.elapsed(); });
            return std::pair(QTest::qWaitFor([&] { return ms >= 0; }, 60000) ? ms : clock.elapsed(), std::move(w));
        };
        FakeDialogs empty;
        const qint64 floor = start(empty, dir->filePath("leer")).first; // what this machine takes anyway
        const bool many = made == "stale" || made == "journals";
        const QDir f(folder());
        f.mkpath(".");
        // Process ids above any this machine gives, but the names of locks.
        const QString hostile = f.filePath("99999991-0000abcd.lock"), first = f.filePath("2-0000000b.journal");
        const QByteArray name = QFile::encodeName(hostile);
        if (made == "fifo") QCOMPARE(::mkfifo(name, 0600), 0);
        if (made == "sparse")
            QVERIFY(QFile(hostile).open(QIODevice::WriteOnly) && ::truncate(name, qint64(1) << 32) == 0);
        if (made == "link") QCOMPARE(::symlink("/dev/zero", name), 0);
        struct stat before {}, after {};
        ::lstat(name, &before);
        QLockFile running(f.filePath("99999990-0000000a.lock"));
        QVERIFY(running.tryLock(0));
        pid_t gone = 999999;
        while (::kill(gone, 0) == 0 || errno == EPERM) ++gone;
        const QByteArray dead =
            QByteArray::number(gone) + "\ntessaronedit\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        const auto deadlock = [&](int n) {
            QFile lock(f.filePath(QString("%1-0000000b.lock").arg(n)));
            return lock.open(QIODevice::WriteOnly) && lock.write(dead) == dead.size();
        };
        if (many)
            QVERIFY(writedurably(first, encodejournal({0, QDateTime::currentDateTimeUtc(), {},
                                                       std::make_shared<LevelPack>()})).ok);
        for (int i = 3; many && i < 10003; ++i) {
            const QByteArray copy = QFile::encodeName(f.filePath(QString("%1-0000000b.journal").arg(i)));
            QVERIFY(made == "stale" ? deadlock(i) : ::link(QFile::encodeName(first), copy) == 0);
        }
        if (made == "stale") QVERIFY(deadlock(2)); // beside its journal: stays until that is answered

        FakeDialogs d;
        const qint64 ms = start(d, folder()).first; // and closed at once, its work going on
        qInfo() << made << "answers after" << ms << "ms, an empty folder after" << floor << "ms";
        QVERIFY2(ms - floor < answerlimit, qPrintable(QString::number(ms)));
        QCOMPARE(d.questions.size(), asked);
        QCOMPARE(d.errors.size(), many ? 0 : 1);
        QVERIFY(d.errors.value(0).contains(hostile + ".unreadable") || many);
        FakeDialogs again;
        const auto next = start(again, folder()); // finishes what the first left
        QVERIFY(again.errors.isEmpty());
        QStringList staying{"99999990-0000000a.lock"};
        if (!many) staying << "99999991-0000abcd.lock.unreadable";
        QTRY_VERIFY_WITH_TIMEOUT(f.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                                         .filter(QRegularExpression("^9999999|-0000000b")) == staying, 60000);
        if (many) return;
        QCOMPARE(::lstat(QFile::encodeName(hostile + ".unreadable"), &after), 0);
        QVERIFY(after.st_ino == before.st_ino && after.st_mode == before.st_mode && after.st_size == before.st_size &&
                after.st_blocks == before.st_blocks);
    }

    // A data folder that cannot be made: the window says so once; editing
    // and saving work as always.
    void withNowhereToWriteEditingAndSavingGoOn() {
        FakeDialogs d;
        auto w = shownwindow(d);
        w->startrecovery(pack() + QStringLiteral("/recovery")); // below a file
        auto* notice = w->findChild<QLabel*>(QStringLiteral("recoverynotice"));
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->text().startsWith(QStringLiteral("Wiederherstellung aus")));
        paint(*w, 5, 5);
        const QString other = dir->filePath(QStringLiteral("b.pak"));
        d.saveanswers = {other};
        d.yesnoanswers = {false};
        w->Levelpackspeichern1->trigger();
        LevelPack saved;
        QVERIFY(readpack(other, saved).ok);
        QVERIFY(saved == w->packtosave());
        QCOMPARE(w->findChildren<QLabel*>(QStringLiteral("recoverynotice")).size(), 1);
    }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
