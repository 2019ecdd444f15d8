// SPDX-License-Identifier: MIT
// Test helper for the map round trips.
//   testpacks DIR          writes DIR/new.pak, DIR/edited.pak and DIR/foreign.pak
//   testpacks A.png B.png  exit 0 when A, less its 16-pixel ring, equals B pixel for pixel
#include "../core/fakehost.h"
#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "level/levelstore.h"
#include "level/packfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>
#include <memory>
#include <random>

using namespace tess;

namespace {

// Levels as a designer leaves them: tiles from the palette in rectangles,
// ports of both flags (up to 14, so that some levels pass the 11), marks,
// titles with XML's special characters and umlauts.
void editpack(LevelStore& store, EditLayers& layers, test::FakeHost& host) {
    for (int i = 0; i < levelcount; ++i) {
        std::mt19937 rnd(i);
        selectlevel(store, layers, host, i);
        for (int r = 0; r < 12; ++r) {
            const int col = rnd() % 58 + 1, row = rnd() % 22 + 1, code = rnd() % tilecodecount;
            for (int y = row; y < std::min(23, row + int(rnd() % 5)); ++y)
                for (int x = col; x < std::min(59, col + int(rnd() % 9)); ++x)
                    store.curlevel[cellindex(x, y)] = std::uint8_t(code);
        }
        for (int p = 0; p < i % 15; ++p)
            store.curlevel[cellindex(rnd() % 58 + 1, rnd() % 22 + 1)] =
                std::uint8_t((p % 2 ? code_port_first : code_port0_first) + rnd() % 4);
        store.curlevel[cellindex(i % 58 + 1, 5)] |= markbit;
        const char* titles[] = {"Gr\xFC\xDF" "e & <Ebene> \"1\"", "  Anfang", "'a' > b", "", "\xE9t\xE9 \xA9 \xFF"};
        host.titletext = titles[i % 5];
        host.gravitybox = i % 3 == 1;
        host.infotronsvalue = std::int16_t(i * 37 % 256);
        savebacklevel(store, host);
    }
}

// Bytes no editor writes: random records, marks, codes without a picture,
// too many or misplaced switch entries, reserved bytes, a foreign border,
// control characters in the title.
void foreignpack(LevelPack& pack) {
    for (int i = 0; i < levelcount; ++i) {
        std::mt19937 rnd(1000 + i);
        LevelRecord& rec = pack[i];
        if (i < 10) {
            for (auto& b : rec) b = std::uint8_t(rnd());
            continue;
        }
        for (int k = 0; k < 20; ++k) rec[rnd() % cellcount] = std::uint8_t(rnd());
        rec[cellindex(rnd() % 58 + 1, 2)] = std::uint8_t(markbit | code_port_first);
        rec[cellindex(i % 60, 0)] = std::uint8_t(rnd());
        rec[off_reserved1 + i % 4] = std::uint8_t(rnd());
        rec[off_reserved2] = std::uint8_t(i);
        rec[off_fixedspace] = std::uint8_t(i % 2 ? 0x20 : 0);
        rec[off_gravity] = std::uint8_t(i % 5);
        rec[off_title + i % titlelen] = std::uint8_t(i % 32);
        rec[off_title + 5] = std::uint8_t(0x7F + i % 40);
        if (i % 3 == 0) rec[off_switchcount] = std::uint8_t(12 + i);
        const int e = off_switches + switchentrylen * (i % maxswitches);
        rec[e] = std::uint8_t(rnd() % 2 ? 0x0B : rnd());
        rec[e + 2] = std::uint8_t(i % 4 ? 0 : rnd());
        rec[e + 3] = std::uint8_t(rnd());
    }
}

int writepacks(const QString& dir) {
    auto store = std::make_unique<LevelStore>();
    EditLayers layers;
    test::FakeHost host;
    newlevelpack(*store, layers, host);
    const auto fresh = std::make_unique<const LevelPack>(store->levelpack);
    editpack(*store, layers, host);
    auto foreign = std::make_unique<LevelPack>(store->levelpack);
    foreignpack(*foreign);
    const std::pair<const char*, const LevelPack*> packs[] = {
        {"new.pak", fresh.get()}, {"edited.pak", &store->levelpack}, {"foreign.pak", foreign.get()}};
    for (const auto& [name, pack] : packs) {
        const FileResult r = writepack(QDir(dir).filePath(QLatin1String(name)), *pack);
        if (!r.ok) return std::fprintf(stderr, "%s\n", qPrintable(r.error)), 1;
    }
    return 0;
}

int samepixels(const QString& apath, const QString& bpath) {
    const QImage a(apath);
    if (!a.isNull() && a.copy(16, 16, a.width() - 32, a.height() - 32).convertToFormat(QImage::Format_RGB32) ==
        QImage(bpath).convertToFormat(QImage::Format_RGB32))
        return 0;
    std::fprintf(stderr, "%s less its ring differs from %s\n", qPrintable(apath), qPrintable(bpath));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 2) return writepacks(args[1]);
    if (args.size() == 3) return samepixels(args[1], args[2]);
    std::fprintf(stderr, "usage: testpacks DIR | testpacks A.png B.png\n");
    return 2;
}
