// SPDX-License-Identifier: MIT
// Levels as Tiled maps in the core, natively and in WebAssembly: byte-exact
// round trips, the files Tiled itself saved (samples/: one foreign level
// exported, then re-saved by Tiled 1.8.2 with each layer format as TMX and
// JSON), edits winning over foreign bytes field by field, and the malformed
// maps the reader turns away.
#include "level/mapformat.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <utility>
#include <vector>

using namespace tess;

namespace {

std::string sample(const char* name) {
    std::ifstream in(std::string(TESS_MAP_SAMPLES "/") + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

LevelMap parsed(const std::string& text) {
    const MapRead r = parsemap(text, "x.tmx");
    EXPECT_TRUE(r.ok) << r.error;
    return r.map;
}

} // namespace

TEST(MapFormat, RecordsComeBackByteForByteThroughTheFile) {
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
        const std::string text = writetmx(recordtomap(rec));
        const LevelMap map = parsed(text);
        ASSERT_EQ(maptorecord(map).record, rec) << "record " << n;
        EXPECT_EQ(!map.hasforeign(), canonical) << "record " << n;
        EXPECT_EQ(writetmx(map), text);
    }
}

TEST(MapFormat, FilesSavedByTiledReadAsTheMapWeWrote) {
    const std::string tmx = sample("level.tmx");
    const LevelMap map = parsed(tmx);
    const LevelRecord rec = maptorecord(map).record;
    EXPECT_EQ(writetmx(recordtomap(rec)), tmx);
    EXPECT_EQ(writetsx(), sample("tiles.tsx"));
    // What other tools write around the same map: a byte order mark, CRLF,
    // comments, a CDATA section.
    std::string crlf;
    for (const char c : tmx) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string cdata = tmx;
    cdata.replace(cdata.find("csv\">") + 5, 0, "<!-- Zeilen --><![CDATA[").replace(cdata.find("</data>"), 0, "]]>");
    for (const std::string& text : {"\xEF\xBB\xBF" + crlf, cdata}) EXPECT_TRUE(parsed(text) == map);
    for (const char* name : {"level.tmj", "xml.tmx", "base64.tmx", "base64.tmj", "zlib.tmx", "zlib.tmj", "gzip.tmx", "gzip.tmj"})
        EXPECT_TRUE(parsed(sample(name)) == map) << name;
    // Maps exported before titles and switch tables were listed whole list
    // only the bytes that differ; they still come back byte for byte.
    LevelMap landed = map;
    for (ForeignByte& f : landed.foreign)
        if (f.built == f.raw) f = {};
    EXPECT_NE(landed.foreign, map.foreign);
    std::string text = tmx;
    const std::string listed = foreigntext(map.foreign);
    text.replace(text.find(listed), listed.size(), foreigntext(landed.foreign));
    EXPECT_EQ(maptorecord(parsed(text)).record, rec);
}

TEST(MapFormat, EditsInTheMapWinOverForeignBytesFieldByField) {
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
        {"title renamed", [](LevelMap& m) { m.title = "ABCDEFG"; }, {{off_title, titlelen}}},
        {"title shortened", [](LevelMap& m) { m.title = "AB"; }, {{off_title, titlelen}}},
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

TEST(MapFormat, MalformedMapsAreRejectedNamingTheFault) {
    struct Case {
        const char* file;
        std::vector<std::pair<std::string, std::string>> edits; // the first of each replaced
        const char* fault;
    };
    const std::string csv = "csv\">\n", cells = csv + std::string(sample("level.tmx"), sample("level.tmx").find(csv) + 6, 1200);
    const auto cell = [&cells, &csv](int index, const std::string& to) { // the index-th number of the layer, replaced
        std::size_t at = csv.size();
        for (int i = 0; i < index; ++i) at = cells.find(',', at) + 1;
        return std::pair(cells.substr(0, cells.find(',', at)), cells.substr(0, at) + to);
    };
    std::string manyattributes = "name=\"Level\"";
    for (int i = 0; i < 64; ++i) manyattributes += " a" + std::to_string(i) + "=\"\"";
    const Case cases[] = {
        {"level.tmx", {{"right-down\" width=\"60\"", "right-down\" width=\"61\""}}, "61 × 24 Kacheln"},
        {"level.tmx", {{"infinite=\"0\"", "infinite=\"1\""}}, "unendlich"},
        {"level.tmx", {{"orthogonal", "isometric"}}, "nicht orthogonal, sondern „isometric“"},
        {"level.tmx", {{"<layer id", "<imagelayer id"}, {"</layer>", "</imagelayer>"}}, "keine Kachelebene"},
        {"level.tmx", {{"</layer>", "</layer><layer width=\"60\" height=\"24\"/>"}}, "2 Kachelebenen"},
        {"level.tmx", {{"firstgid=\"1\"", "firstgid=\"2\""}}, "bei gid 2"},
        {"level.tmx", {cell(cellindex(12, 3), "0")}, "Zelle 12,3 ist leer (gid 0)"},
        {"level.tmx", {cell(0, "2147483655")}, "Zelle 0,0 ist gespiegelt"},
        {"level.tmx", {cell(1, "300")}, "Zelle 1,0 hat gid 300"},
        {"level.tmx", {{csv + "7,", csv}}, "1439 Zellen"},
        {"level.tmx", {{csv + "7,", csv + "7x,"}}, "„7x“ ist keine Zahl"},
        {"level.tmx", {{"\"gravity\" type=\"bool\"", "\"gravity\" type=\"int\""}}, "„gravity“ hat den Typ „int“"},
        {"level.tmx", {{"\"title\" value=\"", "\"title\" value=\"ABCDEFGHIJKLMNOPQRSTUVWX"}}, "hat 45 Zeichen"},
        {"level.tmx", {{"\"title\" value=\"", "\"title\" value=\"Ω"}}, "außerhalb von Latin-1"},
        {"level.tmx", {{"value=\"228\"", "value=\"256\""}}, "0 bis 255"},
        {"level.tmx", {{"value=\"20:06:84", "value=\"1536:00:01"}}, "bei „1536:00:01“"},
        {"level.tmx", {{"</map>", ""}}, "XML-Fehler in Zeile 39, Spalte 1: Das Dokument endet vorzeitig."},
        {"level.tmx", {{"</properties>", "</property>"}}, "End-Tag </property>"},
        {"level.tmx", {{"&amp;", "&nbsp;"}}, "Verweis „&nbsp;“"},
        {"level.tmx", {{"Grüße", "Gr\xFC\xDF" "e"}}, "Zeile 7, Spalte 35: Das Zeichen ist in XML nicht erlaubt"},
        {"level.tmx", {{"?>\n", "?>\n<!DOCTYPE map [<!ENTITY a \"b\">]>\n"}}, "DOCTYPE"},
        {"level.tmx", {{"UTF-8", "ISO-8859-1"}}, "„ISO-8859-1“ wird nicht gelesen"},
        {"level.tmx", {{"name=\"Level\"", "name=\"Level\" name=\"x\""}}, "Attribut „name“ steht zweimal"},
        {"level.tmx", {{"name=\"Level\"", manyattributes}}, "mehr als 64 Attribute"},
        {"xml.tmx", {{"<tile gid=\"7\"/>", "<tile/>"}}, "Zelle 0,0 ist leer (gid 0)"},
        {"zlib.tmx", {{"compression=\"zlib\"", "compression=\"zstd\""}}, "„zstd“ wird nicht unterstützt"},
        {"zlib.tmx", {{"compression=\"zlib\"", "compression=\"gzip\""}}, "gzip-Daten"},
        {"zlib.tmx", {{"Vzg==", "Vzw=="}}, "zlib-Daten"},
        {"base64.tmx", {{"\n   BwAA", "\n   !wAA"}}, "base64-Daten"},
        {"level.tmj", {{"\"data\":[7", "\"data\":[0"}}, "Zelle 0,0 ist leer (gid 0)"},
        {"level.tmj", {{"\"height\":24", "\"height\":23"}}, "60 × 23 Kacheln"},
        {"level.tmj", {{"\"name\":\"title\",\n         \"type\":\"string\"", "\"name\":\"title\",\n         \"type\":\"int\""}}, "„title“ hat den Typ „int“"},
        {"level.tmj", {{"\"width\":60\n}", "\"width\":60\n"}}, "JSON-Fehler"},
        {"gzip.tmj", {{"\"compression\":\"gzip\"", "\"compression\":\"zstd\""}}, "„zstd“ wird nicht unterstützt"},
    };
    for (const Case& c : cases) {
        std::string text = sample(c.file);
        for (const auto& [from, to] : c.edits) {
            const std::size_t at = text.find(from);
            ASSERT_NE(at, text.npos) << c.fault << ": " << from;
            text.replace(at, from.size(), to);
        }
        const MapRead r = parsemap(text, "/karten/level007.tmx");
        EXPECT_FALSE(r.ok) << c.fault;
        EXPECT_EQ(r.error.rfind("Die Datei „/karten/level007.tmx“ ist keine gültige Karte: ", 0), 0u) << r.error;
        EXPECT_NE(r.error.find(c.fault), std::string::npos) << r.error;
    }
}
