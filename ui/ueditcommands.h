// SPDX-License-Identifier: MIT
#pragma once

// What the main window keeps for its marking, fill, replace and mirror
// commands: the replace dialog, the statistics, and the last replace across
// the pack, which is one step in each level it changed.

#include "edit/cellchange.h"
#include "edit/tilecommands.h"
#include "document/levelhistory.h"

#include <functional>

namespace tess {

class ReplaceDialog;
class LevelStats;

struct EditExtras {
    ReplaceDialog* replacedialog = nullptr;
    LevelStats* stats = nullptr;
    ReplaceScope lastscope = ReplaceScope::level; // of the last replace from the dialog
    int lastreplace = 0;  // number of the last replace across the pack; 0: none to take back
    int lastlevels = 0;   // the levels it changed
    int undoslot = -1;    // the slot a step is taken back in, when not the level shown
    // Writes a stored level's changed bytes back: into the record of undoslot,
    // or, with undoslot -1, into the level shown.
    std::function<void(const CellChange&, bool undo)> applyreplace;
};

// One level's part of a replace across the pack: the record bytes it
// changed (tiles and switch table).
class ReplaceStep : public HistoryStep {
public:
    ReplaceStep(LevelHistory& history, EditExtras& extras, int replace, CellChange change)
        : HistoryStep(history), extras_(extras), replace_(replace), change_(std::move(change)) {}
    std::size_t bytes() const override { return sizeof(ReplaceStep) + change_.bytes(); }
    HistoryStep* clone() const override { return new ReplaceStep(history_, extras_, replace_, change_); }
    int replace() const { return replace_; }

protected:
    void apply(bool undo) override {
        if (extras_.applyreplace) extras_.applyreplace(change_, undo);
    }

private:
    EditExtras& extras_;
    int replace_;
    CellChange change_;
};

} // namespace tess
