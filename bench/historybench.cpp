// SPDX-License-Identifier: MIT
// What recording a step in the undo histories costs, with few and many
// steps held, and once the memory bound is reached and the oldest go.

#include "edit/history.h"

#include <benchmark/benchmark.h>

using namespace tess;

namespace {

// A stroke's step over one row of the level: 58 cells.
CellChange rowstep() {
    CellChange c;
    for (int col = 1; col <= 58; ++col) c.cells.push_back(std::uint16_t(60 + col));
    c.before.assign(c.cells.size(), 0);
    c.after.assign(c.cells.size(), 2);
    return c;
}

// A record followed by an undo, so that the next record drops it again and
// the history keeps its length: held steps stay as given.
void BM_HistoryRecord(benchmark::State& state) {
    History h(std::size_t(1) << 30);
    for (int i = 0; i < state.range(0); ++i) h.record(0, rowstep());
    for (auto _ : state) {
        h.record(0, rowstep());
        h.undo(0);
    }
    state.counters["held"] = double(state.range(0));
}

// Records at the 8 MiB bound: each drops the oldest step.
void BM_HistoryRecordAtBound(benchmark::State& state) {
    History h;
    h.record(0, rowstep());
    const std::size_t step = h.bytes();
    while (h.bytes() + step <= (8u << 20)) h.record(0, rowstep());
    for (auto _ : state) h.record(0, rowstep());
    state.counters["MiB"] = double(h.bytes()) / (1 << 20);
}

} // namespace

BENCHMARK(BM_HistoryRecord)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_HistoryRecordAtBound)->Iterations(200000);
