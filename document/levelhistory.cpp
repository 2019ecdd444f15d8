// SPDX-License-Identifier: MIT
#include "document/levelhistory.h"

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

void ReplaceStep::apply(bool undo) {
    if (history_.applyreplace) history_.applyreplace(change_, undo);
}

LevelHistory::LevelHistory() {
    for (int i = 0; i < levelcount; ++i) {
        stacks_.push_back(std::make_unique<QUndoStack>());
        QUndoStack* s = stacks_.back().get();
        group.addStack(s);
        QObject::connect(s, &QUndoStack::indexChanged, s, [this] {
            if (changed) changed();
        });
    }
    stackbytes_.assign(stacks_.size(), 0);
    setcurrent(0);
}

LevelHistory::~LevelHistory() = default;

void LevelHistory::clear() {
    for (auto& s : stacks_) s->clear();
    std::fill(stackbytes_.begin(), stackbytes_.end(), 0);
    total_ = 0;
}

void LevelHistory::setcurrent(int slot) {
    current_ = slot;
    group.setActiveStack(stacks_[static_cast<std::size_t>(slot)].get());
}

void LevelHistory::moveslot(int from, int to) {
    tess::moveslot(stacks_, from, to);
    tess::moveslot(stackbytes_, from, to);
}

namespace {

std::size_t stepbytes(const QUndoStack& s, int i) { return static_cast<const HistoryStep*>(s.command(i))->bytes(); }

} // namespace

void LevelHistory::push(HistoryStep* step) { pushto(current_, step); }

void LevelHistory::pushto(int slot, HistoryStep* step) {
    QUndoStack& s = stack(slot);
    // The push drops the undone steps above the index.
    std::size_t dropped = 0;
    for (int i = s.index(); i < s.count(); ++i) dropped += stepbytes(s, i);
    const std::size_t added = step->bytes();
    s.push(step);
    std::size_t& b = stackbytes_[static_cast<std::size_t>(slot)];
    b = b - dropped + added;
    total_ = total_ - dropped + added;
    if (total_ > budget) trim();
}

std::size_t LevelHistory::recount() const {
    std::size_t total = 0;
    for (const auto& s : stacks_)
        for (int i = 0; i < s->count(); ++i) total += stepbytes(*s, i);
    return total;
}

void LevelHistory::trim() {
    const std::size_t target = budget / 4 * 3;
    while (total_ > target) {
        const int slot = static_cast<int>(std::max_element(stackbytes_.begin(), stackbytes_.end()) -
                                          stackbytes_.begin());
        const QUndoStack& s = stack(slot);
        const int index = s.index();
        // Oldest done steps first; only when every step is undone, the
        // newest undone ones, which a new change would drop anyway.
        int first = 0, last = s.count();
        std::size_t freed = 0;
        if (index > 0) {
            while (first < index && total_ - freed > target) freed += stepbytes(s, first++);
        } else {
            while (last > 0 && total_ - freed > target) freed += stepbytes(s, --last);
        }
        keep(slot, first, last);
    }
}

void LevelHistory::keep(int slot, int first, int last) {
    QUndoStack& s = stack(slot);
    const int index = s.index();
    std::vector<HistoryStep*> kept;
    std::size_t keptbytes = 0;
    for (int i = first; i < last; ++i) {
        kept.push_back(static_cast<const HistoryStep*>(s.command(i))->clone());
        keptbytes += kept.back()->bytes();
    }
    replaying_ = true;
    s.clear();
    for (HistoryStep* step : kept) s.push(step);
    s.setIndex(std::clamp(index - first, 0, last - first));
    replaying_ = false;
    std::size_t& b = stackbytes_[static_cast<std::size_t>(slot)];
    total_ = total_ - b + keptbytes;
    b = keptbytes;
}

} // namespace tess
