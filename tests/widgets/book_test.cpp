// SPDX-License-Identifier: MIT
// Plays the scenario book (tests/book/book.json) on the real main window with
// QTest mouse and key events at the cells' positions, saves, and compares the
// saved file with the pack the book's model expects (written by expect.mjs
// into $BOOK_EXPECT as NN.pak).
#include "fakedialogs.h"
#include "ui/leveloverview.h"
#include "ui/replacedialog.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QApplication>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tess;
using namespace tess::test;

namespace {

QByteArray readall(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Where two packs first differ, in the book's words.
QString difference(const QByteArray& want, const QByteArray& got) {
    if (got.size() != want.size()) return QStringLiteral("the saved file has %1 bytes, not %2").arg(got.size()).arg(want.size());
    for (int i = 0; i < want.size(); ++i) {
        if (want[i] == got[i]) continue;
        const int b = i % 1536;
        const QString where = b < 1440 ? QStringLiteral("cell (%1,%2)").arg(b % 60).arg(b / 60)
                                       : QStringLiteral("record byte %1").arg(b);
        return QStringLiteral("first difference at byte %1: level %2, %3: expected %4, got %5")
            .arg(i).arg(i / 1536 + 1).arg(where).arg(quint8(want[i])).arg(quint8(got[i]));
    }
    return {};
}

Qt::MouseButton button(const QString& name) {
    return name == u"right" ? Qt::RightButton : name == u"middle" ? Qt::MiddleButton : Qt::LeftButton;
}

} // namespace

class BookTest : public QObject, WindowFixture {
    Q_OBJECT
    QWidget* box = nullptr;
    QPoint pointer;
    QTemporaryDir dir;

    // The middle of cell (col, row) on the paint surface, also beyond the grid.
    QPoint at(const QJsonValue& v) {
        const int t = s().tiles.tilew;
        const QJsonArray a = v.toArray();
        return {(a[0].toInt() - 1) * t + t / 2, (a[1].toInt() - 1) * t + t / 2};
    }
    void key(QWidget* to, const QString& combo) {
        const bool ctrl = combo.startsWith(u"Ctrl+");
        const QString k = ctrl ? combo.mid(5) : combo;
        const Qt::Key code = k == u"Delete" ? Qt::Key_Delete : Qt::Key(Qt::Key_A + (k[0].unicode() - 'A'));
        QTest::keyClick(to, code, ctrl ? Qt::ControlModifier : Qt::NoModifier);
    }
    void type(QLineEdit* e, const QString& text) {
        QTest::mouseClick(e, Qt::LeftButton);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(e, Qt::Key_Backspace);
        for (const QChar c : text) { // as a person types: the window looks at the field between keys
            QTest::keyClicks(e, QString(c));
            QCoreApplication::processEvents();
        }
    }
    // The menu item of that caption (access key aside), or null.
    QAction* menuitem(const QString& caption) {
        for (QAction* a : w->findChildren<QAction*>())
            if (QString(a->text()).remove(u'&') == caption) return a;
        return nullptr;
    }
    // Strg+H, then the replace dialog's lists, scope and "Ersetzen", closed
    // again with "Schließen".
    QString replace(const QJsonObject& step) {
        key(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), QStringLiteral("Ctrl+H"));
        auto* d = w->findChild<ReplaceDialog*>();
        if (!d || !d->isVisible()) return QStringLiteral("Strg+H shows no replace dialog");
        const QJsonArray codes = step[u"replace"].toArray();
        d->ComboBox1->setCurrentIndex(codes[0].toInt());
        d->ComboBox2->setCurrentIndex(codes[1].toInt());
        const QString scope = step[u"in"].toString();
        QTest::mouseClick(scope == u"marks" ? d->RadioButton1 : scope == u"level" ? d->RadioButton2 : d->RadioButton3, Qt::LeftButton,
                          {}, QPoint(6, d->RadioButton1->height() / 2));
        const QString failed = asking(step, [&] { QTest::mouseClick(d->Button1, Qt::LeftButton); });
        QTest::mouseClick(d->Button3, Qt::LeftButton);
        w->activateWindow(); // as a window system does once the dialog is closed
        return failed;
    }
    // An action that may ask the switch-limit question, answered as the book says.
    QString asking(const QJsonObject& step, const std::function<void()>& act, QList<bool> more = {}) {
        const auto limit = [&] { return dialogs.questions.filter(QStringLiteral("Gravitationsschalter")).size(); };
        const qsizetype asked = limit();
        dialogs.yesnoanswers = more;
        if (step.contains(u"answer")) dialogs.yesnoanswers.prepend(step[u"answer"].toString() == u"yes");
        act();
        const bool wasasked = limit() > asked;
        dialogs.yesnoanswers.clear();
        if (wasasked != step.contains(u"answer"))
            return wasasked ? QStringLiteral("the switch-limit question came unexpectedly")
                            : QStringLiteral("the switch-limit question was not asked");
        return {};
    }

