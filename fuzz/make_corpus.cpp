// SPDX-License-Identifier: MIT
// Writes the fuzzer's seed packs, made the way the editor makes packs:
//   make_corpus CORPUSDIR [REGRESSIONDIR]
// CORPUSDIR gets three packs built through newlevelpack, selectlevel,
// savebacklevel and writepack. REGRESSIONDIR, when given, gets the hostile
// files, written byte by byte because the editor would never make them.
// The output depends on nothing but this source.

#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "level/levelformat.h"
#include "level/levelstore.h"
#include "level/packfile.h"
#include "tests/core/fakehost.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace tess;
using tess::test::FakeHost;

namespace {

// A fixed-seed generator, so the same packs come out on every machine.
struct Lcg {
    std::uint32_t state;
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

struct Maker {
    std::unique_ptr<LevelStore> store = std::make_unique<LevelStore>();
    EditLayers layers;
    FakeHost host;

    Maker() { newlevelpack(*store, layers, host); }

    // Selects level number (1..111), lets edit change the working copy and
    // the fields, and stores it as the editor does when leaving the level.
    template <typename Edit>
    void level(int number, Edit edit) {
        selectlevel(*store, layers, host, number - 1);
        edit(store->curlevel, host);
        if (!savebacklevel(*store, host)) {
            std::fprintf(stderr, "make_corpus: level %d was not stored\n", number);
            std::exit(1);
        }
    }

    void save(const QString& path) const {
        const FileResult r = writepack(path, store->levelpack);
        if (!r.ok) {
            std::fprintf(stderr, "make_corpus: %s\n", r.error.toLocal8Bit().constData());
            std::exit(1);
        }
    }
};

// Ordinary tiles: everything but the gravity ports in either form.
std::uint8_t plaintile(Lcg& rng) {
    for (;;) {
        const auto c = static_cast<std::uint8_t>(rng.next(40));
        if (!isport1(c)) return c;
    }
}

void putport(LevelRecord& cur, int col, int row, std::uint8_t code) { cur[cellindex(col, row)] = code; }

void writebytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_corpus: cannot write %s\n", path.toLocal8Bit().constData());
        std::exit(1);
    }
}

void makecorpus(const QDir& out) {
    // The pack a new file starts with.
    Maker fresh;
    fresh.save(out.filePath(QStringLiteral("neu.pak")));

    // Varied levels: every ordinary tile, infotrons, both port forms, ports in
    // column 0, Latin-1 titles, gravity and infotrons-needed values.
    Maker varied;
    Lcg rng{20240611u};
    varied.level(1, [&](LevelRecord& cur, FakeHost& host) {
        for (int row = firstrow; row <= lastrow; ++row)
            for (int col = firstcol; col <= lastcol; ++col) cur[cellindex(col, row)] = plaintile(rng);
        putport(cur, 5, 3, 13);
        putport(cur, 6, 3, 41);
        putport(cur, 20, 10, 16);
        putport(cur, 21, 10, 43);
        putport(cur, 0, 7, 14);  // column 0: becomes border, keeps its entry
        putport(cur, 0, 12, 42); // the same with flag 0
        cur[cellindex(30, 15)] |= markbit; // a selected cell when leaving the level
        host.titletext = "Zur\xFC"
                         "ck zum Gr\xF6\xDF"
                         "ten";
        host.infotronsvalue = 37;
        host.gravitybox = true;
    });
    varied.level(2, [&](LevelRecord& cur, FakeHost& host) {
        for (int row = firstrow; row <= lastrow; ++row)
            for (int col = firstcol; col <= lastcol; ++col)
                cur[cellindex(col, row)] = rng.next(3) == 0 ? code_infotron : code_empty;
        for (std::uint8_t code = 40; code <= 43; ++code) putport(cur, 10 + code, 20, code);
        host.titletext = "\xC4\xD6\xDC\xE4\xF6\xFC\xDF"
                         " genau dreiundzwanzig"; // cut to 23 bytes when stored
        host.infotronsvalue = 255;
        host.gravitybox = false;
    });
    varied.level(3, [&](LevelRecord& cur, FakeHost& host) {
        for (int col = firstcol; col <= lastcol; ++col) cur[cellindex(col, 11)] = code_infotron;
        putport(cur, 0, 1, 15);
        putport(cur, 58, 22, 40); // the last scanned cell
        host.titletext = "";
        host.infotronsvalue = 0;
        host.gravitybox = true;
    });
    varied.level(111, [&](LevelRecord& cur, FakeHost& host) {
        for (int i = 0; i < 40; ++i) cur[cellindex(1 + i, 1 + i % 22)] = static_cast<std::uint8_t>(i);
        host.titletext = "Ende";
        host.infotronsvalue = 1;
    });
    varied.save(out.filePath(QStringLiteral("gemischt.pak")));

    // More ports than the table holds, stored after answering yes; and
    // exactly eleven.
    Maker switches;
    switches.host.answer = true;
    switches.level(1, [&](LevelRecord& cur, FakeHost& host) {
        int k = 0;
        for (int row = 2; row <= 20; row += 3)
            for (int col : {0, 9, 33}) {
                const std::uint8_t base = static_cast<std::uint8_t>(13 + k % 4);
                putport(cur, col, row, k % 3 == 0 ? base : base + port_flag0_offset);
                ++k;
            }
        host.titletext = "Viele Schalter";
        host.gravitybox = true;
    });
    switches.level(2, [&](LevelRecord& cur, FakeHost& host) {
        for (int k = 0; k < 11; ++k)
            putport(cur, 3 + 5 * k, 4 + k, static_cast<std::uint8_t>(k % 2 ? 40 + k % 4 : 13 + k % 4));
        host.titletext = "Elf Schalter";
        host.infotronsvalue = 11;
    });
    switches.level(3, [&](LevelRecord& cur, FakeHost& host) {
        for (int k = 0; k < 13; ++k) putport(cur, 40 + k % 19, 1 + k, 42);
        host.titletext = "Dreizehn, alle Flag 0";
    });
    if (switches.host.questions.size() != 2) {
        std::fprintf(stderr, "make_corpus: expected two switch-limit questions\n");
        std::exit(1);
    }
    switches.save(out.filePath(QStringLiteral("schalter.pak")));
}

