// SPDX-License-Identifier: MIT
#include "edit/session.h"

#include "edit/commands.h"
#include "edit/levelselect.h"
#include "edit/tilecommands.h"
#include "level/journalcodec.h"
#include "level/packops.h"

#include <algorithm>

namespace tess {

EditSession::EditSession()
    : store_(std::make_unique<LevelStore>()), saved_(std::make_unique<LevelPack>()),
      before_(std::make_unique<Before>()) {
    newpack();
}

// Without a listener there is nobody to tell: no copy of the pack to compare.
void EditSession::begin() {
    if (depth_++ > 0 || !listener_) return;
    before_->pack = store_->levelpack;
    before_->cells = tilesof(store_->curlevel);
    before_->fields = host_.values();
    before_->levelnr = store_->levelnr;
}

void EditSession::end() {
    if (--depth_ > 0 || !listener_) return;
    SessionChange c;
    c.cells = tilesof(store_->curlevel) != before_->cells;
    c.fields = host_.values() != before_->fields;
    c.level = store_->levelnr != before_->levelnr;
    for (int i = 0; i < levelcount; ++i) c.records[i] = store_->levelpack[i] != before_->pack[i];
    if (c.any()) listener_(c);
}

template <class Run> auto EditSession::changing(Run&& run) {
    begin();
    auto result = run();
    end();
    return result;
}

void EditSession::started() {
    history_.clear();
    lastlevels_ = 0;
    shown();
    *saved_ = image();
}

void EditSession::newpack() {
    changing([&] {
        newlevelpack(*store_, layers_, host_);
        started();
        return true;
    });
}

bool EditSession::openpack(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != static_cast<std::size_t>(packlen)) return false;
    return changing([&] {
        packfrombytes(bytes.data(), store_->levelpack);
        selectlevel(*store_, layers_, host_, 0);
        started();
        return true;
    });
}

bool EditSession::restore(std::span<const std::uint8_t> image, std::span<const std::uint8_t> saved, int index) {
    if (image.size() != static_cast<std::size_t>(packlen) || saved.size() != static_cast<std::size_t>(packlen) ||
        index < 0 || index >= levelcount)
        return false;
    return changing([&] {
        packfrombytes(image.data(), store_->levelpack);
        selectlevel(*store_, layers_, host_, index);
        started();
        packfrombytes(saved.data(), *saved_);
        return true;
    });
}

std::vector<std::uint8_t> EditSession::journal(std::int64_t time, const std::string& name) const {
    return encodejournalbytes({store_->levelnr, time, name, std::make_shared<const LevelPack>(image()),
                               std::make_shared<const LevelPack>(*saved_)});
}

bool EditSession::restorejournal(std::span<const std::uint8_t> bytes) {
    const JournalParse j = parsejournalbytes(bytes);
    if (!j.ok) return false;
    const std::unique_ptr<EditSession> fresh = j.journal.saved ? nullptr : std::make_unique<EditSession>();
    return changing([&] {
        store_->levelpack = *j.journal.pack;
        selectlevel(*store_, layers_, host_, j.journal.levelnr);
        started();
        *saved_ = fresh ? fresh->image() : *j.journal.saved;
        return true;
    });
}

LevelPack EditSession::image() const { return packimage(*store_, readfields(host_)); }

bool EditSession::unsaved() const {
    const LevelPack now = image();
    for (int i = 0; i < levelcount; ++i)
        if (now[i] != (*saved_)[i] && storedback(now[i]) != storedback((*saved_)[i])) return true;
    return false;
}

void EditSession::setfields(int infotrons, bool gravity, std::string title) {
    changing([&] {
        host_.infotrons = std::clamp(infotrons, 0, 255);
        host_.gravitybox = gravity;
        title.resize(std::min<std::size_t>(title.size(), titlelen));
        host_.titletext = std::move(title);
        return true;
    });
}

bool EditSession::commitfields() {
    const FieldValues now = host_.values();
    if (now == committed_) return false;
    history_.record(store_->levelnr, FieldStep{committed_, now});
    committed_ = now;
    return true;
}

int EditSession::switchesfound() const { return buildrecord(store_->curlevel, readfields(host_)).switchesfound; }

bool EditSession::storeback(bool answer) {
    return changing([&] {
        commitfields();
        host_.answer = answer;
        return savebacklevel(*store_, host_);
    });
}

bool EditSession::switchlevel(int number, bool answer) {
    if (!canswitchto(number)) return false;
    return changing([&] {
        if (!storeback(answer)) return false;
        selectlevel(*store_, layers_, host_, number - 1);
        shown();
        return true;
    });
}

