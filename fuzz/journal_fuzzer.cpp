// SPDX-License-Identifier: MIT
// Recovery journals of any content: the codec never crashes, never reads
// past the input, and what it accepts encodes back to the same bytes; the
// desktop's reader over it takes exactly the same journals.

#include "level/journalcodec.h"
#include "level/journalfile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > std::size_t(tess::journalmaxlen) + 1) return 0;
    const tess::JournalParse p = tess::parsejournalbytes(std::span(data, size));
    if (p.ok != p.why.empty()) std::abort();
    if (p.ok && tess::encodejournalbytes(p.journal) != std::vector<std::uint8_t>(data, data + size)) std::abort();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const tess::JournalRead r = tess::parsejournal(bytes, QStringLiteral("fuzz.journal"));
    if (r.ok != p.ok || r.ok != r.error.isEmpty()) std::abort();
    if (r.ok && tess::encodejournal(r.journal) != bytes) std::abort();
    return 0;
}
