// SPDX-License-Identifier: MIT
#include "edit/session.h"

#include "edit/commands.h"
#include "edit/levelselect.h"
#include "edit/tilecommands.h"

#include <algorithm>

namespace tess {

EditSession::EditSession() : store_(std::make_unique<LevelStore>()), saved_(std::make_unique<LevelPack>()) {
    newpack();
}

void EditSession::started() {
    history_.clear();
    *saved_ = image();
}

void EditSession::newpack() {
    newlevelpack(*store_, layers_, host_);
    started();
}

bool EditSession::openpack(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != static_cast<std::size_t>(packlen)) return false;
    packfrombytes(bytes.data(), store_->levelpack);
    selectlevel(*store_, layers_, host_, 0);
    started();
    return true;
}

bool EditSession::restore(std::span<const std::uint8_t> image, std::span<const std::uint8_t> saved, int index) {
    if (image.size() != static_cast<std::size_t>(packlen) || saved.size() != static_cast<std::size_t>(packlen) ||
        index < 0 || index >= levelcount)
        return false;
    packfrombytes(image.data(), store_->levelpack);
    selectlevel(*store_, layers_, host_, index);
    history_.clear();
    packfrombytes(saved.data(), *saved_);
    return true;
}

LevelPack EditSession::image() const { return packimage(*store_, readfields(host_)); }

bool EditSession::unsaved() const {
    const LevelPack now = image();
    for (int i = 0; i < levelcount; ++i)
        if (now[i] != (*saved_)[i] && storedback(now[i]) != storedback((*saved_)[i])) return true;
    return false;
}

void EditSession::setfields(int infotrons, bool gravity, std::string title) {
    host_.infotrons = std::clamp(infotrons, 0, 255);
    host_.gravitybox = gravity;
    title.resize(std::min<std::size_t>(title.size(), titlelen));
    host_.titletext = std::move(title);
}

int EditSession::switchesfound() const { return buildrecord(store_->curlevel, readfields(host_)).switchesfound; }

bool EditSession::storeback(bool answer) {
    host_.answer = answer;
    return savebacklevel(*store_, host_);
}

bool EditSession::switchlevel(int number, bool answer) {
    if (number < 1 || number > levelcount || stroking() || !storeback(answer)) return false;
    selectlevel(*store_, layers_, host_, number - 1);
    return true;
}

EditSession::Press EditSession::press(Button button, bool ctrl, int col, int row, int leftitem, int rightitem) {
    const bool fresh = !stroking();
    const LevelCells before = tilesof(store_->curlevel);
    const PressResult r = strokepress(target(), button, ctrl, col, row, leftitem, rightitem);
    if (r.ignored) return Press::ignored;
    // A press while a stroke runs restarts it; the step still spans from
    // the first press.
    if (fresh) before_ = before;
    strokemove(target(), stroke_.startx, stroke_.starty);
    return r.repaintall ? Press::repaintall : Press::done;
}

bool EditSession::move(int col, int row) { return strokemove(target(), col, row); }

bool EditSession::release() {
    if (!strokerelease(target())) return false;
    history_.record(store_->levelnr, diffcells(before_, store_->curlevel));
    recount();
    return true;
}

template <class Run> bool EditSession::undoable(Run&& run) {
    const LevelCells before = tilesof(store_->curlevel);
    run();
    history_.record(store_->levelnr, diffcells(before, store_->curlevel));
    return true;
}

bool EditSession::command(SessionCommand which) {
    LevelRecord& cur = store_->curlevel;
    switch (which) {
    case SessionCommand::copy: copyselection(cur, layers_); return true;
    case SessionCommand::cut: return undoable([&] { cutselection(cur, layers_); });
    case SessionCommand::paste: return undoable([&] { pasteclipboard(cur, layers_); });
    case SessionCommand::remove: return undoable([&] { deleteselection(cur, layers_); });
    case SessionCommand::draw: return undoable([&] { drawtoolclick(cur, layers_); });
    case SessionCommand::select: selecttoolclick(layers_); return true;
    case SessionCommand::selectall: return undoable([&] { markall(cur, layers_); });
    case SessionCommand::undo:
    case SessionCommand::redo: {
        if (stroking()) return false;
        const bool undo = which == SessionCommand::undo;
        const CellChange* c = undo ? history_.undo(store_->levelnr) : history_.redo(store_->levelnr);
        if (!c) return false;
        applycells(cur, layers_, *c, undo);
        recount();
        return true;
    }
    }
    return false;
}

} // namespace tess
