// SPDX-License-Identifier: MIT
// Level maps as files: the hostile files the desktop's reader turns away,
// quickly and naming the file (the map format itself: mapformat_test.cpp).
#include "level/levelmap.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>

using namespace tess;

namespace {

QByteArray sample(const char* name) {
    QFile f(QStringLiteral(TESS_MAP_SAMPLES "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

LevelMap parsed(const QByteArray& text) {
    const MapRead r = parsemap(text.toStdString(), "x.tmx");
    EXPECT_TRUE(r.ok) << r.error;
    return r.map;
}

} // namespace

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
