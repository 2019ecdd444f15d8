// SPDX-License-Identifier: MIT
#include "edit/cellhistory.h"

#include <algorithm>

namespace tess {

void CellHistory::dropfront(Steps& s) {
    const std::size_t b = s.steps.front().bytes();
    s.steps.pop_front();
    s.bytes -= b;
    bytes_ -= b;
    if (s.done > 0) --s.done;
}

void CellHistory::record(int level, CellChange change) {
    if (change.empty()) return;
    Steps& s = levels_[level];
    while (s.steps.size() > s.done) {
        const std::size_t b = s.steps.back().bytes();
        s.steps.pop_back();
        s.bytes -= b;
        bytes_ -= b;
    }
    const std::size_t b = change.bytes();
    s.steps.push_back(std::move(change));
    s.bytes += b;
    bytes_ += b;
    s.done = s.steps.size();
    while (bytes_ > limit_) {
        auto largest = std::max_element(levels_.begin(), levels_.end(), [](const Steps& a, const Steps& c) {
            return a.bytes < c.bytes;
        });
        // The newest step of the level just edited is what undo needs first.
        if (&*largest == &s && s.steps.size() == 1) break;
        dropfront(*largest);
    }
}

const CellChange* CellHistory::undo(int level) {
    Steps& s = levels_[level];
    if (s.done == 0) return nullptr;
    return &s.steps[--s.done];
}

const CellChange* CellHistory::redo(int level) {
    Steps& s = levels_[level];
    if (s.done == s.steps.size()) return nullptr;
    return &s.steps[s.done++];
}

void CellHistory::clear() {
    for (Steps& s : levels_) s = Steps{};
    bytes_ = 0;
}

} // namespace tess
