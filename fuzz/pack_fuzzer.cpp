// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a pack file, put through what a user does
// with a pack. The bytes are written to a file and loaded; a loaded pack has
// every level selected and stored once, is saved and loaded again, and then
// every level is selected and stored twice more. After each store the stored
// record must have the shape a stored record always has, and storing again
// must not change it.

#include "edit/editlayers.h"
#include "edit/levelselect.h"
#include "level/levelformat.h"
#include "level/levelstore.h"
#include "level/packfile.h"
#include "tests/core/fakehost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace tess;

namespace {

[[noreturn]] void fail(const char* what, int level) {
    if (level >= 0)
        std::fprintf(stderr, "pack_fuzzer: level %d: %s\n", level + 1, what);
    else
        std::fprintf(stderr, "pack_fuzzer: %s\n", what);
    std::abort();
}

void check(bool ok, const char* what, int level = -1) {
    if (!ok) fail(what, level);
}

struct State {
    // Files go to /dev/shm when there is one: storing a pack syncs it to
    // disk, and on a disk-backed temp folder that sync alone would cost more
    // than all the rest of an input.
    QTemporaryDir dir{QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                          ? QStringLiteral("/dev/shm/tess-fuzz-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/tess-fuzz-XXXXXX")};
    QString infile = dir.filePath(QStringLiteral("eingabe.pak"));
    QString outfile = dir.filePath(QStringLiteral("gespeichert.pak"));
    LevelStore store;
    EditLayers layers;
    test::FakeHost host; // answers yes to the switch-limit question
    LevelPack sentinel;
    LevelPack r1;
    LevelPack reread;

    State() {
        check(dir.isValid(), "cannot create a temporary folder");
        for (auto& rec : sentinel) rec.fill(0xA5);
        host.answer = true;
    }
};

State* current = nullptr;

State& state() {
    // Never destroyed, as libFuzzer may leave through exit() at any time;
    // only the temporary folder is removed on the way out.
    if (!current) {
        current = new State;
        std::atexit([] { current->dir.remove(); });
    }
    return *current;
}

bool hascolumn0entry(const LevelRecord& rec) {
    for (int k = 0; k < rec[off_switchcount] && k < maxswitches; ++k) {
        const int e = off_switches + switchentrylen * k;
        const int cell = ((rec[e] << 8) | rec[e + 1]) >> 1;
        if (cell % gridcols == 0) return true;
    }
    return false;
}

// What every record that storing writes looks like, whatever was selected.
// Returns what is wrong, or nullptr.
const char* storedshapefault(const LevelRecord& rec) {
    for (int i = 0; i < cellcount; ++i) {
        if (rec[i] & markbit) return "a stored tile keeps the selection mark";
        if (isport0(rec[i])) return "a stored tile is an editor-only port code 40..43";
    }
    for (int col = 0; col < gridcols; ++col)
        for (int row = 0; row < gridrows; ++row)
            if (isbordercell(col, row) && rec[cellindex(col, row)] != code_border)
                return "the border ring is not code 6";
    if (rec[off_switchcount] > maxswitches) return "more than 11 switches stored";
    for (int i = 0; i < 4; ++i)
        if (rec[off_reserved1 + i] != 0) return "reserved bytes 1440..1443 not zero";
    if (rec[off_reserved2] != 0) return "reserved byte 1469 not zero";
    if (rec[off_fixedspace] != 0x20) return "byte 1445 is not 0x20";
    if (rec[off_gravity] > 1) return "gravity byte is neither 0 nor 1";

    // The switch table: entries in scan order, inside the scanned area,
    // flag 0 or 1, then zero bytes to the end of the record.
    const int count = rec[off_switchcount];
    int previous = -1;
    for (int k = 0; k < count; ++k) {
        const int e = off_switches + switchentrylen * k;
        const int pos = (rec[e] << 8) | rec[e + 1];
        if (pos % 2 != 0) return "a switch position is odd";
        const int cell = pos / 2;
        const int col = cell % gridcols, row = cell / gridcols;
        if (row < firstrow || row > lastrow || col > lastcol)
            return "a switch lies outside the scanned area";
        if (cell <= previous) return "switch entries are not in scan order";
        previous = cell;
        if (rec[e + 2] > 1) return "a switch flag is neither 0 nor 1";
        // A port in column 0 has become border; any other entry points at a port.
        if (col != 0 && !isport1(rec[cell])) return "a switch entry points at no port";
        for (int b = 3; b < switchentrylen && e + b < reclen; ++b)
            if (rec[e + b] != 0) return "unused switch entry bytes not zero";
    }
    for (int i = off_switches + switchentrylen * count; i < reclen; ++i)
        if (rec[i] != 0) return "bytes after the switch table not zero";

    // No port is left out: a table that is not full lists every port, a full
    // one every port up to its last entry.
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const int cell = cellindex(col, row);
            if (!isport1(rec[cell])) continue;
            if (count == maxswitches && cell > previous) continue;
            bool found = false;
            for (int k = 0; k < count && !found; ++k) {
                const int e = off_switches + switchentrylen * k;
                found = ((rec[e] << 8) | rec[e + 1]) / 2 == cell;
            }
            if (!found) return "a port is missing from the switch table";
        }
    return nullptr;
}

