// SPDX-License-Identifier: MIT
// Any text on the clipboard as the cells or level text form: the readers
// never crash, never read past the text, leave their target alone when they
// refuse, and what they take is written back to a text they read the same.

#include "edit/clipformat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint8_t sentinel = 0x5A;

template <class Bytes> bool untouched(const Bytes& target) {
    return std::all_of(target.begin(), target.end(), [](std::uint8_t c) { return c == sentinel; });
}

// Reads text into a target filled with the sentinel; when taken, writes it
// again and reads that back to the same bytes.
template <class Target, class Read, class Write>
void check(const char* text, std::size_t size, Read read, Write write) {
    Target target, again;
    target.fill(sentinel);
    if (!read(text, size, target)) {
        if (!untouched(target)) std::abort();
        return;
    }
    const std::string written = write(target);
    if (!read(written.data(), written.size(), again) || again != target) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* text = reinterpret_cast<const char*>(data);
    check<tess::Layer>(text, size, tess::readcellstext, tess::cellstext);
    check<tess::LevelRecord>(text, size, tess::readleveltext, tess::leveltext);
    return 0;
}