EditSession::Press EditSession::press(Button button, bool ctrl, int col, int row, int leftitem, int rightitem) {
    const bool fresh = !stroking();
    const LevelCells before = tilesof(store_->curlevel);
    const PressResult r = strokepress(target(), button, ctrl, col, row, leftitem, rightitem);
    if (r.ignored) return Press::ignored;
    // A press while a stroke runs restarts it; the step still spans from
    // the first press.
    if (fresh) strokestart_ = before;
    strokemove(target(), stroke_.startx, stroke_.starty);
    return r.repaintall ? Press::repaintall : Press::done;
}

bool EditSession::move(int col, int row) { return strokemove(target(), col, row); }

bool EditSession::release() {
    if (!strokerelease(target())) return false;
    recount();
    CellChange change = diffcells(strokestart_, store_->curlevel);
    if (change.empty()) return true;
    history_.record(store_->levelnr, std::move(change));
    if (listener_) {
        SessionChange c;
        c.cells = true;
        listener_(c);
    }
    return true;
}

bool EditSession::dropstroke() {
    if (!stroking()) return false;
    return changing([&] {
        stroke_ = StrokeState{};
        // Its cells keep their drawn values in screenbuf: the next
        // putbuffer draws them from the level.
        layers_.overlay.fill(notile);
        recount();
        CellChange change = diffcells(strokestart_, store_->curlevel);
        if (!change.empty()) history_.record(store_->levelnr, std::move(change));
        return true;
    });
}

template <class Run> int EditSession::celledit(Run&& run) {
    if (stroking()) return 0;
    return changing([&] {
        const LevelCells before = tilesof(store_->curlevel);
        const int n = run();
        CellChange change = diffcells(before, store_->curlevel);
        if (!change.empty()) history_.record(store_->levelnr, std::move(change));
        recount();
        return n;
    });
}

bool EditSession::command(SessionCommand which) {
    LevelRecord& cur = store_->curlevel;
    // Cut and its kind run during a stroke too, as the view's keys reach them.
    const auto undoable = [&](auto run) {
        return changing([&] {
            // During a stroke the step also takes what its press did; the
            // stroke's own step then starts after it.
            const LevelCells before = stroking() ? strokestart_ : tilesof(cur);
            run();
            CellChange change = diffcells(before, cur);
            if (!change.empty()) history_.record(store_->levelnr, std::move(change));
            if (stroking()) strokestart_ = tilesof(cur);
            return true;
        });
    };
    switch (which) {
    case SessionCommand::copy: copyselection(cur, layers_); return true;
    case SessionCommand::cut: return undoable([&] { cutselection(cur, layers_); });
    case SessionCommand::paste: return undoable([&] { pasteclipboard(cur, layers_); });
    case SessionCommand::remove: return undoable([&] { deleteselection(cur, layers_); });
    case SessionCommand::draw: return undoable([&] { drawtoolclick(cur, layers_); });
    case SessionCommand::select: selecttoolclick(layers_); return true;
    case SessionCommand::selectall: return undoable([&] { markall(cur, layers_); });
    case SessionCommand::undo: return step(true);
    case SessionCommand::redo: return step(false);
    }
    return false;
}

bool EditSession::step(bool undo) {
    if (stroking()) return false;
    return changing([&] {
        const int slot = store_->levelnr;
        const HistoryStep* s = undo ? history_.undo(slot) : history_.redo(slot);
        if (s) apply(*s, undo, slot);
        return s != nullptr;
    });
}

namespace {

template <class... F> struct overloaded : F... {
    using F::operator()...;
};
template <class... F> overloaded(F...) -> overloaded<F...>;

} // namespace

void EditSession::apply(const HistoryStep& step, bool undo, int slot) {
    LevelRecord& cur = store_->curlevel;
    std::visit(overloaded{
                   [&](const CellChange& c) {
                       applycells(cur, layers_, c, undo);
                       recount();
                   },
                   [&](const FieldStep& f) {
                       host_.set(undo ? f.before : f.after);
                       shown();
                   },
                   [&](const RecordStep& r) { showrecord((*r.records)[undo ? 0 : 1]); },
                   [&](const MoveStep& m) { moveto(undo ? m.from : m.to); },
                   [&](const ReplaceStep& r) {
                       if (slot != store_->levelnr) {
                           applyrecordbytes(store_->levelpack[slot], r.change, undo);
                           return;
                       }
                       // The shown level holds what it held right after the
                       // replace: its record is built from it and the bytes
                       // written into that. Its marks stay with the cells.
                       LevelRecord rec = buildrecord(cur, readfields(host_)).record;
                       applyrecordbytes(rec, r.change, undo);
                       store_->levelpack[slot] = rec;
                       showrecordcells(cur, layers_, rec);
                       recount();
                   },
               },
               step);
}

// The shown level goes to slot as it is, its working cells, marks and fields
// along; the levels between shift, and so do their histories.
void EditSession::moveto(int slot) {
    const int from = store_->levelnr;
    moveslot(store_->levelpack, from, slot);
    history_.moveslot(from, slot);
    store_->levelnr = slot;
    host_.setlevelnumber(slot + 1);
}

