// SPDX-License-Identifier: MIT
// How fast the level view draws, beside the floor of a plain blit of the same
// pixels from pre-scaled tile pictures, measured in the same run at the same
// device pixel ratio (QT_SCALE_FACTOR; scripts/bench.sh runs 1, 1.5 and 2).
//
//   scripts/bench.sh
#include "edit/stroke.h"
#include "level/packfile.h"
#include "ui/editorstate.h"
#include "ui/leveloverview.h"
#include "ui/ulevedit.h"
#include "ui/utessaronedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <random>

using namespace tess;

namespace {

const int sizes[] = {12, 16, 24, 32, 48};

// A level with varied tiles, so that no picture is favoured.
void varied(EditorState& s, bool marked) {
    std::mt19937 rng(5);
    LevelCells cells;
    for (int i = 0; i < cellcount; ++i) {
        cells[i] = static_cast<std::uint8_t>(rng() % tilecodecount);
        if (marked) cells[i] |= markbit;
    }
    s.doc.setcells(cells);
}

// The screen's pixels per widget pixel, as the view paints at.
qreal ratio() { return qApp->devicePixelRatio(); }

// The floor: blit n pictures, pre-scaled to the tile size at the device pixel
// ratio, one per cell, into a content-sized image of that ratio.
void blitcells(benchmark::State& state, int tile, int cells) {
    const qreal r = ratio();
    const int dt = qRound(tile * r);
    std::vector<QImage> scaled;
    for (int i = 0; i < 8; ++i) {
        QImage img(dt, dt, QImage::Format_RGB32);
        img.fill(qRgb(i * 30, 255 - i * 30, i * 7));
        scaled.push_back(img);
    }
    QImage canvas(dt * interiorcols, dt * interiorrows, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(r);
    for (auto _ : state) {
        QPainter p(&canvas);
        p.setWorldTransform(QTransform::fromScale(1 / r, 1 / r)); // device pixels
        for (int c = 0; c < cells; ++c)
            p.drawImage((c % interiorcols) * dt, (c / interiorcols % interiorrows) * dt, scaled[c & 7]);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

void BM_Floor_FullGrid(benchmark::State& state) { blitcells(state, int(state.range(0)), 1276); }
void BM_Floor_OneRow(benchmark::State& state) {
    blitcells(state, int(state.range(0)), int(state.range(1)));
}

// Drawing all 1276 interior cells with the tile drawing operation, at the
// device pixel ratio.
void BM_TileDraw(benchmark::State& state) {
    auto s = std::make_unique<EditorState>();
    s->tiles.tilew = s->tiles.tileh = int(state.range(0));
    const bool inverted = state.range(1) != 0;
    const int dt = qRound(s->tiles.tilew * ratio());
    QImage canvas(dt * interiorcols, dt * interiorrows, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&canvas);
        for (int c = 0; c < 1276; ++c)
            s->tiles.drawtile(p, QRect((c % interiorcols) * dt, (c / interiorcols) * dt, dt, dt), c % tilecodecount, inverted);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}

struct View {
    std::unique_ptr<EditorState> s = std::make_unique<EditorState>();
    Tlevedit view{*s};
    // The view is as large as the grid, so a full repaint shows all 1276 cells.
    explicit View(int tile, bool marked = false) {
        s->tiles.tilew = s->tiles.tileh = tile;
        varied(*s, marked);
        view.resize(tile * interiorcols, tile * interiorrows);
        view.show();
        QCoreApplication::processEvents();
        view.calcrowscols();
        view.PaintBox1Paint();
        QCoreApplication::processEvents();
    }
};

// The full repaint: every interior cell drawn on the surface and shown.
void BM_FullRepaint(benchmark::State& state) {
    View v(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) v.view.PaintBox1Paint();
}

// A rectangle stroke, range(1) cells wide, that grows and shrinks by one row per move.
void BM_PutbufferOneRow(benchmark::State& state) {
    View v(int(state.range(0)));
    v.s->doc.press(Button::left, false, 1, 1, 3, 0);
    const int right = int(state.range(1));
    int row = 10;
    for (auto _ : state) {
        row = row == 10 ? 11 : 10;
        v.s->doc.move(right, row);
        v.view.putbuffer();
    }
}

// A rectangle that covers the whole grid, then shrinks back to one cell.
void BM_PutbufferWholeGrid(benchmark::State& state) {
    View v(int(state.range(0)));
    v.s->doc.press(Button::left, false, 1, 1, 3, 0);
    bool big = false;
    for (auto _ : state) {
        big = !big;
        v.s->doc.move(big ? 58 : 1, big ? 22 : 1);
        v.view.putbuffer();
    }
}

// A 1000-move rectangle drag across the grid through the view's mouse
// handlers; the figure is per move.
void BM_RectangleDrag1000(benchmark::State& state) {
    View v(int(state.range(0)));
    const int tile = int(state.range(0));
    for (auto _ : state) {
        v.view.PaintBox1MouseDown(Button::left, false, tile / 2, tile / 2);
        for (int m = 1; m <= 1000; ++m)
            v.view.PaintBox1MouseMove(m * 58 * tile / 1000, m * 22 * tile / 1000);
        v.view.PaintBox1MouseUp();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

// A selection of the whole grid dragged by one cell per move.
void BM_SelectionDragWholeGrid(benchmark::State& state) {
    View v(int(state.range(0)), true);
    v.s->doc.command(SessionCommand::select);
    const int tile = int(state.range(0));
    v.view.PaintBox1MouseDown(Button::left, false, 10 * tile, 10 * tile);
    int dx = 0;
    for (auto _ : state) {
        dx = dx == 0 ? 1 : 0;
        v.view.PaintBox1MouseMove((10 + dx) * tile, 10 * tile);
    }
    v.view.PaintBox1MouseUp();
}

// The main window with a view large enough to show the whole grid at 32.
struct Window {
    TForm1 form;
    Window() {
        form.show();
        QCoreApplication::processEvents();
        form.resize(2100, 800); // after the first showing, which sets the window's own size
        QCoreApplication::processEvents();
    }
};

// One undo and one redo of a step that painted range(0) cells (20 in a row,
// or the whole grid), against a full repaint in the same window; the figure
// is per step.
void BM_UndoRedoStep(benchmark::State& state) {
    Window w;
    const int tile = 32, whole = state.range(0) == 1276;
    w.form.levedit1->PaintBox1MouseDown(Button::left, false, tile / 2, tile / 2);
    w.form.levedit1->PaintBox1MouseMove((whole ? 57 : 19) * tile, whole ? 21 * tile : 0);
    w.form.levedit1->PaintBox1MouseUp();
    for (auto _ : state) {
        w.form.Rckgngig1Click();
        w.form.Wiederherstellen1Click();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}

void BM_FullRepaintInTheWindow(benchmark::State& state) {
    Window w;
    for (auto _ : state) w.form.levedit1->PaintBox1Paint();
    state.SetItemsProcessed(state.iterations());
}

// The level overview's thumbnails of a varied level, 3 pixels a cell.
struct Overview {
    std::unique_ptr<EditorState> s = std::make_unique<EditorState>();
    LevelOverview overview{s->tiles, nullptr};
    Overview() {
        varied(*s, false);
        overview.level = [this](int) { return s->store().curlevel; };
        overview.show();
        QCoreApplication::processEvents();
    }
};

// The floor: every cell of n thumbnails blitted from ready pictures of a
// cell's size at the device pixel ratio.
void blitthumbs(benchmark::State& state, int n) {
    const int c = qRound(LevelOverview::cellsize * ratio());
    std::vector<QImage> ready;
    for (int i = 0; i < 8; ++i) {
        QImage img(c, c, QImage::Format_RGB32);
        img.fill(qRgb(i * 30, 255 - i * 30, i * 7));
        ready.push_back(img);
    }
    std::vector<QImage> thumbs(std::size_t(n), QImage(interiorcols * c, interiorrows * c, QImage::Format_RGB32));
    for (auto _ : state) {
        for (QImage& t : thumbs) {
            QPainter p(&t);
            for (int k = 0; k < 1276; ++k) p.drawImage((k % interiorcols) * c, (k / interiorcols) * c, ready[k & 7]);
        }
        benchmark::DoNotOptimize(thumbs.front().constBits());
    }
}

void BM_Floor_Thumbnails(benchmark::State& state) { blitthumbs(state, int(state.range(0))); }

// All 111 thumbnails drawn anew, as after loading a pack.
void BM_OverviewAllThumbnails(benchmark::State& state) {
    Overview o;
    for (auto _ : state) {
        o.overview.changedall();
        for (int slot = 0; slot < levelcount; ++slot) benchmark::DoNotOptimize(o.overview.thumbnail(slot).constBits());
    }
}

// One thumbnail after a stroke: drawn anew and shown, at once.
void BM_OverviewOneThumbnail(benchmark::State& state) {
    Overview o;
    for (auto _ : state) {
        o.overview.changed(1);
        o.overview.grid->repaint(o.overview.thumbrect(1));
    }
}

// The whole visible overview painted, thumbnails ready, captions included.
void BM_OverviewPaint(benchmark::State& state) {
    Overview o;
    for (auto _ : state) o.overview.grid->repaint();
}

} // namespace

BENCHMARK(BM_Floor_FullGrid)->Arg(12)->Arg(16)->Arg(24)->Arg(32)->Arg(48);
BENCHMARK(BM_TileDraw)->ArgsProduct({{12, 16, 24, 32, 48}, {0, 1}});
BENCHMARK(BM_FullRepaint)->ArgsProduct({{12, 16, 24, 32, 48}, {0, 1}});
BENCHMARK(BM_Floor_OneRow)->ArgsProduct({{32, 48}, {58, 20}});
BENCHMARK(BM_PutbufferOneRow)->ArgsProduct({{32, 48}, {58, 20}});
BENCHMARK(BM_PutbufferWholeGrid)->Arg(32)->Arg(48);
BENCHMARK(BM_RectangleDrag1000)->Arg(32)->Arg(48)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectionDragWholeGrid)->Arg(32)->Arg(48);
BENCHMARK(BM_FullRepaintInTheWindow);
BENCHMARK(BM_UndoRedoStep)->Arg(20)->Arg(1276);
BENCHMARK(BM_Floor_Thumbnails)->Arg(111)->Arg(1);
BENCHMARK(BM_OverviewAllThumbnails);
BENCHMARK(BM_OverviewOneThumbnail);
BENCHMARK(BM_OverviewPaint);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::printf("device pixel ratio: %.2f\n", ratio());
    {
        // Start-up to the first painted frame of the main window.
        QElapsedTimer t;
        t.start();
        TForm1 form;
        std::printf("window made: %.1f ms\n", t.nsecsElapsed() / 1e6);
        form.show();
        struct FirstPaint : QObject {
            bool painted = false;
            bool eventFilter(QObject*, QEvent* e) override {
                if (e->type() == QEvent::Paint) painted = true;
                return false;
            }
        } watch;
        QWidget* box = form.findChild<QWidget*>(QStringLiteral("levedit1"))->findChild<QWidget*>(QStringLiteral("PaintBox1"));
        box->installEventFilter(&watch);
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::printf("startup to first painted frame: %.1f ms\n", t.nsecsElapsed() / 1e6);

        // Peak resident memory with a pack loaded.
        QTemporaryDir dir;
        auto pack = std::make_unique<LevelPack>(form.state().store().levelpack);
        const QString file = dir.filePath(QStringLiteral("b.pak"));
        writepack(file, *pack);
        form.openpack(file);
        rusage ru{};
        getrusage(RUSAGE_SELF, &ru);
        std::printf("peak resident memory after loading a pack: %.1f MiB\n", ru.ru_maxrss / 1024.0);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
