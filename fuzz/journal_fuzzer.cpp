// SPDX-License-Identifier: MIT
// Recovery journals of any content: the parser never crashes, never reads
// past the input, and what it accepts encodes back to the same bytes.

#include "level/journalfile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > std::size_t(tess::journalmaxlen) + 1) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const tess::JournalRead r = tess::parsejournal(bytes, QStringLiteral("fuzz.journal"));
    if (r.ok != r.error.isEmpty()) std::abort();
    if (r.ok && tess::encodejournal(r.journal) != bytes) std::abort();
    return 0;
}
