// SPDX-License-Identifier: MIT
#include "ui/levelhistory.h"

#include "level/packops.h"

#include <algorithm>

namespace tess {

void HistoryStep::undo() {
    if (!history_.replaying()) apply(true);
}

void HistoryStep::redo() {
    if (!pushed_) {
        pushed_ = true;
        return;
    }
    if (!history_.replaying()) apply(false);
}

void CellStep::apply(bool undo) {
    if (history_.applycells) history_.applycells(change_, undo);
}

void RecordStep::apply(bool undo) {
    if (history_.applyrecord) history_.applyrecord(undo ? before_ : after_);
}

void MoveStep::apply(bool undo) {
    if (history_.applymove) history_.applymove(undo ? from_ : to_);
}

LevelHistory::LevelHistory() {
    for (int i = 0; i < levelcount; ++i) {
        stacks_.push_back(std::make_unique<QUndoStack>());
        group.addStack(stacks_.back().get());
    }
    stackbytes_.assign(stacks_.size(), 0);
    setcurrent(0);
}

LevelHistory::~LevelHistory() = default;

void LevelHistory::clear() {
    for (auto& s : stacks_) s->clear();
    std::fill(stackbytes_.begin(), stackbytes_.end(), 0);
}

void LevelHistory::setcurrent(int slot) {
    current_ = slot;
    group.setActiveStack(stacks_[static_cast<std::size_t>(slot)].get());
}

void LevelHistory::moveslot(int from, int to) {
    tess::moveslot(stacks_, from, to);
    tess::moveslot(stackbytes_, from, to);
}

void LevelHistory::push(HistoryStep* step) {
    stack(current_).push(step);
    stackbytes_[static_cast<std::size_t>(current_)] = measure(current_);
    trim();
}

void LevelHistory::pushto(int slot, HistoryStep* step) {
    stack(slot).push(step);
    stackbytes_[static_cast<std::size_t>(slot)] = measure(slot);
    trim();
}

std::size_t LevelHistory::bytes() const {
    std::size_t total = 0;
    for (std::size_t b : stackbytes_) total += b;
    return total;
}

std::size_t LevelHistory::measure(int slot) const {
    const QUndoStack& s = *stacks_[static_cast<std::size_t>(slot)];
    std::size_t total = 0;
    for (int i = 0; i < s.count(); ++i) total += static_cast<const HistoryStep*>(s.command(i))->bytes();
    return total;
}

void LevelHistory::trim() {
    std::size_t total = bytes();
    while (total > budget) {
        const int slot = static_cast<int>(std::max_element(stackbytes_.begin(), stackbytes_.end()) -
                                          stackbytes_.begin());
        const QUndoStack& s = stack(slot);
        const int index = s.index();
        // Oldest done steps first; only when every step is undone, the
        // newest undone ones, which a new change would drop anyway.
        int first = 0, last = s.count();
        std::size_t freed = 0;
        if (index > 0) {
            while (first < index && total - freed > budget)
                freed += static_cast<const HistoryStep*>(s.command(first++))->bytes();
        } else {
            while (last > 0 && total - freed > budget)
                freed += static_cast<const HistoryStep*>(s.command(--last))->bytes();
        }
        keep(slot, first, last);
        total = bytes();
    }
}

void LevelHistory::keep(int slot, int first, int last) {
    QUndoStack& s = stack(slot);
    const int index = s.index();
    std::vector<HistoryStep*> kept;
    for (int i = first; i < last; ++i) kept.push_back(static_cast<const HistoryStep*>(s.command(i))->clone());
    replaying_ = true;
    s.clear();
    for (HistoryStep* step : kept) s.push(step);
    s.setIndex(std::clamp(index - first, 0, last - first));
    replaying_ = false;
    stackbytes_[static_cast<std::size_t>(slot)] = measure(slot);
}

} // namespace tess
