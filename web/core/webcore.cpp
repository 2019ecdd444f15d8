// SPDX-License-Identifier: MIT
// The browser's way into the core: one editing session (pack, working level,
// layers, stroke, history) behind plain C functions. The page passes cells,
// buttons and field values in and reads cells to draw, texts and file bytes
// out; what a press, a move, a release or a command does stays here.

#include "edit/cellhistory.h"
#include "edit/commands.h"
#include "edit/display.h"
#include "edit/levelselect.h"
#include "edit/stroke.h"
#include "edit/tilecommands.h"
#include "level/captions.h"
#include "level/levelstore.h"
#include "level/tilenames.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace tess;

namespace {

// The property fields as the page last reported them.
struct WebHost : LevelHost {
    int number = 1;
    std::string titletext;
    int infotrons = 0;
    std::string counter = countertext(0);
    bool gravitybox = false;
    bool answer = false; // the answer the page got before asking the core to store

    void setlevelnumber(int n) override { number = n; }
    void settitle(const std::string& t) override { titletext = t.substr(0, t.find('\0')); }
    std::string title() const override { return titletext; }
    void setinfotronsneeded(int v) override { infotrons = v; }
    std::int16_t infotronsneeded() const override { return static_cast<std::int16_t>(infotrons); }
    void setcounter(const std::string& text) override { counter = text; }
    void setgravity(bool on) override { gravitybox = on; }
    bool gravity() const override { return gravitybox; }
    bool askyesno(const std::string&) override { return answer; }
    void repaintlevel() override {} // the page repaints after every call that selects
};

struct Session {
    LevelStore store;
    EditLayers layers;
    StrokeState stroke;
    WebHost host;
    CellHistory history;
    LevelCells before{}; // curlevel's cells when the stroke in progress began
    LevelPack saved{};   // the pack as last opened, saved or made
    std::vector<std::uint8_t> io;
    std::vector<std::uint8_t> drawn; // col, row, code, inverted per drawn cell
    std::array<std::uint8_t, cellcount> looks{};
    std::string text;

    StrokeTarget target() { return {store.curlevel, layers, stroke}; }
    LevelPack image() const { return packimage(store, readfields(host)); }
};

Session* s = nullptr;

void flatten(const LevelPack& pack, std::uint8_t* out) {
    for (int i = 0; i < levelcount; ++i) std::memcpy(out + static_cast<std::size_t>(i) * reclen, pack[i].data(), reclen);
}

// A new or opened pack: no history, and nothing unsaved.
void startedit() {
    s->history.clear();
    s->saved = s->image();
}

std::string jsonstring(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        default: out += *p;
        }
    }
    return out + "\"";
}

// Records what a command did to curlevel as one undo step.
template <class Run> void undoable(Run&& run) {
    const LevelCells before = tilesof(s->store.curlevel);
    run();
    s->history.record(s->store.levelnr, diffcells(before, s->store.curlevel));
}

enum Command { cmd_copy, cmd_cut, cmd_paste, cmd_delete, cmd_draw, cmd_select, cmd_selectall, cmd_undo, cmd_redo };

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void wc_init() {
    s = new Session;
    newlevelpack(s->store, s->layers, s->host);
    startedit();
}

// {"captions": {key: text}, "tiles": ["Code 0: leer (schwarz)", ...]} for codes 0..43.
EMSCRIPTEN_KEEPALIVE const char* wc_texts() {
    std::string& t = s->text;
    t = "{\"captions\":{";
    for (const Caption& c : captions()) t += jsonstring(c.key) + ":" + jsonstring(c.text) + ",";
    t.back() = '}';
    t += ",\"tiles\":[";
    for (int code = 0; code < tilecodecount; ++code) t += jsonstring(tilelabel(code).c_str()) + (code + 1 < tilecodecount ? "," : "]}");
    return t.c_str();
}

EMSCRIPTEN_KEEPALIVE void wc_newpack() {
    newlevelpack(s->store, s->layers, s->host);
    startedit();
}

// A buffer of size bytes for file contents; null beyond two packs, which is
// the most the page ever passes in (a pack and its saved image).
EMSCRIPTEN_KEEPALIVE std::uint8_t* wc_io(int size) {
    if (size < 0 || size > 2 * packlen) return nullptr;
    s->io.assign(static_cast<std::size_t>(size), 0);
    return s->io.data();
}