void EditSession::showrecord(const LevelRecord& record) {
    store_->levelpack[store_->levelnr] = record;
    selectlevel(*store_, layers_, host_, store_->levelnr);
    shown();
}

int EditSession::setcells(const LevelCells& cells) {
    return celledit([&] {
        // Written as the undo of a change from cells to what is shown.
        const CellChange change = diffcells(cells, store_->curlevel);
        applycells(store_->curlevel, layers_, change, true);
        return static_cast<int>(change.cells.size());
    });
}

int EditSession::fillmarked(std::uint8_t code) {
    return celledit([&] { return tess::fillmarked(store_->curlevel, layers_, code); });
}

int EditSession::mirrormarked(Mirror axis) {
    return celledit([&] { return tess::mirrormarked(store_->curlevel, layers_, axis); });
}

int EditSession::marksametiles(std::uint8_t code) {
    return celledit([&] { return tess::marksametiles(store_->curlevel, layers_, code); });
}

int EditSession::markregion(int col, int row) {
    return celledit([&] { return tess::markregion(store_->curlevel, layers_, col, row); });
}

int EditSession::replacetiles(std::uint8_t from, std::uint8_t to, ReplaceScope scope) {
    if (scope == ReplaceScope::pack) return 0;
    return celledit([&] { return tess::replacetiles(store_->curlevel, layers_, from, to, scope); });
}

PackReplace EditSession::replaceinpack(std::uint8_t from, std::uint8_t to, bool answer) {
    if (stroking()) return {};
    return changing([&] {
        if (!storeback(answer)) return PackReplace{};
        PackReplace done = tess::replaceinpack(store_->levelpack, from, to, true);
        const int id = ++lastreplace_;
        for (SlotReplace& s : done.changed) {
            CellChange change = diffrecords(store_->levelpack[s.slot], s.after);
            store_->levelpack[s.slot] = s.after;
            if (s.slot == store_->levelnr) {
                showrecordcells(store_->curlevel, layers_, s.after);
                recount();
            }
            history_.record(s.slot, ReplaceStep{id, std::move(change)});
        }
        lastlevels_ = done.levels;
        done.changed.clear();
        return done;
    });
}

bool EditSession::canundoreplaceinpack() const {
    if (lastlevels_ == 0) return false;
    int found = 0;
    for (int slot = 0; slot < levelcount; ++slot) {
        const auto* r = std::get_if<ReplaceStep>(history_.top(slot));
        found += r && r->replace == lastreplace_;
    }
    return found == lastlevels_;
}

bool EditSession::undoreplaceinpack() {
    if (stroking()) return false;
    return changing([&] {
        // A field edited in one of the levels since is a change since.
        commitfields();
        if (!canundoreplaceinpack()) return false;
        for (int slot = 0; slot < levelcount; ++slot) {
            const auto* r = std::get_if<ReplaceStep>(history_.top(slot));
            if (r && r->replace == lastreplace_) apply(*history_.undo(slot), true, slot);
        }
        lastlevels_ = 0;
        return true;
    });
}

bool EditSession::copylevel(bool answer) {
    if (stroking()) return false;
    return changing([&] {
        if (!storeback(answer)) return false;
        levelclip_ = store_->levelpack[store_->levelnr];
        return true;
    });
}

bool EditSession::replacerecord(const LevelRecord& record, bool answer) {
    if (stroking()) return false;
    return changing([&] {
        if (!storeback(answer)) return false;
        const LevelRecord before = store_->levelpack[store_->levelnr];
        if (before == record) return true;
        showrecord(record);
        history_.record(store_->levelnr,
                        RecordStep{std::make_unique<const std::array<LevelRecord, 2>>(
                            std::array<LevelRecord, 2>{before, record})});
        return true;
    });
}

bool EditSession::pastelevel(bool answer) { return levelclip_ && replacerecord(*levelclip_, answer); }

bool EditSession::emptylevel(bool answer) { return replacerecord(tess::emptylevel(store_->levelnr + 1), answer); }

bool EditSession::movelevel(int number, bool answer) {
    if (number < 1 || number > levelcount || stroking()) return false;
    return changing([&] {
        const int from = store_->levelnr, to = number - 1;
        if (to == from || !storeback(answer)) return false;
        moveto(to);
        history_.record(to, MoveStep{from, to});
        return true;
    });
}

LevelRecord EditSession::shownrecord(int slot) const {
    if (slot != store_->levelnr) {
        LevelRecord rec = store_->levelpack[static_cast<std::size_t>(slot)];
        decodeswitches(rec);
        return rec;
    }
    LevelRecord rec = store_->curlevel;
    std::string t = host_.titletext;
    t.resize(titlelen, ' ');
    std::copy(t.begin(), t.end(), rec.begin() + off_title);
    return rec;
}

} // namespace tess
