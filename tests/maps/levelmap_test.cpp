// SPDX-License-Identifier: MIT
// Levels as Tiled maps: byte-exact round trips, the files Tiled itself saved
// (samples/: one foreign level exported, then re-saved by Tiled 1.8.2 with
// each layer format as TMX and JSON), edits winning over foreign bytes field
// by field, and the malformed and hostile files the reader turns away.
#include "level/levelmap.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
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
            const int c = 0x20 + rnd() % 191; // printable Latin-1: no C0, DEL or C1
            StoreFields f{std::int16_t(rnd() % 256), bool(rnd() % 2), std::string(rnd() % 24, char(c < 0x7F ? c : c + 0x21))};
            rec = buildrecord(rec, f).record;
        }
        const QByteArray text = writetmx(recordtomap(rec));
        const LevelMap map = parsed(text);
        ASSERT_EQ(maptorecord(map).record, rec) << "record " << n;
        EXPECT_EQ(!map.hasforeign(), canonical) << "record " << n;
        EXPECT_EQ(writetmx(map), text);
    }
}

TEST(LevelMap, FilesSavedByTiledReadAsTheMapWeWrote) {
    const QByteArray tmx = sample("level.tmx");
    const LevelMap map = parsed(tmx);
    const LevelRecord rec = maptorecord(map).record;
    EXPECT_EQ(writetmx(recordtomap(rec)), tmx);
    EXPECT_EQ(writetsx(), sample("tiles.tsx"));
    for (const char* name : {"level.tmj", "xml.tmx", "base64.tmx", "base64.tmj", "zlib.tmx",
                             "zlib.tmj", "gzip.tmx", "gzip.tmj"})
        EXPECT_TRUE(parsed(sample(name)) == map) << name;
    // Maps exported before titles and switch tables were listed whole list
    // only the bytes that differ; they still come back byte for byte.
    LevelMap landed = map;
    for (ForeignByte& f : landed.foreign)
        if (f.built == f.raw) f = {};
    EXPECT_NE(landed.foreign, map.foreign);
    const QString text = QString::fromUtf8(tmx).replace(foreigntext(map.foreign), foreigntext(landed.foreign));
    EXPECT_EQ(maptorecord(parsed(text.toUtf8())).record, rec);
}

