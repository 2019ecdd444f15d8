// SPDX-License-Identifier: MIT
#include "level/journalcodec.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tess {

namespace {

constexpr std::uint8_t magic1[8] = {'T', 'E', 'S', 'S', 'J', 'R', 'N', '1'};
constexpr std::uint8_t magic2[8] = {'T', 'E', 'S', 'S', 'J', 'R', 'N', '2'};

void put(std::vector<std::uint8_t>& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t get(const std::uint8_t* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= std::uint64_t(p[i]) << (8 * i);
    return v;
}

// CRC-32 as zlib computes it (reflected, polynomial 0xEDB88320).
std::uint32_t crc32of(const std::uint8_t* p, std::size_t len) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < len; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// Length of the UTF-8 character starting at p (at most n bytes there); 0
// when it is none: overlong forms, surrogates and code points past U+10FFFF
// are none, as is a zero byte, which no file name holds.
std::size_t utf8char(const std::uint8_t* p, std::size_t n) {
    const std::uint8_t b = p[0];
    if (b == 0) return 0;
    if (b < 0x80) return 1;
    std::size_t len;
    std::uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) len = 2, cp = b & 0x1F;
    else if (b >= 0xE0 && b <= 0xEF) len = 3, cp = b & 0x0F;
    else if (b >= 0xF0 && b <= 0xF4) len = 4, cp = b & 0x07;
    else return 0;
    if (n < len) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (p[i] & 0x3F);
    }
    const std::uint32_t least = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// A name a file name can be: whole UTF-8 characters, no zero byte, and no
// byte order mark in front, which a reader of the text would drop.
bool validname(const std::uint8_t* p, std::size_t n) {
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return false;
    for (std::size_t at = 0; at < n;) {
        const std::size_t len = utf8char(p + at, n - at);
        if (len == 0) return false;
        at += len;
    }
    return true;
}

JournalParse rejected(std::string why) {
    JournalParse r;
    r.why = std::move(why);
    return r;
}

void putrecords(std::vector<std::uint8_t>& out, const LevelPack& pack) {
    for (const LevelRecord& rec : pack) out.insert(out.end(), rec.begin(), rec.end());
}

} // namespace

int levelsdiffering(const LevelPack& a, const LevelPack& b) {
    int n = 0;
    for (int i = 0; i < levelcount; ++i) n += a[i] != b[i];
    return n;
}

std::vector<std::uint8_t> encodejournalbytes(const JournalData& j) {
    std::size_t namelen = std::min<std::size_t>(j.name.size(), journalmaxname);
    // A cut name ends before the character it would split.
    while (namelen < j.name.size() && namelen > 0 && (static_cast<std::uint8_t>(j.name[namelen]) & 0xC0) == 0x80)
        --namelen;
    std::vector<std::uint8_t> out;
    out.reserve(journalmaxlen);
    const std::uint8_t* magic = j.saved ? magic2 : magic1;
    out.insert(out.end(), magic, magic + 8);
    put(out, static_cast<std::uint64_t>(j.levelnr), 1);
    put(out, static_cast<std::uint64_t>(j.time), 8);
    put(out, namelen, 2);
    out.insert(out.end(), j.name.begin(), j.name.begin() + static_cast<std::ptrdiff_t>(namelen));
    putrecords(out, *j.pack);
    if (j.saved) {
        put(out, static_cast<std::uint64_t>(levelsdiffering(*j.pack, *j.saved)), 1);
        for (int i = 0; i < levelcount; ++i) {
            if ((*j.saved)[i] == (*j.pack)[i]) continue;
            put(out, static_cast<std::uint64_t>(i), 1);
            out.insert(out.end(), (*j.saved)[i].begin(), (*j.saved)[i].end());
        }
    }
    put(out, crc32of(out.data(), out.size()), 4);
    return out;
}

std::string journalsizeproblem(std::uint64_t size) {
    if (size >= std::uint64_t(journalheadlen + packlen + 4) && size <= std::uint64_t(journalmaxlen)) return {};
    return "Sie hat die falsche Länge (" + std::to_string(size) + " Bytes).";
}

