// SPDX-License-Identifier: MIT
#pragma once

// One editing session over the core: the pack, the shown level with its
// layers and the stroke in progress, the property fields as data, the level
// clipboard, the per-level history of every change and the image last saved.
// A front-end passes in what the user did (presses, moves, releases,
// commands, field values, level switches, files) and reads back what to show;
// every rule of what that does lives here or below. Each command that changed
// something tells the one listener what. Large (three packs): keep it on the
// heap.

#include "edit/display.h"
#include "edit/editlayers.h"
#include "edit/history.h"
#include "edit/packreplace.h"
#include "edit/stroke.h"
#include "edit/tilecommands.h"
#include "level/levelstore.h"

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tess {

enum class SessionCommand { copy, cut, paste, remove, draw, select, selectall, undo, redo };

// What one command changed.
struct SessionChange {
    bool cells = false;  // the shown level's cells: tiles or marks
    bool fields = false; // title, infotrons needed or gravity
    bool level = false;  // another slot is shown (a switch, or the shown level moved)
    std::bitset<levelcount> records; // the slots whose stored record changed, by a store-back too
    bool any() const { return cells || fields || level || records.any(); }
    bool operator==(const SessionChange&) const = default;
};

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

    // Called once for each command that changed something, with what it
    // changed; also for undo and redo. A stroke reports at its release. Set
    // it between commands; with none, commands compare nothing.
    void setlistener(std::function<void(const SessionChange&)> listener) { listener_ = std::move(listener); }

    // The fields as the user left them; the title as Latin-1 bytes, cut to 23.
    void setfields(int infotrons, bool gravity, std::string title);
    // Makes what the fields changed since the last commit one undo step of
    // the shown level; false when they did not change. The front-end calls
    // it when a field is left; a store-back and a level switch commit first.
    // Undo of a field step puts the old values back into the fields, which
    // the front-end then shows again; undo and redo leave a field edit not
    // yet committed alone, unless the step sets the fields.
    bool commitfields();
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
    // Whether a store-back now asks the switch-limit question first.
    bool storebackasks() const { return switchesfound() > maxswitches; }
    // Whether switchlevel may run for number: within 1..111, no stroke in progress.
    bool canswitchto(int number) const { return number >= 1 && number <= levelcount && !stroking(); }

    // The recovery journal of the work now (level/journalcodec.h, with the
    // saved image): the image, the shown level, time (ms since 1970) and the
    // pack's file name (UTF-8, empty for a new pack).
    std::vector<std::uint8_t> journal(std::int64_t time, const std::string& name) const;
    // The work a journal holds, unsaved against its saved image (a new pack's
    // when it has none); false, changing nothing, for bytes that are none.
    bool restorejournal(std::span<const std::uint8_t> bytes);

    // The commands on marks and tiles of the shown level (edit/tilecommands.h),
    // each one undo step where it changes anything; each returns that
    // function's count, 0 while a stroke is in progress.
    int fillmarked(std::uint8_t code);
    int mirrormarked(Mirror axis);
    int marksametiles(std::uint8_t code);
    int markregion(int col, int row);
    // Replaces from by to in the marks or the shown level; scope pack is
    // replaceinpack's and does nothing here.
    int replacetiles(std::uint8_t from, std::uint8_t to, ReplaceScope scope);
    // Stores the shown level back (answer as for storeback), then replaces
    // from by to in every level, each changed level one step of its own
    // history; nothing when the store-back is declined or a stroke is in
    // progress. The counts of what it did; changed stays empty.
    PackReplace replaceinpack(std::uint8_t from, std::uint8_t to, bool answer);
    // Takes the last replace across the pack back in every level it changed;
    // false, changing nothing, when one of them has changed since (its
    // newest step is another) or there is nothing to take back.
    bool undoreplaceinpack();
    bool canundoreplaceinpack() const;
    // Whether the last replace across the pack is not taken back yet, also
    // when it no longer can be.
    bool replacedinpack() const { return lastlevels_ > 0; }

    // The level menu. Each stores the shown level back first (answer as for
    // storeback) and is false when that is declined or a stroke is in
    // progress. Copying puts the stored record on the level clipboard;
    // pasting (false with an empty clipboard) and clearing replace the shown
    // level's record, one step of its history where it changes.
    bool copylevel(bool answer);
    bool pastelevel(bool answer);
    bool emptylevel(bool answer);
    const std::optional<LevelRecord>& levelclip() const { return levelclip_; }
    // The level in slot (0..110) as the overview shows it: the stored record
    // with its switches' ports decoded, or for the shown level its working
    // cells, marks included, with the title as the field has it.
    LevelRecord shownrecord(int slot) const;
    // A record from elsewhere (another program's clipboard) to paste.
    void setlevelclip(const LevelRecord& record) { levelclip_ = record; }
    // Cells from elsewhere (another window's copy) for the next paste; each
    // one empty or marked, as a copy leaves them.
    void setclipboard(const Layer& cells) { layers_.clipboard = cells; }
    // The shown level's cells, marks included, become cells as one undo step
    // (a level set up from outside, by a script or a test); the count of
    // cells changed, 0 while a stroke is in progress.
    int setcells(const LevelCells& cells);
    // Moves the shown level to slot number (1..111), the levels between
    // shifting, one step of its history, which goes with it; false when
    // nothing moved.
    bool movelevel(int number, bool answer);
    // The shown level's record becomes record (a level read from a map),
    // stored back first as above, one step of its history where it changes.
    bool replacerecord(const LevelRecord& record, bool answer);

    enum class Press { done, ignored, repaintall };
    // A button press at cell (col, row), with the stroke's first move step
    // run; the caller repaints all when asked, then draws what changed.
    Press press(Button button, bool ctrl, int col, int row, int leftitem, int rightitem);
    bool move(int col, int row);
    // Ends the stroke: one undo step for the whole stroke.
    bool release();
    // Ends the stroke without laying its overlay, as leaving the level in
    // the middle of one does: what its press did (marks cleared, a drag's
    // source taken) stays, one undo step; the view redraws what the
    // overlay covered. False when no stroke was in progress.
    bool dropstroke();
    bool stroking() const { return stroke_.inprogress(); }

    // A menu or tool command; undo and redo wait while a stroke is in
    // progress and return false when there is nothing to take or bring back.
    bool command(SessionCommand which);
    bool canundo() const { return history_.canundo(store_->levelnr); }
    bool canredo() const { return history_.canredo(store_->levelnr); }
    const History& history() const { return history_; }
    // Bounds all histories together to bytes; forgets every step.
    void sethistorylimit(std::size_t bytes) { history_ = History(bytes); }

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

        FieldValues values() const { return {titletext, infotrons, gravitybox}; }
        void set(const FieldValues& v) { titletext = v.title, infotrons = v.infotrons, gravitybox = v.gravity; }

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

    // The state a command is measured against, to tell the listener.
    struct Before {
        LevelPack pack;
        LevelCells cells;
        FieldValues fields;
        int levelnr;
    };

    StrokeTarget target() { return {store_->curlevel, layers_, stroke_}; }
    void started(); // a new or opened pack: no history, nothing unsaved
    void shown() { committed_ = host_.values(); } // a level was selected
    void recount() { host_.setcounter(countertext(countinfotrons(store_->curlevel))); }
    // Commands nest: the outermost one tells the listener.
    void begin();
    void end();
    template <class Run> auto changing(Run&& run);
    template <class Run> int celledit(Run&& run);
    bool step(bool undo);
    void apply(const HistoryStep& step, bool undo, int slot);
    void moveto(int slot);
    void showrecord(const LevelRecord& record);

    std::unique_ptr<LevelStore> store_;
    std::unique_ptr<LevelPack> saved_;
    std::unique_ptr<Before> before_;
    EditLayers layers_;
    StrokeState stroke_;
    Fields host_;
    FieldValues committed_; // the fields as the last step of the shown level left them
    History history_;
    std::optional<LevelRecord> levelclip_;
    std::function<void(const SessionChange&)> listener_;
    int depth_ = 0;
    int lastreplace_ = 0; // number of the last replace across the pack
    int lastlevels_ = 0;  // the levels it changed
    LevelCells strokestart_{}; // the shown level's cells when the stroke in progress began
};

} // namespace tess
