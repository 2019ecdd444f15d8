// SPDX-License-Identifier: MIT
#pragma once

// One editing session over the core: the pack, the shown level with its
// layers and the stroke in progress, the property fields as data, the
// per-level history of cell changes and the image last saved. A front-end
// passes in what the user did (presses, moves, releases, commands, field
// values, level switches, files) and reads back what to show; every rule of
// what that does lives here or below. Large (two packs): keep it on the heap.

#include "edit/cellhistory.h"
#include "edit/display.h"
#include "edit/editlayers.h"
#include "edit/stroke.h"
#include "level/levelstore.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tess {

enum class SessionCommand { copy, cut, paste, remove, draw, select, selectall, undo, redo };

class EditSession {
public:
    EditSession();

    // A new pack of empty levels, level 1 shown; nothing unsaved, no history.
    void newpack();
    // The pack in bytes (exactly packlen), level 1 shown; false, and nothing
    // changes, for any other length.
    bool openpack(std::span<const std::uint8_t> bytes);
    // Kept work: the pack as it was and the image it was last saved as (each
    // packlen bytes), with level index (0..110) shown; the work stays unsaved.
    bool restore(std::span<const std::uint8_t> image, std::span<const std::uint8_t> saved, int index);

    // The pack as saving now would write it: the shown level stored back with
    // the fields as they are, without asking anything.
    LevelPack image() const;
    const LevelPack& saved() const { return *saved_; }
    // Whether saving now would write other bytes than the pack last opened or
    // saved; records that differ only by what a store-back itself writes (a
    // border ring a foreign file lacks) count as equal.
    bool unsaved() const;
    // The pack in the store has just been written to its file.
    void marksaved() { *saved_ = store_->levelpack; }

    // The fields as the user left them; the title as Latin-1 bytes, cut to 23.
    void setfields(int infotrons, bool gravity, std::string title);
    int levelnumber() const { return host_.number; }
    const std::string& title() const { return host_.titletext; }
    int infotrons() const { return host_.infotrons; }
    bool gravity() const { return host_.gravitybox; }
    const std::string& counter() const { return host_.counter; }

    // Ports a store-back would find; more than 11 means it asks first.
    int switchesfound() const;
    // Stores the shown level back, answer being the reply to the switch-limit
    // question should it be asked; false when nothing was stored.
    bool storeback(bool answer);
    // Store-back, then level number (1..111) shown; false, with the level
    // unchanged, for a number out of range, a stroke in progress or a
    // declined question.
    bool switchlevel(int number, bool answer);

    enum class Press { done, ignored, repaintall };
    // A button press at cell (col, row), with the stroke's first move step
    // run; the caller repaints all when asked, then draws what changed.
    Press press(Button button, bool ctrl, int col, int row, int leftitem, int rightitem);
    bool move(int col, int row);
    // Ends the stroke: one undo step for the whole stroke.
    bool release();
    bool stroking() const { return stroke_.inprogress(); }

    // A menu or tool command; undo and redo wait while a stroke is in
    // progress and return false when there is nothing to take or bring back.
    bool command(SessionCommand which);
    bool canundo() const { return history_.canundo(store_->levelnr); }
    bool canredo() const { return history_.canredo(store_->levelnr); }

    // Draws the cells whose look changed since the last call; their number.
    template <class Draw> int putbuffer(Draw&& draw) { return tess::putbuffer(layers_, store_->curlevel, draw); }

    const LevelStore& store() const { return *store_; }
    const EditLayers& layers() const { return layers_; }

private:
    // The fields as data, in the shape the store reads and writes them.
    struct Fields : LevelHost {
        int number = 1;
        std::string titletext;
        int infotrons = 0;
        std::string counter = countertext(0);
        bool gravitybox = false;
        bool answer = false; // the reply to give should store-back ask

        void setlevelnumber(int n) override { number = n; }
        void settitle(const std::string& t) override { titletext = t.substr(0, t.find('\0')); }
        std::string title() const override { return titletext; }
        void setinfotronsneeded(int v) override { infotrons = v; }
        std::int16_t infotronsneeded() const override { return static_cast<std::int16_t>(infotrons); }
        void setcounter(const std::string& text) override { counter = text; }
        void setgravity(bool on) override { gravitybox = on; }
        bool gravity() const override { return gravitybox; }
        bool askyesno(const std::string&) override { return answer; }
        void repaintlevel() override {}
    };

    StrokeTarget target() { return {store_->curlevel, layers_, stroke_}; }
    void started(); // a new or opened pack: no history, nothing unsaved
    void recount() { host_.setcounter(countertext(countinfotrons(store_->curlevel))); }
    template <class Run> bool undoable(Run&& run);

    std::unique_ptr<LevelStore> store_;
    std::unique_ptr<LevelPack> saved_;
    EditLayers layers_;
    StrokeState stroke_;
    Fields host_;
    CellHistory history_;
    LevelCells before_{}; // the shown level's cells when the stroke in progress began
};

} // namespace tess
