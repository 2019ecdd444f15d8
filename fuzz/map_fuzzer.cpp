// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a level map, TMX or (starting with '{')
// JSON. A refused map must be refused with a message naming the file; a
// map the reader takes must hold a title without control characters, and
// its record, exported and read back, must come back byte for byte.

#include "level/levelformat.h"
#include "level/levelmap.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tess;

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "map_fuzzer: %s\n", what);
    std::abort();
}

const QString name = QStringLiteral("fuzz.tmx");

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // readlevelmap never hands the reader more than this.
    if (size > std::size_t(mapfilelimit)) return 0;
    const MapRead read = parsemap(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), name);
    if (!read.ok) {
        check(read.error.startsWith(QStringLiteral("Die Datei „fuzz.tmx“ ist keine gültige Karte: ")),
              "a refused map without the file named");
        return 0;
    }
    const QString& title = read.map.title;
    check(title.size() <= titlelen, "a title longer than 23 characters");
    check(std::none_of(title.begin(), title.end(),
                       [](QChar c) { return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0) || c.unicode() > 0xFF; }),
          "a title with a control character or past Latin-1");
    const LevelRecord rec = maptorecord(read.map).record;
    const MapRead again = parsemap(writetmx(recordtomap(rec)), name);
    check(again.ok, "the exported map of a read record is refused");
    check(maptorecord(again.map).record == rec, "export and import changed the record");
    return 0;
}