void checkstored(const LevelRecord& rec, int level) {
    if (const char* why = storedshapefault(rec)) fail(why, level);
}

// The first store of a record read from the file keeps its tiles (marks
// cleared, flag-0 ports back to 13..16) and its properties as the fields show them.
void checkfirststore(const LevelRecord& file, const LevelRecord& stored, int level) {
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            std::uint8_t v = file[cellindex(col, row)] & static_cast<std::uint8_t>(~markbit);
            if (isport0(v)) v -= port_flag0_offset;
            check(stored[cellindex(col, row)] == v, "an interior tile changed on storing", level);
        }
    int titleend = 0;
    while (titleend < titlelen && file[off_title + titleend] != 0) ++titleend;
    for (int i = 0; i < titlelen; ++i)
        check(stored[off_title + i] == (i < titleend ? file[off_title + i] : ' '),
              "the title changed on storing", level);
    check(stored[off_infotrons] == file[off_infotrons], "infotrons needed changed on storing",
          level);
    check(stored[off_gravity] == (file[off_gravity] != 0 ? 1 : 0), "gravity changed on storing",
          level);
}

void selectandstore(State& s, int level) {
    selectlevel(s.store, s.layers, s.host, level);
    check(s.store.levelnr == level && s.host.number == level + 1, "wrong level selected", level);
    const std::size_t asked = s.host.questions.size();
    check(savebacklevel(s.store, s.host), "storing failed although the answer was yes", level);
    // The question comes only when there were more ports than the table holds.
    if (s.host.questions.size() != asked)
        check(s.store.levelpack[level][off_switchcount] == maxswitches,
              "asked about the switch limit with fewer than 11 switches", level);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    State& s = state();
    s.host.questions.clear();

    {
        QFile f(s.infile);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input file");
        check(f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                  static_cast<qint64>(size),
              "cannot write the input file");
    }

    // A load starts from a pack that differs from every file, so that any
    // byte a failed or short load leaves behind is seen.
    s.store.levelpack = s.sentinel;
    const FileResult loaded = readpack(s.infile, s.store.levelpack);
    if (size < static_cast<std::size_t>(packlen)) {
        check(!loaded.ok, "a short file was loaded");
        check(!loaded.error.isEmpty(), "a short file was refused without a message");
        check(s.store.levelpack == s.sentinel, "a short file changed the pack");
        return 0;
    }
    check(loaded.ok && loaded.error.isEmpty(), "a file of pack length was not loaded");
    for (int i = 0; i < levelcount; ++i)
        check(std::memcmp(s.store.levelpack[i].data(), data + std::size_t(i) * reclen, reclen) ==
                  0,
              "the loaded record differs from the file", i);

    // First store of every level: R1.
    for (int i = 0; i < levelcount; ++i) {
        selectandstore(s, i);
        const LevelRecord& r1 = s.store.levelpack[i];
        checkstored(r1, i);
        LevelRecord file;
        std::memcpy(file.data(), data + std::size_t(i) * reclen, reclen);
        checkfirststore(file, r1, i);
        // A record the editor itself stored comes back unchanged, as long as
        // it has no column-0 entry (see below) and no zero byte in its title
        // (the title field ends at a zero byte, storing pads with spaces).
        if (!storedshapefault(file) && !hascolumn0entry(file) &&
            std::memchr(file.data() + off_title, 0, titlelen) == nullptr)
            check(r1 == file, "a record in stored form changed when selected and stored", i);
    }
    s.r1 = s.store.levelpack;

    // Save and load: the same pack comes back.
    const FileResult saved = writepack(s.outfile, s.store.levelpack);
    check(saved.ok && saved.error.isEmpty(), "saving the pack failed");
    s.reread = s.sentinel;
    const FileResult reloaded = readpack(s.outfile, s.reread);
    check(reloaded.ok, "loading the saved pack failed");
    check(s.reread == s.r1, "the saved pack loads differently");

    // Second and third store: R2 from selecting R1, R3 from selecting R2.
    for (int i = 0; i < levelcount; ++i) {
        selectandstore(s, i);
        const LevelRecord r2 = s.store.levelpack[i];
        // A port in column 0 keeps its table entry on the first store, while
        // the border ring written after the scan turns its cell into code 6.
        // Selected again, that cell is no port, so the next store drops the
        // entry. Only such a record may change on its second store.
        if (r2 != s.r1[i]) {
            check(hascolumn0entry(s.r1[i]), "storing a stored record again changed it", i);
            checkstored(r2, i); // an unchanged R2 was checked as R1
        }
        selectandstore(s, i);
        const LevelRecord& r3 = s.store.levelpack[i];
        check(r3 == r2, "storing a level selected from a stored record changed it", i);
    }
    return 0;
}
