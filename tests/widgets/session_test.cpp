// SPDX-License-Identifier: MIT
// A long random editing session on the real main window. Presses, moves
// (inside and far outside the grid) and releases of all three buttons with
// and without Ctrl, both tools, the four selection commands, undo and redo
// by their keys, level switches with both answers to the switch-limit
// question, zoom steps and palette clicks. After every event the layers must agree; at checkpoints what the
// screen shows must equal an independent rendering of the layers.
//
// TESS_SESSION_EVENTS and TESS_SESSION_SEED override the event count and seed.
#include "fakedialogs.h"
#include "pixels.h"
#include "ui/uitemselect.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QAction>
#include <QBackingStore>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <memory>
#include <random>

using namespace tess;
using namespace tess::test;

namespace {

int envnumber(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TForm1> w;
    FakeDialogs dialogs;
    std::mt19937 rng;
    Qt::MouseButtons held;
    QWidget* box = nullptr;
    int undone = 0; // undo and redo keys that changed the level

    EditorState& s() { return w->state(); }
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    void send(QWidget* target, QEvent::Type type, Qt::MouseButton b, QPoint p, Qt::KeyboardModifiers m) {
        QMouseEvent e(type, p, target->mapToGlobal(p), b, held, m);
        QApplication::sendEvent(target, &e);
    }
    QPoint anywhere() {
        const int t = s().tiles.tilew;
        if (pick(0, 9) == 0) return {pick(-30 * t, 90 * t), pick(-30 * t, 50 * t)};
        return {pick(-2 * t, 60 * t), pick(-2 * t, 24 * t)};
    }

    QString step() {
        static const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
        const int kind = pick(0, 103);
        if (kind < 25) {
            const Qt::MouseButton b = buttons[pick(0, 2)];
            if (held & b) return QStringLiteral("press (held)");
            held |= b;
            send(box, QEvent::MouseButtonPress, b, anywhere(), pick(0, 2) == 0 ? Qt::ControlModifier : Qt::NoModifier);
            return QStringLiteral("press");
        }
        if (kind < 60) {
            if (!held) return QStringLiteral("move (no button)");
            send(box, QEvent::MouseMove, Qt::NoButton, anywhere(), Qt::NoModifier);
            return QStringLiteral("move");
        }
        if (kind < 78) {
            const Qt::MouseButton b = buttons[pick(0, 2)];
            if (!(held & b)) return QStringLiteral("release (not held)");
            held &= ~b;
            send(box, QEvent::MouseButtonRelease, b, anywhere(), Qt::NoModifier);
            return QStringLiteral("release");
        }
        switch (kind) {
        case 78: case 79: w->ToolButton1->click(); return QStringLiteral("draw tool");
        case 80: case 81: case 82: w->ToolButton2->click(); return QStringLiteral("select tool");
        case 83: case 84: w->Kopieren1->trigger(); return QStringLiteral("copy");
        case 85: case 86: w->Lschen2->trigger(); return QStringLiteral("cut");
        case 87: case 88: w->Einfgen1->trigger(); return QStringLiteral("paste");
        case 89: w->Lschen1->trigger(); return QStringLiteral("delete");
        case 90: w->ToolButton4->click(); return QStringLiteral("zoom in");
        case 91: w->ToolButton5->click(); return QStringLiteral("zoom out");
        case 92: case 93: case 94: {
            const QPoint p(pick(0, 129), pick(0, w->itemselect1->PaintBox1->height()));
            const Qt::MouseButton b = buttons[pick(0, 2)];
            send(w->itemselect1->PaintBox1, QEvent::MouseButtonPress, b, p, Qt::NoModifier);
            send(w->itemselect1->PaintBox1, QEvent::MouseButtonRelease, b, p, Qt::NoModifier);
            return QStringLiteral("palette");
        }
        case 100: case 101: case 102: case 103: {
            const LevelRecord before = s().store().curlevel;
            const bool undo = kind < 102;
            QTest::keyClick(QApplication::focusWidget(), undo ? Qt::Key_Z : kind == 102 ? Qt::Key_Y : Qt::Key_Z,
                            kind == 103 ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
            undone += s().store().curlevel != before;
            return undo ? QStringLiteral("undo") : QStringLiteral("redo");
        }
        default:
            if (held) return QStringLiteral("level switch (button held)");
            dialogs.yesnoanswers = {pick(0, 1) == 1};
            QTest::keyClick(w->Edit1, pick(0, 2) == 0 ? Qt::Key_Down : Qt::Key_Up);
            dialogs.yesnoanswers.clear();
            return QStringLiteral("level switch");
        }
    }

    // The layer invariants; returns an empty string when they hold.
    QString broken() {
        const auto& L = s().layers();
        const auto& cur = s().store().curlevel;
        const bool stroke = s().doc.stroking();
        // A press beyond the grid starts nothing, and the first release of two
        // held buttons ends the stroke: only the other direction is a fault.
        if (stroke && !held) return QStringLiteral("a stroke outlives its buttons");
        for (int i = 0; i < cellcount; ++i) {
            if (!stroke && L.overlay[i] != notile) return QStringLiteral("overlay not empty at %1").arg(i);
            if (L.clipboard[i] != emptyclip && !(L.clipboard[i] & markbit))
                return QStringLiteral("unmarked clipboard cell %1").arg(i);
            if ((cur[i] & ~markbit) >= tilecodecount) return QStringLiteral("code without picture at %1").arg(i);
        }
        for (int row = firstrow; row <= lastrow; ++row)
            for (int col = firstcol; col <= lastcol; ++col) {
                const int i = cellindex(col, row);
                const std::uint8_t current = L.overlay[i] != notile ? L.overlay[i] : cur[i];
                if (L.screenbuf[i] != notile && L.screenbuf[i] != current)
                    return QStringLiteral("screenbuf disagrees at %1,%2").arg(col).arg(row);
                if (L.overlay[i] != notile && L.screenbuf[i] != L.overlay[i])
                    return QStringLiteral("overlay value not drawn at %1,%2").arg(col).arg(row);
            }
        return {};
    }

    // What is on screen in the visible part of the level view, taken from the
    // window's backing store (so stale cells would show), against the layers.
    bool screenshowslayers() {
        QCoreApplication::processEvents();
        const QImage want = expectedlevel(s());
        // In screen pixels; the surface's position in the window may fall
        // between them, which shifts the whole drawing by the rounding.
        QRect visible = todevice(box->visibleRegion().boundingRect());
        // An edge of the view that falls inside a screen pixel shares it with the widget beside.
        if (ratio() != std::floor(ratio())) visible.adjust(1, 1, -1, -1);
        const QPointF origin = QPointF(box->mapTo(w.get(), QPoint(0, 0))) * ratio();
        const QPoint shift(int(std::floor(origin.x() + 0.5)), int(std::floor(origin.y() + 0.5)));
        QPaintDevice* store = w->backingStore()->paintDevice();
        if (store->devType() != QInternal::Image) return false;
        const QImage screen = static_cast<QImage*>(store)->convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < visible.height(); ++y)
            for (int x = 0; x < visible.width(); ++x) {
                const QPoint p = visible.topLeft() + QPoint(x, y);
                const QRgb expect = want.rect().contains(p) ? want.pixel(p) : qRgb(0, 0, 0);
                if (screen.pixel(p + shift) != expect) {
                    qWarning("screen differs at %d,%d (tile %d)", p.x(), p.y(), s().tiles.tilew);
                    return false;
                }
            }
        // The whole surface, rendered anew, too.
        return gridshot(shot(box), s()) == want;
    }

private slots:
    void randomSession() {
        const int events = envnumber("TESS_SESSION_EVENTS", 100000);
        const unsigned seed = unsigned(envnumber("TESS_SESSION_SEED", 8122026));
        qInfo("random session: %d events, seed %u", events, seed);
        rng.seed(seed);
        freshsettings();
        w = std::make_unique<TForm1>();
        w->setdialogs(&dialogs);
        w->resize(800, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get())); // the keys' shortcuts need it
        box = w->levedit1->PaintBox1;
        int checkpoints = 0;
        for (int e = 1; e <= events; ++e) {
            const QString what = step();
            const QString fault = broken();
            if (!fault.isEmpty()) QFAIL(qPrintable(QStringLiteral("event %1 (%2): %3").arg(e).arg(what, fault)));
            if (e % 2500 == 0 || (what == QStringLiteral("level switch") && e % 7 == 0) ||
            (what == QStringLiteral("undo") && e % 23 == 0)) {
                if (!screenshowslayers()) QFAIL(qPrintable(QStringLiteral("event %1 (%2): screen differs").arg(e).arg(what)));
                // Now and then look at another part of the level.
                w->levedit1->horizontalScrollBar()->setValue(pick(0, w->levedit1->horizontalScrollBar()->maximum()));
                w->levedit1->verticalScrollBar()->setValue(pick(0, w->levedit1->verticalScrollBar()->maximum()));
                if (!screenshowslayers()) QFAIL(qPrintable(QStringLiteral("event %1 (%2): screen differs").arg(e).arg(what)));
                ++checkpoints;
            }
        }
        qInfo("random session passed: %d events, seed %u, %d screen checkpoints, %d undo and redo steps", events,
              seed, checkpoints, undone);
        QVERIFY(checkpoints > 10);
        QVERIFY(undone > events / 200);
    }
};

QTEST_MAIN(SessionTest)
#include "session_test.moc"
