// SPDX-License-Identifier: MIT
#pragma once

// The undo history of a pack: one list of steps per level, all of them held
// below one memory bound together. A step says what one command changed:
// cells of the working level, the property fields, the whole record, the
// level's slot, or the level's part of a replace across the pack. The
// history records and hands back steps; applying them is the session's.

#include "edit/cellchange.h"

#include <array>
#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <variant>

namespace tess {

// The property fields as data: the title as Latin-1 bytes as the field holds
// them, the infotrons needed, gravity.
struct FieldValues {
    std::string title;
    int infotrons = 0;
    bool gravity = false;
    bool operator==(const FieldValues&) const = default;
};

struct FieldStep {
    FieldValues before, after;
};

// The level's stored record replaced as a whole (a level pasted or cleared).
struct RecordStep {
    std::unique_ptr<const std::array<LevelRecord, 2>> records; // before, after
};

// The level moved from slot from to slot to, the levels between shifting.
struct MoveStep {
    int from = 0, to = 0;
};

// One level's part of replace number replace across the pack: the bytes of
// its stored record that changed (tiles and switch table).
struct ReplaceStep {
    int replace = 0;
    CellChange change;
};

// A cell step is the working level's bytes (marks and flag-0 ports as the
// editor holds them) before and after.
using HistoryStep = std::variant<CellChange, FieldStep, RecordStep, MoveStep, ReplaceStep>;

// The memory a step holds, for the bound.
std::size_t stepbytes(const HistoryStep& step);

class History {
public:
    explicit History(std::size_t bytelimit = 8u << 20) : limit_(bytelimit) {}

    // Records a step of level (0..110) as its newest, dropping the steps that
    // were undone. When all histories together hold more than the bound, the
    // largest loses its oldest step (its newest undone one when every step is
    // undone, so that what stays can still be redone in order), until the
    // bound holds; the step just recorded always stays.
    void record(int level, HistoryStep step);

    // The step to undo or redo, moving the level's position; null when there
    // is none. The step stays valid until the next record, moveslot or clear.
    const HistoryStep* undo(int level);
    const HistoryStep* redo(int level);
    // The step undo would take back next, without taking it; null for none.
    const HistoryStep* top(int level) const;

    bool canundo(int level) const { return levels_[level].done > 0; }
    bool canredo(int level) const { return levels_[level].done < levels_[level].steps.size(); }

    // The history of slot from goes with its level to slot to; those between
    // shift by one, as their levels do.
    void moveslot(int from, int to);
    // Forgets every step of every level (a new or loaded pack).
    void clear();

    std::size_t bytes() const { return bytes_; }

private:
    struct Steps {
        std::deque<HistoryStep> steps;
        std::size_t done = 0; // steps[0..done) are applied
        std::size_t bytes = 0;
    };
    void drop(Steps& s, bool oldest);

    std::array<Steps, levelcount> levels_;
    std::size_t limit_;
    std::size_t bytes_ = 0;
};

} // namespace tess