JournalParse parsejournalbytes(std::span<const std::uint8_t> bytes) {
    const std::size_t size = bytes.size();
    if (std::string why = journalsizeproblem(size); !why.empty()) return rejected(std::move(why));
    const std::uint8_t* p = bytes.data();
    const bool two = std::memcmp(p, magic2, 8) == 0;
    if (!two && std::memcmp(p, magic1, 8) != 0) return rejected("Die Kennung fehlt.");
    const std::size_t body = size - 4;
    if (crc32of(p, body) != static_cast<std::uint32_t>(get(p + body, 4))) return rejected("Die Prüfsumme stimmt nicht.");
    const int levelnr = static_cast<int>(get(p + 8, 1));
    const std::uint64_t ms = get(p + 9, 8);
    const std::size_t namelen = static_cast<std::size_t>(get(p + 17, 2));
    if (levelnr >= levelcount) return rejected("Die Levelnummer ist ungültig.");
    constexpr std::uint64_t year10000 = 253402300800000; // ms since 1970
    if (ms >= year10000) return rejected("Die Zeitangabe ist ungültig.");
    const std::size_t packat = journalheadlen + namelen;
    // Version 1 ends with the pack; version 2 has at least the count after it.
    if (namelen > std::size_t(journalmaxname) || packat + packlen + (two ? 1 : 0) > body ||
        (!two && packat + packlen != body))
        return rejected("Die Länge des Dateinamens passt nicht.");
    if (!validname(p + journalheadlen, namelen)) return rejected("Der Dateiname ist kein gültiger Text.");

    auto pack = std::make_shared<LevelPack>();
    for (int i = 0; i < levelcount; ++i)
        std::memcpy((*pack)[i].data(), p + packat + std::size_t(i) * reclen, reclen);
    std::shared_ptr<LevelPack> saved;
    if (two) {
        const std::size_t countat = packat + packlen;
        const std::size_t count = p[countat];
        if (count > std::size_t(levelcount) || countat + 1 + count * (1 + reclen) != body)
            return rejected("Die Zahl der gespeicherten Level passt nicht.");
        saved = std::make_shared<LevelPack>(*pack);
        int last = -1;
        for (std::size_t k = 0; k < count; ++k) {
            const std::uint8_t* entry = p + countat + 1 + k * (1 + reclen);
            const int slot = entry[0];
            // Rising slots, each differing from the pack: one way to write each image.
            if (slot <= last || slot >= levelcount || std::memcmp(entry + 1, (*pack)[slot].data(), reclen) == 0)
                return rejected("Die gespeicherten Level sind ungültig.");
            std::memcpy((*saved)[slot].data(), entry + 1, reclen);
            last = slot;
        }
    }
    JournalParse r;
    r.ok = true;
    r.journal = {levelnr, static_cast<std::int64_t>(ms),
                 std::string(reinterpret_cast<const char*>(p + journalheadlen), namelen), std::move(pack),
                 std::move(saved)};
    return r;
}

std::vector<std::uint8_t> journalfromparts(std::span<const std::uint8_t> kept, std::uint64_t size, int levelnr,
                                           std::int64_t time, const std::string& name, std::string& why) {
    if (size != std::uint64_t(2 * packlen) || kept.size() != size) {
        why = "Sie hält " + std::to_string(size) + " statt " + std::to_string(2 * packlen) + " Bytes.";
        return {};
    }
    if (levelnr < 0 || levelnr >= levelcount) {
        why = "Die Levelnummer ist ungültig.";
        return {};
    }
    auto a = std::make_shared<LevelPack>(), b = std::make_shared<LevelPack>();
    for (int i = 0; i < levelcount; ++i) {
        std::memcpy((*a)[i].data(), kept.data() + std::size_t(i) * reclen, reclen);
        std::memcpy((*b)[i].data(), kept.data() + packlen + std::size_t(i) * reclen, reclen);
    }
    std::vector<std::uint8_t> bytes = encodejournalbytes({levelnr, time, name, a, b});
    // The parser judges the rest (the time, the name) as it would any journal.
    JournalParse r = parsejournalbytes(bytes);
    why = r.why;
    if (!r.ok) bytes.clear();
    return bytes;
}

} // namespace tess
