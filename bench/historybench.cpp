// SPDX-License-Identifier: MIT
// What a push onto the undo histories costs, with few and many steps held,
// and once the memory budget is reached and the histories trim themselves.

#include "document/levelhistory.h"

#include <benchmark/benchmark.h>

using namespace tess;

namespace {

// A stroke's step over one row of the level: 58 cells.
HistoryStep* rowstep(LevelHistory& h) {
    CellChange c;
    for (int col = 1; col <= 58; ++col) c.cells.push_back(std::uint16_t(60 + col));
    c.before.assign(c.cells.size(), 0);
    c.after.assign(c.cells.size(), 2);
    return new CellStep(h, std::move(c));
}

// A push followed by an undo, so that the next push drops it again and the
// history keeps its length: held steps stay as given.
void BM_HistoryPush(benchmark::State& state) {
    LevelHistory h;
    for (int i = 0; i < state.range(0); ++i) h.push(rowstep(h));
    for (auto _ : state) {
        h.push(rowstep(h));
        h.stack(0).undo();
    }
    state.counters["held"] = double(h.stack(0).count());
}

// Pushes at the 64 MiB budget: trimming runs now and then, and its cost is
// spread over the pushes between.
void BM_HistoryPushAtBudget(benchmark::State& state) {
    LevelHistory h;
    h.push(rowstep(h));
    const std::size_t step = h.bytes();
    while (h.bytes() + step <= h.budget) h.push(rowstep(h));
    for (auto _ : state) h.push(rowstep(h));
    state.counters["held"] = double(h.stack(0).count());
    state.counters["MiB"] = double(h.bytes()) / (1 << 20);
}

} // namespace

BENCHMARK(BM_HistoryPush)->Arg(10)->Arg(1000)->Arg(10000);
BENCHMARK(BM_HistoryPushAtBudget)->Iterations(200000);
