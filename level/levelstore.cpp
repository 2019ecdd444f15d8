// SPDX-License-Identifier: MIT
#include "level/levelstore.h"


#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tess {

std::string newleveltitle(int number) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "-------LEVEL-%03d-------", number);
    return buf;
}

LevelRecord newpacklevel(int number) {
    LevelRecord rec{};
    rec[off_fixedspace] = 0x20;
    const std::string t = newleveltitle(number);
    std::copy_n(t.begin(), titlelen, rec.begin() + off_title);
    return rec;
}

void newlevels(LevelStore& store) {
    for (int i = 0; i < levelcount; ++i) store.levelpack[i] = newpacklevel(i + 1);
}

void decodeswitches(LevelRecord& rec) {
    const int count = std::min<int>(rec[off_switchcount], maxswitches);
    for (int k = 0; k < count; ++k) {
        const int e = off_switches + switchentrylen * k;
        const int cell = ((rec[e] << 8) | rec[e + 1]) >> 1;
        if (cell >= cellcount || rec[e + 2] != 0) continue;
        // Only a port can carry flag 0; adding 27 to anything else would
        // make a byte with no picture that changes the tile when stored.
        if (isport1(rec[cell])) rec[cell] += port_flag0_offset;
    }
}

void loadlevel(LevelStore& store, LevelHost& host, int index) {
    store.levelnr = index;
    store.curlevel = store.levelpack[index];
    auto& cur = store.curlevel;
    decodeswitches(cur);
    host.setlevelnumber(index + 1);
    host.settitle(std::string(cur.begin() + off_title, cur.begin() + off_title + titlelen));
    host.setinfotronsneeded(cur[off_infotrons]);
    host.setcounter(countertext(countinfotrons(cur)));
    host.setgravity(cur[off_gravity] != 0);
}

BuiltRecord buildrecord(const LevelRecord& curlevel, const StoreFields& fields) {
    BuiltRecord out;
    auto& rec = out.record;
    rec = curlevel;
    for (int i = 0; i < cellcount; ++i) rec[i] &= static_cast<std::uint8_t>(~markbit);
    std::fill(rec.begin() + off_switches, rec.end(), 0);

    // Column 0 is scanned, column 59 is not; entries follow scan order.
    int n = 0;
    for (int row = 1; row <= 22; ++row) {
        for (int col = 0; col <= 58; ++col) {
            auto& cell = rec[cellindex(col, row)];
            const bool flag1 = isport1(cell);
            if (!flag1 && !isport0(cell)) continue;
            if (n < maxswitches) {
                const int pos = cellindex(col, row) * 2;
                const int e = off_switches + switchentrylen * n;
                rec[e] = static_cast<std::uint8_t>(pos >> 8);
                rec[e + 1] = static_cast<std::uint8_t>(pos & 0xFF);
                rec[e + 2] = flag1 ? 1 : 0;
            }
            if (!flag1) cell -= port_flag0_offset;
            ++n;
        }
    }
    out.switchesfound = n;

    rec[off_switchcount] = static_cast<std::uint8_t>(std::min(n, maxswitches));
    rec[off_infotrons] = static_cast<std::uint8_t>(fields.infotronsneeded & 0xFF);
    rec[off_gravity] = fields.gravity ? 1 : 0;
    const std::size_t tl = std::min<std::size_t>(fields.title.size(), titlelen);
    std::fill_n(rec.begin() + off_title, titlelen, ' ');
    std::copy_n(fields.title.begin(), tl, rec.begin() + off_title);
    std::fill_n(rec.begin() + off_reserved1, 4, 0);
    rec[off_reserved2] = 0;
    rec[off_fixedspace] = 0x20;

    // The border ring is written after the scan, so a port found in column 0
    // keeps its entry although its cell becomes a border tile.
    for (int col = 0; col < gridcols; ++col) {
        rec[cellindex(col, 0)] = code_border;
        rec[cellindex(col, gridrows - 1)] = code_border;
    }
    for (int row = 1; row < gridrows - 1; ++row) {
        rec[cellindex(0, row)] = code_border;
        rec[cellindex(gridcols - 1, row)] = code_border;
    }
    return out;
}

StoreFields readfields(const LevelHost& host) {
    StoreFields fields;
    fields.infotronsneeded = host.infotronsneeded();
    fields.gravity = host.gravity();
    fields.title = host.title();
    return fields;
}

LevelPack packimage(const LevelStore& store, const StoreFields& fields) {
    LevelPack image = store.levelpack;
    image[store.levelnr] = buildrecord(store.curlevel, fields).record;
    return image;
}

LevelRecord storedback(const LevelRecord& record) {
    LevelRecord rec = record;
    // A port in column 0 keeps its entry on the first store-back and loses
    // it on the second, once its cell holds the border; then nothing moves.
    for (int pass = 0; pass < 3; ++pass) {
        LevelRecord cur = rec;
        decodeswitches(cur);
        StoreFields fields;
        fields.infotronsneeded = cur[off_infotrons];
        fields.gravity = cur[off_gravity] != 0;
        const auto* title = cur.data() + off_title;
        fields.title.assign(title, std::find(title, title + titlelen, 0));
        const LevelRecord next = buildrecord(cur, fields).record;
        if (next == rec) break;
        rec = next;
    }
    return rec;
}

bool savebacklevel(LevelStore& store, LevelHost& host) {
    const BuiltRecord built = buildrecord(store.curlevel, readfields(host));
    if (built.switchesfound > maxswitches && !host.askyesno(switchlimitquestion)) return false;
    store.levelpack[store.levelnr] = built.record;
    return true;
}

int countinfotrons(const LevelRecord& level) {
    int n = 0;
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col)
            if (level[cellindex(col, row)] == code_infotron) ++n;
    return n;
}

std::string countertext(int count) {
    char buf[24];
    std::snprintf(buf, sizeof buf, " / %03d", count);
    return buf;
}

LevelList buildlevellist(const LevelPack& pack) {
    LevelList list{};
    std::array<std::uint8_t, listentrylen - 1> line;
    line.fill('-');
    for (int i = 0; i < levelcount; ++i) {
        std::copy_n(pack[i].begin() + off_title, titlelen, line.begin() + 2);
        std::copy(line.begin(), line.end(), list.begin() + i * listentrylen);
    }
    return list;
}

std::string packsizeproblem(std::uint64_t size) {
    if (size >= packlen) return {};
    std::string text = "Sie ist " + std::to_string(size) + " Bytes lang, ein Levelpack hat " +
                       std::to_string(packlen) + " Bytes.";
    if (size == listlen) text += " Die Größe passt zu einer Levelliste, die nur die 111 Leveltitel enthält.";
    return text;
}

std::string packsizewarning(std::uint64_t size) {
    if (size <= packlen) return {};
    return "Die Datei ist " + std::to_string(size) + " Bytes lang, ein Levelpack hat " + std::to_string(packlen) +
           " Bytes: geladen sind die ersten " + std::to_string(packlen) + ", die folgenden " +
           std::to_string(size - packlen) + " Bytes nicht.";
}

void packfrombytes(const std::uint8_t* data, LevelPack& pack) {
    for (int i = 0; i < levelcount; ++i)
        std::memcpy(pack[i].data(), data + static_cast<std::size_t>(i) * reclen, reclen);
}

} // namespace tess