    // The level overview, opened with F2 when it is not open: a drag from one
    // level's thumbnail onto another's, or keys pressed in it.
    QString overview(const QJsonObject& step) {
        if (!w->overview->isVisible()) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), Qt::Key_F2);
            if (!QTest::qWaitForWindowExposed(w->overview)) return QStringLiteral("F2 shows no overview");
        }
        QWidget* grid = w->overview->grid;
        if (step[u"overview"].toString() == u"drag") {
            const QPoint from = w->overview->thumbrect(step[u"from"].toInt() - 1).center();
            const QPoint to = w->overview->thumbrect(step[u"to"].toInt() - 1).center();
            return asking(step, [&] {
                QTest::mousePress(grid, Qt::LeftButton, {}, from);
                QTest::mouseMove(grid, from + QPoint(20, 0));
                QTest::mouseMove(grid, to);
                QTest::mouseRelease(grid, Qt::LeftButton, {}, to);
            });
        }
        const QHash<QString, Qt::Key> keys{{QStringLiteral("Right"), Qt::Key_Right}, {QStringLiteral("Left"), Qt::Key_Left},
                                           {QStringLiteral("Home"), Qt::Key_Home}, {QStringLiteral("End"), Qt::Key_End},
                                           {QStringLiteral("Return"), Qt::Key_Return}};
        return asking(step, [&] {
            for (const QJsonValue k : step[u"keys"].toArray()) QTest::keyClick(grid, keys.value(k.toString(), Qt::Key_unknown));
        });
    }

    QString play(const QJsonObject& step) {
        if (step.contains(u"drag")) {
            const Qt::MouseButton b = button(step[u"drag"].toString());
            QTest::mousePress(box, b, step[u"ctrl"].toBool() ? Qt::ControlModifier : Qt::NoModifier, at(step[u"from"]));
            QTest::mouseMove(box, pointer = at(step[u"to"]));
            QTest::mouseRelease(box, b, {}, pointer);
        } else if (step.contains(u"press")) {
            QTest::mousePress(box, button(step[u"press"].toString()),
                              step[u"ctrl"].toBool() ? Qt::ControlModifier : Qt::NoModifier, pointer = at(step[u"at"]));
        } else if (step.contains(u"move")) {
            QTest::mouseMove(box, pointer = at(step[u"move"]));
        } else if (step.contains(u"release")) {
            QTest::mouseRelease(box, button(step[u"release"].toString()), {}, pointer);
        } else if (step.contains(u"key")) {
            key(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), step[u"key"].toString());
        } else if (step.contains(u"tool")) {
            QTest::mouseClick(step[u"tool"].toString() == u"select" ? w->ToolButton2 : w->ToolButton1, Qt::LeftButton);
        } else if (step.contains(u"point")) {
            // Scrolled into sight, as a user would before pointing there.
            pointer = at(step[u"point"]);
            w->levedit1->ensureVisible(pointer.x(), pointer.y());
            QCursor::setPos(box->mapToGlobal(pointer));
            QTest::mouseMove(box, pointer);
        } else if (step.contains(u"menu")) {
            QAction* item = menuitem(step[u"menu"].toString());
            if (!item) return QStringLiteral("no menu item \"%1\"").arg(step[u"menu"].toString());
            if (item->isEnabled() == step[u"greyed"].toBool())
                return QStringLiteral("\"%1\" is %2greyed").arg(item->text(), item->isEnabled() ? u"not " : u"");
            if (!item->isEnabled()) return {};
            const auto unsaved = [&] { return dialogs.questions.filter(QStringLiteral("geändert")).size(); };
            const qsizetype errors = dialogs.errors.size(), questions = unsaved();
            const QString how = step[u"unsaved"].toString();
            dialogs.unsavedanswers = {how == u"discard" ? SaveAnswer::discard : SaveAnswer::cancel};
            // The Tiled items' file dialogs name one map in the test's folder.
            dialogs.saveanswers = dialogs.openanswers = {dir.filePath(QStringLiteral("karte.tmx"))};
            const QString failed = asking(step, [&] { item->trigger(); });
            dialogs.unsavedanswers.clear();
            if ((unsaved() > questions) != !how.isEmpty())
                return how.isEmpty() ? QStringLiteral("the unsaved question came unexpectedly")
                                     : QStringLiteral("the unsaved question was not asked");
            if ((dialogs.errors.size() > errors) != step[u"refused"].toBool())
                return step[u"refused"].toBool() ? QStringLiteral("no message says why nothing happened")
                                                 : QStringLiteral("unexpected message: %1").arg(dialogs.errors.last());
            return failed;
        } else if (step.contains(u"replace")) {
            return replace(step);
        } else if (step.contains(u"palette")) {
            const int t = s().tiles.tilew, p = 3 * t / 2, cols = w->itemselect1->cols, code = step[u"tile"].toInt();
            QTest::mouseClick(w->itemselect1->PaintBox1, button(step[u"palette"].toString()), {},
                              QPoint(t / 2 + p * (code % cols) + 1, t / 2 + p * (code / cols) + 1));
        } else if (step.contains(u"level")) {
            const int by = step[u"level"].toString() == u"+1" ? 1 : -1, before = level();
            const QString failed = asking(step, [&] {
                QTest::mouseClick(w->Edit1, Qt::LeftButton);
                QTest::keyClick(w->Edit1, by > 0 ? Qt::Key_Up : Qt::Key_Down);
            });
            const int want = step[u"answer"].toString() == u"no" ? before : before + by;
            if (failed.isEmpty() && level() != want) return QStringLiteral("the level is %1 after the step").arg(level() + 1);
            return failed;
        } else if (step.contains(u"title")) {
            type(w->Edit2, step[u"title"].toString());
        } else if (step.contains(u"infotrons")) {
            type(w->Edit3, step[u"infotrons"].toVariant().toString());
        } else if (step.contains(u"overview")) {
            return overview(step);
        } else if (step.contains(u"gravity")) {
            QTest::mouseClick(w->CheckBox1, Qt::LeftButton, {}, QPoint(8, w->CheckBox1->height() / 2));
        } else {
            return QStringLiteral("unknown step %1").arg(QString::fromUtf8(QJsonDocument(step).toJson(QJsonDocument::Compact)));
        }
        return {};
    }