// Why the io buffer is no pack (German, empty when it is one).
EMSCRIPTEN_KEEPALIVE const char* wc_packproblem(double size) {
    s->text = packsizeproblem(size < 0 ? 0 : static_cast<std::uint64_t>(size));
    return s->text.c_str();
}

// What loading a file of size bytes leaves out (German, empty for a pack's length or less).
EMSCRIPTEN_KEEPALIVE const char* wc_packwarning(double size) {
    s->text = packsizewarning(size < 0 ? 0 : static_cast<std::uint64_t>(size));
    return s->text.c_str();
}

// Loads the pack in the io buffer and selects level 1; false (and nothing
// changes) when the buffer does not hold exactly one pack.
EMSCRIPTEN_KEEPALIVE int wc_openpack() {
    if (s->io.size() != static_cast<std::size_t>(packlen)) return 0;
    packfrombytes(s->io.data(), s->store.levelpack);
    selectlevel(s->store, s->layers, s->host, 0);
    startedit();
    return 1;
}

// Recovery: the io buffer holds the pack image and the saved image; the
// level index (0..110) is selected and the work stays unsaved.
EMSCRIPTEN_KEEPALIVE int wc_restore(int index) {
    if (s->io.size() != static_cast<std::size_t>(2 * packlen) || index < 0 || index >= levelcount) return 0;
    packfrombytes(s->io.data(), s->store.levelpack);
    selectlevel(s->store, s->layers, s->host, index);
    s->history.clear();
    packfrombytes(s->io.data() + packlen, s->saved);
    return 1;
}

// The fields as the page shows them; title as Latin-1 bytes.
EMSCRIPTEN_KEEPALIVE void wc_setfields(int infotrons, int gravity, const char* title, int len) {
    s->host.infotrons = infotrons;
    s->host.gravitybox = gravity != 0;
    s->host.titletext.assign(title, static_cast<std::size_t>(std::max(0, std::min(len, titlelen))));
}

EMSCRIPTEN_KEEPALIVE int wc_levelnumber() { return s->host.number; }
EMSCRIPTEN_KEEPALIVE int wc_infotrons() { return s->host.infotrons; }
EMSCRIPTEN_KEEPALIVE int wc_gravity() { return s->host.gravitybox; }
EMSCRIPTEN_KEEPALIVE const char* wc_title() { return s->host.titletext.c_str(); }
EMSCRIPTEN_KEEPALIVE int wc_titlelength() { return static_cast<int>(s->host.titletext.size()); }
EMSCRIPTEN_KEEPALIVE const char* wc_counter() { return s->host.counter.c_str(); }
EMSCRIPTEN_KEEPALIVE int wc_drawmode() { return s->layers.drawmode; }

// Ports a store-back would find; more than 11 means it asks first.
EMSCRIPTEN_KEEPALIVE int wc_switchesfound() {
    return buildrecord(s->store.curlevel, readfields(s->host)).switchesfound;
}

// Stores the working level back, with answer as the reply to the switch-limit
// question should it be asked. False when nothing was stored.
EMSCRIPTEN_KEEPALIVE int wc_storeback(int answer) {
    s->host.answer = answer != 0;
    return savebacklevel(s->store, s->host);
}

// The level switch: store back, then select number (1..111). False, with the
// level unchanged, for a number out of range or a declined question.
EMSCRIPTEN_KEEPALIVE int wc_switchlevel(int number, int answer) {
    if (number < 1 || number > levelcount || s->stroke.inprogress()) return 0;
    if (!wc_storeback(answer)) return 0;
    selectlevel(s->store, s->layers, s->host, number - 1);
    return 1;
}

// The pack's 170496 bytes as they are in memory (store back first to save).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_packbytes() {
    s->io.resize(packlen);
    flatten(s->store.levelpack, s->io.data());
    return s->io.data();
}

// The pack as a save would write it now, and after it the saved image: what
// recovery keeps.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_recoverybytes() {
    s->io.resize(2 * packlen);
    flatten(s->image(), s->io.data());
    flatten(s->saved, s->io.data() + packlen);
    return s->io.data();
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_levellist() {
    const LevelList list = buildlevellist(s->store.levelpack);
    s->io.assign(list.begin(), list.end());
    return s->io.data();
}

EMSCRIPTEN_KEEPALIVE void wc_marksaved() { s->saved = s->store.levelpack; }

