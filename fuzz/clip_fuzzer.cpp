// SPDX-License-Identifier: MIT
// What another program may put on the desktop's clipboard under the editor's
// own types: the decoders never crash, never read past the input, leave
// their target alone when they refuse, and what they take says the same when
// encoded again, also through the text form.

#include "edit/clipformat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint8_t sentinel = 0x5A;

// True when a decoder that refused left every byte of its target as it was.
template <class Bytes> bool untouched(const Bytes& target) {
    return std::all_of(target.begin(), target.end(), [](std::uint8_t c) { return c == sentinel; });
}

void checkcells(const std::uint8_t* data, std::size_t size) {
    tess::Layer clip;
    clip.fill(sentinel);
    if (!tess::decodecells(data, size, clip)) {
        if (!untouched(clip)) std::abort();
        return;
    }
    // Only marked bytes or no cell, at least one cell, and all of it in the
    // box the header gives.
    const int left = data[5], top = data[6], w = data[7], h = data[8];
    int cells = 0;
    for (int i = 0; i < tess::cellcount; ++i) {
        if (clip[i] == tess::emptyclip) continue;
        const int col = i % tess::gridcols, row = i / tess::gridcols;
        if (!(clip[i] & tess::markbit) || col < left || col >= left + w || row < top || row >= top + h) std::abort();
        ++cells;
    }
    if (cells == 0) std::abort();
    tess::Layer again;
    again.fill(sentinel);
    const std::vector<std::uint8_t> encoded = tess::encodecells(clip);
    if (!tess::decodecells(encoded.data(), encoded.size(), again) || again != clip) std::abort();
    // Its text form reads back to the same cells.
    const std::string text = tess::cellstext(clip);
    tess::Layer fromtext;
    if (!tess::readcellstext(text.data(), text.size(), fromtext) || fromtext != clip) std::abort();
}

void checklevel(const std::uint8_t* data, std::size_t size) {
    tess::LevelRecord record;
    record.fill(sentinel);
    if (!tess::decodelevel(data, size, record)) {
        if (!untouched(record)) std::abort();
        return;
    }
    const std::vector<std::uint8_t> encoded = tess::encodelevel(record);
    if (encoded.size() != size || !std::equal(encoded.begin(), encoded.end(), data)) std::abort();
    const std::string text = tess::leveltext(record);
    tess::LevelRecord fromtext;
    if (!tess::readleveltext(text.data(), text.size(), fromtext) || fromtext != record) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The same bytes under either type: each decoder must refuse the other's.
    checkcells(data, size);
    checklevel(data, size);
    return 0;
}
