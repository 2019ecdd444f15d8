// SPDX-License-Identifier: MIT
#pragma once

// A plain undo history of cell changes per level, with one memory bound for
// all 111 levels together. It records and hands back changes; applying them
// to the working level is applycells.

#include "edit/cellchange.h"

#include <array>
#include <cstddef>
#include <deque>

namespace tess {

class CellHistory {
public:
    explicit CellHistory(std::size_t bytelimit = 8u << 20) : limit_(bytelimit) {}

    // Records a change of level (0..110) as its newest step, dropping the
    // steps that were undone. An empty change is not recorded. When all
    // histories together hold more than the bound, the oldest steps of the
    // largest history go first; the step just recorded always stays.
    void record(int level, CellChange change);

    // The step to undo (apply with undo = true) or redo, moving the level's
    // position; null when there is none.
    const CellChange* undo(int level);
    const CellChange* redo(int level);

    bool canundo(int level) const { return levels_[level].done > 0; }
    bool canredo(int level) const { return levels_[level].done < levels_[level].steps.size(); }

    // Forgets every step of every level (a new or loaded pack).
    void clear();

    std::size_t bytes() const { return bytes_; }

private:
    struct Steps {
        std::deque<CellChange> steps;
        std::size_t done = 0; // steps[0..done) are applied
        std::size_t bytes = 0;
    };
    void dropfront(Steps& s);

    std::array<Steps, levelcount> levels_;
    std::size_t limit_;
    std::size_t bytes_ = 0;
};

} // namespace tess
