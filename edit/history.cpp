// SPDX-License-Identifier: MIT
#include "edit/history.h"

#include "level/packops.h"

namespace tess {

namespace {

template <class... F> struct overloaded : F... {
    using F::operator()...;
};
template <class... F> overloaded(F...) -> overloaded<F...>;

} // namespace

std::size_t stepbytes(const HistoryStep& step) {
    return sizeof(HistoryStep) +
           std::visit(overloaded{
                          [](const CellChange& c) { return c.bytes(); },
                          [](const FieldStep& f) { return f.before.title.capacity() + f.after.title.capacity(); },
                          [](const RecordStep&) { return sizeof(std::array<LevelRecord, 2>); },
                          [](const MoveStep&) { return std::size_t(0); },
                          [](const ReplaceStep& r) { return r.change.bytes(); },
                      },
                      step);
}

void History::drop(Steps& s, bool oldest) {
    const std::size_t b = stepbytes(oldest ? s.steps.front() : s.steps.back());
    if (oldest) {
        s.steps.pop_front();
        if (s.done > 0) --s.done;
    } else {
        s.steps.pop_back();
    }
    s.bytes -= b;
    bytes_ -= b;
}

void History::record(int level, HistoryStep step) {
    Steps& s = levels_[level];
    while (s.steps.size() > s.done) drop(s, false);
    const std::size_t b = stepbytes(step);
    s.steps.push_back(std::move(step));
    s.bytes += b;
    bytes_ += b;
    s.done = s.steps.size();
    while (bytes_ > limit_) {
        Steps* largest = nullptr;
        for (Steps& l : levels_) {
            // The newest step of the level just edited is what undo needs first.
            const std::size_t droppable = &l == &s ? l.steps.size() - 1 : l.steps.size();
            if (droppable > 0 && (!largest || l.bytes > largest->bytes)) largest = &l;
        }
        if (!largest) break;
        drop(*largest, largest->done > 0);
    }
}

const HistoryStep* History::undo(int level) {
    Steps& s = levels_[level];
    if (s.done == 0) return nullptr;
    return &s.steps[--s.done];
}

const HistoryStep* History::redo(int level) {
    Steps& s = levels_[level];
    if (s.done == s.steps.size()) return nullptr;
    return &s.steps[s.done++];
}

const HistoryStep* History::top(int level) const {
    const Steps& s = levels_[level];
    return s.done > 0 ? &s.steps[s.done - 1] : nullptr;
}

void History::moveslot(int from, int to) { tess::moveslot(levels_, from, to); }

void History::clear() {
    for (Steps& s : levels_) s = Steps{};
    bytes_ = 0;
}

} // namespace tess