// Whether saving now would write other bytes than the pack last opened or
// saved. Records that differ only by what a store-back itself writes (a
// border ring a foreign file lacks) count as equal.
EMSCRIPTEN_KEEPALIVE int wc_unsaved() {
    const LevelPack now = s->image();
    for (int i = 0; i < levelcount; ++i)
        if (now[i] != s->saved[i] && storedback(now[i]) != storedback(s->saved[i])) return 1;
    return 0;
}

// A button press at cell (col, row); button 0 left, 1 right, 2 middle.
// Returns 1 when ignored, 2 when the whole view must be repainted; the first
// move step has run, so the caller repaints (if asked) and runs putbuffer.
EMSCRIPTEN_KEEPALIVE int wc_press(int button, int ctrl, int col, int row, int leftitem, int rightitem) {
    const bool fresh = !s->stroke.inprogress();
    const LevelCells before = tilesof(s->store.curlevel);
    const Button b = button == 1 ? Button::right : button == 2 ? Button::middle : Button::left;
    const PressResult r = strokepress(s->target(), b, ctrl != 0, col, row, leftitem, rightitem);
    if (r.ignored) return 1;
    if (fresh) s->before = before;
    strokemove(s->target(), s->stroke.startx, s->stroke.starty);
    return r.repaintall ? 2 : 0;
}

EMSCRIPTEN_KEEPALIVE int wc_move(int col, int row) { return strokemove(s->target(), col, row); }

// Ends the stroke and records it as one undo step.
EMSCRIPTEN_KEEPALIVE int wc_release() {
    if (!strokerelease(s->target())) return 0;
    s->history.record(s->store.levelnr, diffcells(s->before, s->store.curlevel));
    s->host.setcounter(countertext(countinfotrons(s->store.curlevel)));
    return 1;
}

EMSCRIPTEN_KEEPALIVE int wc_stroking() { return s->stroke.inprogress(); }

// The menu commands; each leaves what it changed for putbuffer. Undo and
// redo wait while a stroke is in progress and return false when there is
// nothing to take back or bring back.
EMSCRIPTEN_KEEPALIVE int wc_command(int which) {
    LevelRecord& cur = s->store.curlevel;
    EditLayers& layers = s->layers;
    switch (which) {
    case cmd_copy: copyselection(cur, layers); return 1;
    case cmd_cut: undoable([&] { cutselection(cur, layers); }); return 1;
    case cmd_paste: undoable([&] { pasteclipboard(cur, layers); }); return 1;
    case cmd_delete: undoable([&] { deleteselection(cur, layers); }); return 1;
    case cmd_draw: undoable([&] { drawtoolclick(cur, layers); }); return 1;
    case cmd_select: selecttoolclick(layers); return 1;
    case cmd_selectall: undoable([&] { markall(cur, layers); }); return 1;
    case cmd_undo:
    case cmd_redo: {
        if (s->stroke.inprogress()) return 0;
        const CellChange* c = which == cmd_undo ? s->history.undo(s->store.levelnr) : s->history.redo(s->store.levelnr);
        if (!c) return 0;
        applycells(cur, layers, *c, which == cmd_undo);
        s->host.setcounter(countertext(countinfotrons(cur)));
        return 1;
    }
    }
    return 0;
}

EMSCRIPTEN_KEEPALIVE int wc_canundo() { return s->history.canundo(s->store.levelnr); }
EMSCRIPTEN_KEEPALIVE int wc_canredo() { return s->history.canredo(s->store.levelnr); }

// The incremental redraw: the cells to draw, four bytes each (col, row,
// code, inverted) at wc_drawn(); returns their number.
EMSCRIPTEN_KEEPALIVE int wc_putbuffer() {
    s->drawn.clear();
    return putbuffer(s->layers, s->store.curlevel, [](int col, int row, CellLook look) {
        s->drawn.insert(s->drawn.end(), {static_cast<std::uint8_t>(col), static_cast<std::uint8_t>(row), look.code,
                                         static_cast<std::uint8_t>(look.inverted)});
    });
}
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_drawn() { return s->drawn.data(); }

// What every cell shows for a full repaint: the code, plus 0x80 when
// inverted; only interior cells are filled in.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_looks() {
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const CellLook l = celllook(s->layers, s->store.curlevel, col, row);
            s->looks[cellindex(col, row)] = static_cast<std::uint8_t>((l.code & 0x7F) | (l.inverted ? 0x80 : 0));
        }
    return s->looks.data();
}

} // extern "C"