TEST(LevelMap, EditsInTheMapWinOverForeignBytesFieldByField) {
    // Two ports, a marked infotron, hidden title bytes after a zero, gravity
    // 5, a reserved byte and a byte in a switch entry no editor writes.
    LevelRecord cur{};
    cur[cellindex(3, 3)] = code_infotron;
    cur[cellindex(7, 4)] = code_port_first;
    cur[cellindex(9, 6)] = code_port0_first;
    LevelRecord rec = buildrecord(cur, {12, true, "ABC"}).record;
    rec[cellindex(3, 3)] |= markbit;
    std::copy_n("\0XYZ", 4, rec.begin() + off_title + 3);
    rec[off_gravity] = 5;
    rec[off_reserved1] = 0x7F;
    rec[off_switches + 3] = 0x55;
    struct Case {
        const char* what;
        void (*edit)(LevelMap&);
        std::vector<std::pair<int, int>> built; // fields (first, length) that must come out as built
    };
    const Case cases[] = {
        {"untouched", [](LevelMap&) {}, {}},
        {"plain infotron over the marked one", [](LevelMap& m) { m.cells[cellindex(3, 3)] = code_infotron; },
         {{cellindex(3, 3), 1}}},
        {"title renamed", [](LevelMap& m) { m.title = QStringLiteral("ABCDEFG"); }, {{off_title, titlelen}}},
        {"title shortened", [](LevelMap& m) { m.title = QStringLiteral("AB"); }, {{off_title, titlelen}}},
        {"gravity off", [](LevelMap& m) { m.gravity = false; }, {{off_gravity, 1}}},
        {"first port deleted", [](LevelMap& m) { m.cells[cellindex(7, 4)] = code_empty; },
         {{cellindex(7, 4), 1}, {off_switchcount, reclen - off_switchcount}}},
        {"port flag turned", [](LevelMap& m) { m.cells[cellindex(9, 6)] = code_port_first; },
         {{cellindex(9, 6), 1}, {off_switchcount, reclen - off_switchcount}}},
        {"tile painted elsewhere", [](LevelMap& m) { m.cells[cellindex(20, 20)] = 2; }, {{cellindex(20, 20), 1}}},
    };
    for (const Case& c : cases) {
        LevelMap map = parsed(writetmx(recordtomap(rec)));
        c.edit(map);
        const LevelRecord out = maptorecord(map).record;
        map.foreign = {};
        LevelRecord expected = rec;
        for (const auto& [first, len] : c.built)
            std::copy_n(maptorecord(map).record.begin() + first, len, expected.begin() + first);
        EXPECT_EQ(out, expected) << c.what;
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

TEST(LevelMap, HostileFilesAreRefusedNamingTheFile) {
    const auto edited = [](const char* file, const char* from, const QByteArray& to) {
        QByteArray text = sample(file);
        EXPECT_TRUE(text.contains(from)) << file << ": " << from;
        return text.replace(text.indexOf(from), qstrlen(from), to);
    };
    const QByteArray title = "<property name=\"title\" value=\"";
    const QByteArray tileset = "<tileset firstgid=\"1\" source=\"tiles.tsx\"/>";
    const auto embedded = [](const char* name, const char* count) {
        return QByteArray("<tileset firstgid=\"1\" name=\"") + name + "\" tilewidth=\"16\" tileheight=\"16\" tilecount=\"" +
               count + "\" columns=\"16\"><image source=\"tiles.png\" width=\"256\" height=\"256\"/></tileset>";
    };
    QByteArray wrapped = sample("base64.tmx");
    const qsizetype data = wrapped.indexOf("<data encoding=\"base64\">\n   ") + 28;
    for (qsizetype at = wrapped.indexOf('\n', data) - 1; at > data; at -= 76) wrapped.insert(at, "\n ");
    struct Case {
        const char* what;
        QByteArray text; // written to a file of its own, or:
        const char* path;
        const char* fault; // nullptr: read as level.tmx is
    };
    const Case cases[] = {
        {"groups", edited("level.tmx", "</map>", QByteArray("<group>").repeated(65) + QByteArray("</group>").repeated(65) + "</map>"), nullptr, "tiefer als 64 Ebenen"},
        {"arrays", edited("level.tmj", "\"compressionlevel\":-1,", "\"x\":" + QByteArray("[").repeated(65) + QByteArray("]").repeated(65) + ","), nullptr, "tiefer als 64 Ebenen"},
        {"foreign_bytes expanding", edited("level.tmx", "value=\"20:06:84", "value=\"" + QByteArray("0-1535:00:00 ").repeated(60000) + "20:06:84"), nullptr, "Zeichen lang"},
        {"foreign_bytes twice", edited("level.tmx", "value=\"20:06:84", "value=\"1-1535:00:00 20:06:84"), nullptr, "Offset 20 mehr als einmal"},
        {"fifo", {}, "fifo.tmx", "keine gewöhnliche Datei"},
        {"device", {}, "/dev/zero", "keine gewöhnliche Datei"},
        {"too long", sample("level.tmx") + QByteArray(mapfilelimit, ' '), nullptr, "länger als 1048576 Bytes"},
        {"tab in title", edited("level.tmx", title, title + "A&#9;"), nullptr, "Steuerzeichen U+0009"},
        {"U+0000 in title", edited("level.tmj", "\"value\":\"Gr", "\"value\":\"\\u0000"), nullptr, "Steuerzeichen U+0000"},
        {"C1 in title", edited("level.tmj", "\"value\":\"Gr", "\"value\":\"\\u0085"), nullptr, "Steuerzeichen U+0085"},
        {"title of a million", edited("level.tmx", title, title + QByteArray(1000000, 'A')), nullptr, "„AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA…“ hat 1000021 Zeichen"},
        {"JSON title of a million", edited("level.tmj", "\"value\":\"Gr", "\"value\":\"" + QByteArray(1000000, 'A') + "Gr"), nullptr, "hat 1000021 Zeichen"},
        {"Greek title of a million", edited("level.tmj", "\"value\":\"Gr", "\"value\":\"" + QByteArray(1000000, 'A') + "\\u03a9"), nullptr, "außerhalb von Latin-1"},
        {"other tileset", edited("level.tmx", "tiles.tsx", "fremd.tsx"), nullptr, "Tileset „fremd.tsx“ statt tiles.tsx"},
        {"other embedded tileset", edited("level.tmx", tileset, embedded("fremd", "256")), nullptr, "Tileset „fremd“"},
        {"embedded, other count", edited("level.tmx", tileset, embedded("tiles", "100")), nullptr, "100 Kacheln statt 256"},
        {"too many cells", edited("level.tmx", "\n</data>", QByteArray(",1").repeated(100000) + "\n</data>"), nullptr, "mehr als 1440 Zellen"},
        {"embedded, ours", edited("level.tmx", tileset, embedded("tiles", "256")), nullptr, nullptr},
        {"base64 in lines", wrapped, nullptr, nullptr},
        {"JSON string without type", edited("level.tmj", "\"name\":\"title\",\n         \"type\":\"string\",", "\"name\":\"title\","), nullptr, nullptr},
    };
    const LevelRecord rec = maptorecord(parsed(sample("level.tmx"))).record;
    QTemporaryDir dir;
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.tmx"))).constData(), 0600), 0);
    // The floor: reading a valid map of nearly the size limit, in this run.
    const QString large = dir.filePath(QStringLiteral("gross.tmx"));
    QFile floorfile(large);
    ASSERT_TRUE(floorfile.open(QIODevice::WriteOnly) && floorfile.write(sample("level.tmx").leftJustified(mapfilelimit, ' ')) > 0);
    floorfile.close();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(readlevelmap(large).ok);
    const qint64 floor = std::max<qint64>(clock.nsecsElapsed(), 1000000);
    for (const Case& c : cases) {
        const QString path = c.path ? QDir(dir.path()).absoluteFilePath(QString::fromUtf8(c.path)) : dir.filePath(QStringLiteral("karte.tmx"));
        QFile f(path);
        if (!c.path) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(c.text) == c.text.size() && f.flush());
        }
        clock.start();
        const MapImport r = readlevelmap(path);
        // Quick, and quoting no more of the file than a line of a message box holds.
        EXPECT_LT(clock.nsecsElapsed(), 20 * floor) << c.what;
        EXPECT_LT(QString(r.error).remove(path).size(), 200) << c.what << ": " << r.error.left(300).toStdString();
        EXPECT_EQ(r.ok, !c.fault) << c.what << ": " << r.error.toStdString();
        if (!c.fault) EXPECT_EQ(r.built.record, rec) << c.what;
        else EXPECT_TRUE(r.error.startsWith(QStringLiteral("Die Datei „%1“ ").arg(path)) && r.error.contains(QString::fromUtf8(c.fault)))
            << c.what << ": " << r.error.toStdString();
    }
}
