// SPDX-License-Identifier: MIT
// How fast the commands on many cells run: a replace across all 111 levels
// (the counts the dialog shows, and the replace with its undo steps from the
// main window), and a region mark that floods the whole interior.
#include "edit/packreplace.h"
#include "edit/tilecommands.h"
#include "level/levelstore.h"
#include "level/packfile.h"
#include "ui/replacedialog.h"
#include "ui/utessaronedit.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace tess;

namespace {

// 111 levels of varied tiles, a tenth of them tubes 9 and up to 11 ports.
LevelPack variedpack() {
    std::mt19937 rng(111);
    LevelPack pack{};
    const std::uint8_t codes[] = {0, 1, 2, 3, 4, 5, 9, 11, 17, 24, 26, 27};
    for (auto& rec : pack) {
        LevelRecord cur{};
        for (int i = 0; i < cellcount; ++i) cur[i] = codes[rng() % std::size(codes)];
        for (int k = 0; k < 11; ++k) cur[cellindex(1 + k * 5, 1 + int(rng() % 22))] = rng() % 2 ? 13 : 40;
        rec = buildrecord(cur, StoreFields{}).record;
    }
    return pack;
}

void BM_ReplaceAcrossPack(benchmark::State& state) {
    const LevelPack pack = variedpack();
    const auto from = std::uint8_t(state.range(0)), to = std::uint8_t(state.range(1));
    const bool keep = state.range(2) != 0;
    int cells = 0;
    for (auto _ : state) {
        const PackReplace r = replaceinpack(pack, from, to, keep);
        cells = r.cells;
        benchmark::DoNotOptimize(r.changed.data());
    }
    state.counters["cells"] = cells;
}
// Tubes (no switch table involved) and flag-0 ports; count only and full.
BENCHMARK(BM_ReplaceAcrossPack)->Args({9, 11, 0})->Args({9, 11, 1})->Args({40, 42, 1})->Unit(benchmark::kMillisecond);

// What the user waits for: the replace from the dialog with each level's
// step pushed, and its undo from the dialog's button.
void BM_ReplaceAcrossPackInWindow(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("varied.pak"));
    auto pack = std::make_unique<LevelPack>(variedpack());
    writepack(file, *pack);
    TForm1 form;
    form.openpack(file);
    form.Ersetzen1->trigger();
    auto* d = form.findChild<ReplaceDialog*>();
    d->ComboBox1->setCurrentIndex(9);
    d->ComboBox2->setCurrentIndex(11);
    d->RadioButton3->setChecked(true);
    for (auto _ : state) {
        d->Button1->click();
        d->Button2->click();
    }
    if (form.packtosave() != *pack) state.SkipWithError("the undo did not give back the pack");
}
BENCHMARK(BM_ReplaceAcrossPackInWindow)->Unit(benchmark::kMillisecond);

void BM_MarkRegionWholeInterior(benchmark::State& state) {
    LevelRecord cur{};
    EditLayers layers;
    int cells = 0;
    for (auto _ : state) {
        cur.fill(0);
        cells = markregion(cur, layers, 30, 12);
        benchmark::DoNotOptimize(cur.data());
    }
    state.counters["cells"] = cells;
}
BENCHMARK(BM_MarkRegionWholeInterior)->Unit(benchmark::kMicrosecond);

} // namespace
