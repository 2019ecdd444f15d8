// SPDX-License-Identifier: MIT
// The recovery journal: what an update costs the window's thread (the write
// itself runs on the journal's own thread), and how long a change takes to
// be on the disk.

#include "document/packdocument.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace tess;

namespace {

// One cell changed, then the update the timer would run: the pack image
// built, compared and handed to the writer.
void BM_JournalUpdateOnWindowThread(benchmark::State& state) {
    QTemporaryDir dir;
    PackDocument doc;
    doc.openjournal(dir.path());
    std::uint8_t v = 0;
    for (auto _ : state) {
        LevelCells cells = tilesof(doc.store().curlevel);
        cells[100] = ++v % 40;
        doc.setcells(cells);
        doc.updatejournal();
    }
    doc.journal().flush(5000);
}

// From a change to its journal being durable on the disk, with the delay
// the window uses.
void BM_JournalChangeToDisk(benchmark::State& state) {
    QTemporaryDir dir;
    PackDocument doc;
    doc.openjournal(dir.path());
    std::uint8_t v = 0;
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&doc.journal(), &RecoveryJournal::written, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        LevelCells cells = tilesof(doc.store().curlevel);
        cells[100] = ++v % 40;
        doc.setcells(cells);
        loop.exec();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}

} // namespace

BENCHMARK(BM_JournalUpdateOnWindowThread);
BENCHMARK(BM_JournalChangeToDisk)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
