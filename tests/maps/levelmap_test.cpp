// SPDX-License-Identifier: MIT
// Levels as Tiled maps: byte-exact round trips, the files Tiled itself saved
// (samples/: one foreign level exported, then re-saved by Tiled 1.8.2 with
// each layer format as TMX and JSON), edits winning over foreign bytes, and
// the malformed maps the reader turns away.
#include "level/levelmap.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include <random>

using namespace tess;

namespace {

QByteArray sample(const char* name) {
    QFile f(QStringLiteral(TESS_MAP_SAMPLES "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

LevelMap parsed(const QByteArray& text) {
    const MapRead r = parsemap(text, QStringLiteral("x.tmx"));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r.map;
}

} // namespace

TEST(LevelMap, RecordsComeBackByteForByteThroughTheFile) {
    std::mt19937 rnd(7);
    for (int n = 0; n < 600; ++n) {
        LevelRecord rec{};
        for (auto& b : rec) b = std::uint8_t(rnd());
        const bool canonical = n % 2;
        if (canonical) {
            // What the editor writes from its palette and title field. A port
            // in column 0 would keep an entry that the next store drops.
            for (int i = 0; i < cellcount; ++i)
                rec[i] = std::uint8_t(i % gridcols ? rec[i] % tilecodecount : code_border);
            StoreFields f{std::int16_t(rnd() % 256), bool(rnd() % 2), std::string(rnd() % 24, char(0x20 + rnd() % 224))};
            rec = buildrecord(rec, f).record;
        }
        const QByteArray text = writetmx(recordtomap(rec));
        const LevelMap map = parsed(text);
        ASSERT_EQ(maptorecord(map).record, rec) << "record " << n;
        EXPECT_EQ(map.foreign.empty(), canonical) << "record " << n;
        EXPECT_EQ(writetmx(map), text);
    }
}

TEST(LevelMap, FilesSavedByTiledReadAsTheMapWeWrote) {
    const QByteArray tmx = sample("level.tmx");
    const LevelMap map = parsed(tmx);
    EXPECT_EQ(writetmx(recordtomap(maptorecord(map).record)), tmx);
    EXPECT_EQ(writetsx(), sample("tiles.tsx"));
    for (const char* name : {"level.tmj", "xml.tmx", "base64.tmx", "base64.tmj", "zlib.tmx",
                             "zlib.tmj", "gzip.tmx", "gzip.tmj"})
        EXPECT_TRUE(parsed(sample(name)) == map) << name;
}

TEST(LevelMap, EditsInTheMapWinOverForeignBytes) {
    LevelRecord rec = maptorecord(parsed(sample("level.tmx"))).record;
    rec[off_gravity] = 5;
    rec[cellindex(3, 3)] = markbit | 4;
    rec[off_reserved1] = 0x7F;
    struct Case {
        const char* what;
        void (*edit)(LevelMap&);
        int offset;
        int expected;
    };
    const Case cases[] = {
        {"untouched", [](LevelMap&) {}, off_gravity, 5},
        {"gravity off", [](LevelMap& m) { m.gravity = false; }, off_gravity, 0},
        {"cell painted", [](LevelMap& m) { m.cells[cellindex(3, 3)] = 2; }, cellindex(3, 3), 2},
        {"cell painted, reserved kept", [](LevelMap& m) { m.cells[cellindex(3, 3)] = 2; }, off_reserved1, 0x7F},
        {"port added", [](LevelMap& m) { m.cells[cellindex(0, 1)] = code_port0_first; }, off_switches + 2, 0},
    };
    for (const Case& c : cases) {
        LevelMap map = recordtomap(rec);
        c.edit(map);
        EXPECT_EQ(maptorecord(map).record[c.offset], c.expected) << c.what;
    }
}

TEST(LevelMap, MalformedMapsAreRejectedNamingTheFault) {
    struct Case {
        const char* file;
        const char* pattern; // its first group is replaced
        const char* replacement;
        const char* fault;
    };
    const Case cases[] = {
        {"level.tmx", "<map [^>]*width=\"(60)\"", "61", "61 × 24 Kacheln"},
        {"level.tmx", "infinite=\"(0)\"", "1", "unendlich"},
        {"level.tmx", "orientation=\"(orthogonal)\"", "isometric", "nicht orthogonal"},
        {"level.tmx", "(<layer.*</layer>)", "", "keine Kachelebene"},
        {"level.tmx", "(</layer>)", "</layer><layer width=\"60\" height=\"24\"/>", "2 Kachelebenen"},
        {"level.tmx", "firstgid=\"(1)\"", "2", "bei gid 2"},
        {"level.tmx", "csv\">\n(?:[^\n]*\n){3}(?:\\d+,){12}(\\d+)", "0", "Zelle 12,3 ist leer (gid 0)"},
        {"level.tmx", "csv\">\n(\\d+)", "2147483655", "Zelle 0,0 ist gespiegelt"},
        {"level.tmx", "csv\">\n\\d+,(\\d+)", "300", "Zelle 1,0 hat gid 300"},
        {"level.tmx", "csv\">\n(\\d+,)", "", "1439 Zellen"},
        {"level.tmx", "\"gravity\" type=\"(bool)\"", "int", "„gravity“ hat den Typ „int“"},
        {"level.tmx", "\"title\" value=\"([^\"]*)\"", "ABCDEFGHIJKLMNOPQRSTUVWX", "24 Zeichen"},
        {"level.tmx", "\"title\" value=\"([^\"]*)\"", "Ωmega", "außerhalb von Latin-1"},
        {"level.tmx", "\"infotrons_needed\" type=\"int\" value=\"(\\d+)\"", "256", "0 bis 255"},
        {"level.tmx", "\"foreign_bytes\" value=\"([^ ]*)", "1536:00:01", "bei „1536:00:01“"},
        {"level.tmx", "(</map>)", "", "XML-Fehler"},
        {"xml.tmx", "(<tile gid=\"\\d+\"/>)", "<tile/>", "Zelle 0,0 ist leer (gid 0)"},
        {"zlib.tmx", "compression=\"(zlib)\"", "zstd", "„zstd“ wird nicht unterstützt"},
        {"zlib.tmx", "compression=\"(zlib)\"", "gzip", "gzip-Daten"},
        {"base64.tmx", "<data[^>]*>\\s*(\\w)", "!", "base64-Daten"},
        {"level.tmj", "\"data\":\\[(\\d+)", "0", "Zelle 0,0 ist leer (gid 0)"},
        {"level.tmj", "\"height\":(24)", "23", "60 × 23 Kacheln"},
        {"level.tmj", "\"name\":\"title\",\\s*\"type\":\"(string)\"", "int", "„title“ hat den Typ „int“"},
        {"level.tmj", "(\\}\\s*)$", "", "JSON-Fehler"},
        {"gzip.tmj", "\"compression\":\"(gzip)\"", "zstd", "„zstd“ wird nicht unterstützt"},
    };
    for (const Case& c : cases) {
        QString text = QString::fromUtf8(sample(c.file));
        const auto m = QRegularExpression(QString::fromUtf8(c.pattern),
                                          QRegularExpression::DotMatchesEverythingOption)
                           .match(text);
        ASSERT_TRUE(m.hasMatch()) << c.pattern;
        text.replace(m.capturedStart(1), m.capturedLength(1), QString::fromUtf8(c.replacement));
        const MapRead r = parsemap(text.toUtf8(), QStringLiteral("/karten/level007.tmx"));
        EXPECT_FALSE(r.ok) << c.fault;
        EXPECT_TRUE(r.error.startsWith(QStringLiteral("Die Datei „/karten/level007.tmx“ ist keine gültige Karte: ")));
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.fault))) << r.error.toStdString();
    }
}
