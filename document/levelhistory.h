// SPDX-License-Identifier: MIT
#pragma once

// The undo histories of the open pack: one QUndoStack per level slot, all in
// one QUndoGroup whose active stack is the current level's. A step is pushed
// after its change has been made, so its first redo does nothing. All
// histories together are held below one memory budget: when a push passes
// it, the oldest steps of the largest histories go until a quarter of the
// budget is free again, so that trimming, which rebuilds a history, is rare.

#include "edit/cellchange.h"

#include <QUndoGroup>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

namespace tess {

class LevelHistory;

// A step of a history: knows its memory and can copy itself, so that a
// history can be rebuilt without its oldest steps.
class HistoryStep : public QUndoCommand {
public:
    explicit HistoryStep(LevelHistory& history) : history_(history) {}
    void undo() final;
    void redo() final;
    virtual std::size_t bytes() const = 0;
    virtual HistoryStep* clone() const = 0;

protected:
    LevelHistory& history_;
    virtual void apply(bool undo) = 0;

private:
    bool pushed_ = false; // the change was made before the push
};

// A finished change of the current level's cells.
class CellStep : public HistoryStep {
public:
    CellStep(LevelHistory& history, CellChange change) : HistoryStep(history), change_(std::move(change)) {}
    std::size_t bytes() const override { return sizeof(CellStep) + change_.bytes(); }
    HistoryStep* clone() const override { return new CellStep(history_, change_); }

protected:
    void apply(bool undo) override;

private:
    CellChange change_;
};

// The whole record of the current level replaced (a level pasted, cleared or
// read from a map): undo and redo put the record back and show it again.
class RecordStep : public HistoryStep {
public:
    RecordStep(LevelHistory& history, const LevelRecord& before, const LevelRecord& after)
        : HistoryStep(history), before_(before), after_(after) {}
    std::size_t bytes() const override { return sizeof(RecordStep); }
    HistoryStep* clone() const override { return new RecordStep(history_, before_, after_); }

protected:
    void apply(bool undo) override;

private:
    LevelRecord before_, after_;
};

// The current level moved from one slot to another, the levels between
// shifting: undo moves it back to where it came from, redo to where it went,
// from wherever it is then. Its history moves with it.
class MoveStep : public HistoryStep {
public:
    MoveStep(LevelHistory& history, int from, int to) : HistoryStep(history), from_(from), to_(to) {}
    std::size_t bytes() const override { return sizeof(MoveStep); }
    HistoryStep* clone() const override { return new MoveStep(history_, from_, to_); }

protected:
    void apply(bool undo) override;

private:
    int from_, to_;
};

// One level's part of a replace across the pack: the record bytes it
// changed (tiles and switch table), wherever that level is then.
class ReplaceStep : public HistoryStep {
public:
    ReplaceStep(LevelHistory& history, int replace, CellChange change)
        : HistoryStep(history), replace_(replace), change_(std::move(change)) {}
    std::size_t bytes() const override { return sizeof(ReplaceStep) + change_.bytes(); }
    HistoryStep* clone() const override { return new ReplaceStep(history_, replace_, change_); }
    int replace() const { return replace_; }

protected:
    void apply(bool undo) override;

private:
    int replace_;
    CellChange change_;
};

class LevelHistory {
public:
    LevelHistory();
    ~LevelHistory();

    QUndoGroup group;
    // What undo and redo of a cell step do to the working level.
    std::function<void(const CellChange&, bool undo)> applycells;
    // What undo and redo of a record step do: the current level's record
    // becomes the given one.
    std::function<void(const LevelRecord&)> applyrecord;
    // What undo and redo of a move step do: the current level moves to slot.
    std::function<void(int slot)> applymove;
    // What undo and redo of a replace step do to its level's record.
    std::function<void(const CellChange&, bool undo)> applyreplace;
    // Called whenever any history's index moves: a step pushed, undone or
    // redone on any level, not only the current one.
    std::function<void()> changed;
    // The bound on all histories together, in bytes.
    std::size_t budget = std::size_t(64) << 20;

    // Empties every history (a new or loaded pack).
    void clear();
    // Makes the history of slot the one that undo and redo work on.
    void setcurrent(int slot);
    // The history of slot from goes to slot to, those between shift by one,
    // as their levels do.
    void moveslot(int from, int to);
    // Pushes a step onto the current history and keeps the budget.
    void push(HistoryStep* step);
    // Pushes a step onto the history of slot, which need not be the current one.
    void pushto(int slot, HistoryStep* step);
    QUndoStack& stack(int slot) { return *stacks_[static_cast<std::size_t>(slot)]; }
    const QUndoStack& stack(int slot) const { return *stacks_[static_cast<std::size_t>(slot)]; }
    // The memory of all histories, kept as steps come and go.
    std::size_t bytes() const { return total_; }
    // The same, counted step by step.
    std::size_t recount() const;
    // True while a history is being rebuilt: its steps then change nothing.
    bool replaying() const { return replaying_; }

private:
    std::vector<std::unique_ptr<QUndoStack>> stacks_;
    std::vector<std::size_t> stackbytes_;
    std::size_t total_ = 0;
    int current_ = 0;
    bool replaying_ = false;

    void trim();
    // Rebuilds the history of slot with only its steps first..last-1.
    void keep(int slot, int first, int last);
};

} // namespace tess
