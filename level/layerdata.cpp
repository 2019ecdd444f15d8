// SPDX-License-Identifier: MIT
// The cells of a tile layer from its CSV or base64 text, plain, zlib or gzip.
// Inflating is stb_image's zlib decoder, into a buffer of one layer's size;
// the checksums of both framings are checked here, as the decoder leaves them.
#include "level/mapreader.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
// The zlib decoder alone, none of the image formats around it.
#define STBI_NO_JPEG
#define STBI_NO_PNG
#define STBI_NO_BMP
#define STBI_NO_PSD
#define STBI_NO_TGA
#define STBI_NO_GIF
#define STBI_NO_HDR
#define STBI_NO_PIC
#define STBI_NO_PNM
#define STBI_SUPPORT_ZLIB
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_SIMD
#define STBI_NO_THREAD_LOCALS
#include <stb/stb_image.h>

#include <vector>

namespace tess::mapread {

namespace {

std::uint32_t adler32(const std::vector<unsigned char>& data) {
    std::uint32_t a = 1, b = 0;
    for (const unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

std::uint32_t crc32(const std::vector<unsigned char>& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::uint32_t bigendian(const unsigned char* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
std::uint32_t littleendian(const unsigned char* p) { return std::uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0]; }

// The deflate stream inside a gzip member: past the header and its optional
// fields; the 8-byte trailer follows it. False when the header is not gzip's.
bool gzipbody(const std::vector<unsigned char>& in, std::size_t& first) {
    if (in.size() < 18 || in[0] != 0x1F || in[1] != 0x8B || in[2] != 8 || (in[3] & 0xE0)) return false;
    const unsigned flags = in[3];
    std::size_t p = 10;
    if (flags & 4) {
        if (p + 2 > in.size()) return false;
        p += 2 + (in[p] | in[p + 1] << 8);
    }
    for (const unsigned text : {8u, 16u}) // the name and the comment, zero-terminated
        if (flags & text) {
            while (p < in.size() && in[p] != 0) ++p;
            ++p;
        }
    if (flags & 2) p += 2;
    if (p + 8 > in.size()) return false;
    first = p;
    return true;
}

std::string inflated(const std::vector<unsigned char>& packed, std::string_view compression,
                     std::vector<unsigned char>& out) {
    const bool gzip = compression == "gzip";
    if (!gzip && compression != "zlib") return mapread::text("mapcompression", {excerpt(compression)});
    const std::string damaged = mapread::text("mapdamaged", {compression});
    // One byte more than a layer needs, so that a longer stream is seen.
    out.assign(cellcount * 4 + 1, 0);
    const auto* in = reinterpret_cast<const char*>(packed.data());
    int n = -1;
    if (gzip) {
        std::size_t first = 0;
        if (!gzipbody(packed, first)) return damaged;
        // The trailer stays in reach: the decoder wants 16 bits in hand
        // before each code, also for the stream's last.
        n = stbi_zlib_decode_noheader_buffer(reinterpret_cast<char*>(out.data()), int(out.size()), in + first,
                                             int(packed.size() - first));
    } else if (packed.size() >= 6) {
        n = stbi_zlib_decode_buffer(reinterpret_cast<char*>(out.data()), int(out.size()), in, int(packed.size()));
    }
    if (n < 0) return damaged;
    out.resize(std::size_t(n));
    const unsigned char* trailer = packed.data() + packed.size() - (gzip ? 8 : 4);
    const bool sound = gzip ? littleendian(trailer) == crc32(out) && littleendian(trailer + 4) == out.size()
                            : bigendian(trailer) == adler32(out);
    return sound ? std::string() : damaged;
}

bool isspace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Number by number, without a string per cell: a layer may be far larger
// than a level.
std::string decodecsv(std::string_view text, Gids& gids) {
    const std::size_t n = text.size();
    for (std::size_t i = 0;;) {
        const std::size_t start = i;
        while (i < n && isspace(text[i])) ++i;
        std::uint64_t value = 0;
        int digits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9' && value <= 0xFFFFFFFFu) {
            value = value * 10 + std::uint64_t(text[i] - '0');
            ++digits, ++i;
        }
        while (i < n && isspace(text[i])) ++i;
        if (digits == 0 || value > 0xFFFFFFFFu || (i < n && text[i] != ',')) {
            std::size_t end = start;
            // 24 characters of the entry at most, never half of one.
            for (int shown = 0; end < n && shown < 24 && text[end] != ','; ++shown) nextcodepoint(text, end);
            std::string_view entry = text.substr(start, end - start);
            while (!entry.empty() && isspace(entry.front())) entry.remove_prefix(1);
            while (!entry.empty() && isspace(entry.back())) entry.remove_suffix(1);
            return mapread::text("mapcsv", {entry});
        }
        gids.add(std::uint32_t(value));
        if (i == n || gids.toomany) return {};
        ++i;
    }
}

int base64value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Base64 with '=' only at the end of the last group of four.
// Other tools break it into lines; Tiled reads it so, and so do we.
bool base64(std::string_view text, std::vector<unsigned char>& out) {
    std::string packed;
    for (const char c : text)
        if (!isspace(c)) packed += c;
    // Tiled pads; a stream without its padding reads as well.
    if (packed.size() % 4 == 1) return false;
    if (packed.find('=') == packed.npos) packed.append((4 - packed.size() % 4) % 4, '=');
    if (packed.size() % 4) return false;
    out.reserve(packed.size() / 4 * 3);
    for (std::size_t i = 0; i < packed.size(); i += 4) {
        const bool lastgroup = i + 4 == packed.size();
        const int pad = lastgroup ? (packed[i + 3] == '=') + (packed[i + 2] == '=' && packed[i + 3] == '=') : 0;
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            const int d = k >= 4 - pad ? 0 : base64value(packed[i + k]);
            if (d < 0) return false;
            v = v << 6 | std::uint32_t(d);
        }
        out.push_back(static_cast<unsigned char>(v >> 16));
        if (pad < 2) out.push_back(static_cast<unsigned char>(v >> 8));
        if (pad < 1) out.push_back(static_cast<unsigned char>(v));
    }
    return true;
}

} // namespace

std::string decodelayer(std::string_view encoding, std::string_view compression, std::string_view text, Gids& gids) {
    if (encoding == "csv") return decodecsv(text, gids);
    if (encoding != "base64") return mapread::text("mapencoding", {excerpt(encoding)});
    std::vector<unsigned char> bytes;
    if (!base64(text, bytes)) return mapread::text("mapbase64");
    if (!compression.empty()) {
        std::vector<unsigned char> packed = std::move(bytes);
        std::string f = inflated(packed, compression, bytes);
        if (!f.empty()) return f;
    }
    if (bytes.size() % 4 != 0) return mapread::text("mapbytes", {num(std::int64_t(bytes.size()))});
    for (std::size_t i = 0; i < bytes.size() && !gids.toomany; i += 4)
        gids.add(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | std::uint32_t(bytes[i + 3]) << 24);
    return {};
}

} // namespace tess::mapread