void makeregressions(const QDir& out) {
    writebytes(out.filePath(QStringLiteral("alle-ff.pak")), QByteArray(packlen, '\xFF'));

    // Odd levels claim 255 switches whose positions lie outside the grid, on
    // its last cell, at odd positions or in column 0, with flag 0, and carry
    // marked ports and garbage behind the table. Even levels have 14 ports
    // and a table that lists the last eleven in reverse scan order with flag
    // 0, so the ports beyond the eleventh stored are flag-0 ports.
    Maker base;
    QByteArray hostile;
    for (const auto& rec : base.store->levelpack)
        hostile.append(reinterpret_cast<const char*>(rec.data()), reclen);
    const int outside[] = {0xFFFF, 2 * cellcount, 2 * cellcount - 1, 2 * cellcount - 2,
                           2 * cellindex(0, 5), 2 * cellindex(0, 5) + 1, 2 * cellindex(59, 9),
                           0, 2 * cellindex(7, 7), 2 * cellindex(7, 7), 0xFFFE};
    for (int i = 0; i < levelcount; ++i) {
        char* rec = hostile.data() + i * reclen;
        auto setentry = [rec](int k, int pos, int flag) {
            const int e = off_switches + switchentrylen * k;
            rec[e] = static_cast<char>(pos >> 8);
            rec[e + 1] = static_cast<char>(pos & 0xFF);
            rec[e + 2] = static_cast<char>(flag);
        };
        if (i % 2 == 1) {
            rec[cellindex(59, 23)] = 13;
            rec[cellindex(0, 5)] = 14;
            rec[cellindex(59, 9)] = 15;
            rec[cellindex(7, 7)] = 16;
            rec[cellindex(8, 7)] = static_cast<char>(markbit | 13);
            rec[cellindex(0, 0)] = 13;
            rec[off_switchcount] = static_cast<char>(0xFF);
            for (int k = 0; k < maxswitches; ++k) {
                setentry(k, outside[k], 0);
                const int e = off_switches + switchentrylen * k;
                for (int b = 3; b < switchentrylen && e + b < reclen; ++b) rec[e + b] = '\x7F';
            }
        } else {
            const int ports = 14;
            for (int p = 0; p < ports; ++p) rec[cellindex(2 + 4 * p, 2 + p)] = static_cast<char>(13 + p % 4);
            rec[cellindex(50, 21)] = 41; // a raw flag-0 code with no entry
            rec[off_switchcount] = maxswitches;
            for (int k = 0; k < maxswitches; ++k)
                setentry(k, 2 * cellindex(2 + 4 * (ports - 1 - k), 2 + ports - 1 - k), 0);
        }
        rec[off_title + 3] = 0; // a title with a zero byte in it
        rec[off_gravity] = static_cast<char>(0x80 + i);
        rec[off_reserved1] = '\x55';
        rec[off_reserved2] = '\x55';
        rec[off_fixedspace] = 0;
    }
    writebytes(out.filePath(QStringLiteral("schalter-ausserhalb.pak")), hostile);

    // One byte short of a pack.
    QByteArray fresh;
    for (const auto& rec : base.store->levelpack)
        fresh.append(reinterpret_cast<const char*>(rec.data()), reclen);
    fresh.chop(1);
    writebytes(out.filePath(QStringLiteral("ein-byte-zu-kurz.pak")), fresh);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_corpus CORPUSDIR [REGRESSIONDIR]\n");
        return 2;
    }
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    if (!corpus.exists() && !QDir().mkpath(corpus.path())) return 1;
    makecorpus(corpus);
    if (argc == 3) {
        const QDir regressions(QString::fromLocal8Bit(argv[2]));
        if (!regressions.exists() && !QDir().mkpath(regressions.path())) return 1;
        makeregressions(regressions);
    }
    return 0;
}
