// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a level map, TMX or (starting with '{')
// JSON. A refused map must be refused with a message naming the file; a
// map the reader takes must hold a title without control characters, and
// its record, exported and read back, must come back byte for byte.

#include "level/levelformat.h"
#include "level/mapformat.h"

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

constexpr const char* name = "fuzz.tmx";

// The title's characters as UTF-16 units count them; false past Latin-1 or
// at a control character.
bool printablelatin1(const std::string& utf8, int& length) {
    length = 0;
    for (std::size_t i = 0; i < utf8.size(); ++length) {
        const unsigned char b = utf8[i];
        if (b >= 0x80 && (b < 0xC2 || b > 0xC3 || i + 1 >= utf8.size())) return false;
        const unsigned c = b < 0x80 ? b : (b & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
        i += b < 0x80 ? 1 : 2;
        if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // readlevelmap never hands the reader more than this.
    if (size > std::size_t(mapfilelimit)) return 0;
    const MapRead read = parsemap(std::string_view(reinterpret_cast<const char*>(data), size), name);
    if (!read.ok) {
        check(read.error.rfind("Die Datei „fuzz.tmx“ ist keine gültige Karte: ", 0) == 0,
              "a refused map without the file named");
        return 0;
    }
    int length = 0;
    check(printablelatin1(read.map.title, length), "a title with a control character or past Latin-1");
    check(length <= titlelen, "a title longer than 23 characters");
    const LevelRecord rec = maptorecord(read.map).record;
    const MapRead again = parsemap(writetmx(recordtomap(rec)), name);
    check(again.ok, "the exported map of a read record is refused");
    check(maptorecord(again.map).record == rec, "export and import changed the record");
    return 0;
}
