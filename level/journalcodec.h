// SPDX-License-Identifier: MIT
#pragma once

// The recovery journal's bytes: everything needed to rebuild an unsaved pack
// after an editor ended unexpectedly. Each front-end keeps them where it
// keeps things (a file, the browser's storage); the bytes are the same.
// Fixed layout, little-endian:
//   "TESSJRN1" or "TESSJRN2"   8 bytes
//   level number  0..110       1 byte
//   time          ms since 1970, 8 bytes
//   file name     length 0..4096 (2 bytes), then that many UTF-8 bytes
//   pack          170496 bytes, as a save would write it
//   version 2 only: the saved image, as the records where it differs from
//   the pack: their number (1 byte, 0..111), then for each in rising order
//   its slot (1 byte) and its 1536 bytes
//   CRC-32 of all bytes before it, 4 bytes
// Bytes that are longer, shorter, or whose check sum or fields are wrong are
// rejected whole; what is taken encodes back to exactly the same bytes.

#include "level/levelformat.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tess {

inline constexpr int journalmaxname = 4096;
inline constexpr int journalheadlen = 8 + 1 + 8 + 2;
inline constexpr int journalmaxlen = journalheadlen + journalmaxname + packlen + 1 + levelcount * (1 + reclen) + 4;

struct JournalData {
    int levelnr = 0;        // the shown level, 0..110
    std::int64_t time = 0;  // when the pack last changed, ms since 1970
    std::string name;       // the pack's file, UTF-8; empty for a new pack
    std::shared_ptr<const LevelPack> pack;
    // The image last opened or saved; null in version 1, whose reader
    // compares with the file itself.
    std::shared_ptr<const LevelPack> saved = nullptr;
};

// Version 2 when saved is set, else version 1. A name longer than
// journalmaxname bytes is cut at the last whole character before it.
std::vector<std::uint8_t> encodejournalbytes(const JournalData& journal);

struct JournalParse {
    bool ok = false;
    std::string why; // German, one sentence on what is wrong; empty when ok
    JournalData journal;
};

// Why bytes of size cannot be a journal by their length alone (German, one
// sentence); empty when they may be one.
std::string journalsizeproblem(std::uint64_t size);

// Parses either version; never reads outside bytes, never allocates by a
// count taken from them.
JournalParse parsejournalbytes(std::span<const std::uint8_t> bytes);

// Version 2 bytes from the work the page kept before it kept journals: kept
// holds the pack and then the saved image, packlen bytes each, of a record
// size bytes long (kept may hold less when the record was too long to pass).
// Empty, with why set, when they make no journal.
std::vector<std::uint8_t> journalfromparts(std::span<const std::uint8_t> kept, std::uint64_t size, int levelnr,
                                           std::int64_t time, const std::string& name, std::string& why);

// Levels whose records differ between two packs.
int levelsdiffering(const LevelPack& a, const LevelPack& b);

} // namespace tess