private slots:
    void init() {
        w = shownwindow(dialogs);
        QVERIFY(w);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        box = w->levedit1->PaintBox1;
    }
    void cleanup() { w.reset(); }

    void scenario_data() {
        if (qEnvironmentVariable("BOOK_EXPECT").isEmpty()) {
            if (qEnvironmentVariableIsSet("TESS_NO_SKIP")) QFAIL("node is not installed: no expected packs");
            QSKIP("node is not installed: no expected packs");
        }
        QTest::addColumn<int>("number");
        QTest::addColumn<QJsonObject>("scenario");
        const QJsonArray all = QJsonDocument::fromJson(readall(qEnvironmentVariable("BOOK")))[u"scenarios"].toArray();
        QVERIFY2(!all.isEmpty(), "the book ($BOOK) holds no scenarios");
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(all[i][u"name"].toString().toUtf8()) << i + 1 << all[i].toObject();
    }
    void scenario() {
        QFETCH(int, number);
        QFETCH(QJsonObject, scenario);
        const QString name = scenario[u"name"].toString();
        const QByteArray want =
            readall(QStringLiteral("%1/%2.pak").arg(qEnvironmentVariable("BOOK_EXPECT")).arg(number, 2, 10, QLatin1Char('0')));
        QVERIFY2(want.size() == 170496, "no expected pack: run expect.mjs first");
        const QJsonArray steps = scenario[u"steps"].toArray();
        for (int i = 0; i < steps.size(); ++i) {
            const QString failed = play(steps[i].toObject());
            QVERIFY2(failed.isEmpty(), qPrintable(QStringLiteral("book, desktop, \"%1\", step %2: %3").arg(name).arg(i + 1).arg(failed)));
        }
        const QString file = dir.filePath(QStringLiteral("%1.pak").arg(number));
        dialogs.saveanswers = {file};
        QJsonObject save;
        if (scenario.contains(u"saveanswer")) save[u"answer"] = scenario[u"saveanswer"];
        const QString failed = asking(save, [&] {
            key(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), QStringLiteral("Ctrl+S"));
        }, {false}); // no level list
        QVERIFY2(failed.isEmpty(), qPrintable(QStringLiteral("book, desktop, \"%1\", save: %2").arg(name, failed)));
        const QString diff = difference(want, readall(file));
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("book, desktop, \"%1\": %2").arg(name, diff)));
    }
};

QTEST_MAIN(BookTest)
#include "book_test.moc"
