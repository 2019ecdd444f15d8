// SPDX-License-Identifier: MIT
// The browser's way into the core: the editing session behind plain C
// functions. The page passes cells, buttons and field values in and reads
// cells to draw, texts and file bytes out; what any of it does is the
// session's.

#include "edit/clipformat.h"
#include "edit/session.h"
#include "edit/userinput.h"
#include "level/journalcodec.h"
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

struct Binding {
    EditSession session;
    std::vector<std::uint8_t> io;
    std::vector<std::uint8_t> drawn; // col, row, code, inverted per drawn cell
    std::array<std::uint8_t, cellcount> looks{};
    std::string text;
    std::string in; // a UTF-8 text from the page: a name, a title, a typed number
};

Binding* s = nullptr;
EditSession& session() { return s->session; }

void flatten(const LevelPack& pack, std::uint8_t* out) {
    for (int i = 0; i < levelcount; ++i) std::memcpy(out + static_cast<std::size_t>(i) * reclen, pack[i].data(), reclen);
}

std::string jsonstring(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        switch (*p) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(*p) < 0x20) {
                const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[(*p >> 4) & 0xF];
                out += hex[*p & 0xF];
            } else {
                out += *p;
            }
        }
    }
    return out + "\"";
}

ReplaceScope scopeof(int scope) {
    return scope == 0 ? ReplaceScope::marked : scope == 1 ? ReplaceScope::level : ReplaceScope::pack;
}
const char* replacecounts(int cells, int levels, int skipped) {
    s->text = "{\"cells\":" + std::to_string(cells) + ",\"levels\":" + std::to_string(levels) +
              ",\"skipped\":" + std::to_string(skipped) + "}";
    return s->text.c_str();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void wc_init() { s = new Binding; }

// {"captions": {key: text}, "tiles": ["Code 0: leer (schwarz)", ...] for every byte,
// "names": ["leer (schwarz)", ...] for the codes with a picture}.
EMSCRIPTEN_KEEPALIVE const char* wc_texts() {
    std::string& t = s->text;
    t = "{\"captions\":{";
    for (const Caption& c : captions()) t += jsonstring(c.key) + ":" + jsonstring(c.text) + ",";
    t.back() = '}';
    t += ",\"tiles\":[";
    for (int code = 0; code < 256; ++code) t += jsonstring(tilelabel(code).c_str()) + (code < 255 ? "," : "]");
    t += ",\"names\":[";
    for (int code = 0; code < tilecodecount; ++code) t += jsonstring(tilename(code)) + (code < tilecodecount - 1 ? "," : "]}");
    return t.c_str();
}

// The sizes and steps the page lays out by: {"packlen": 170496, ...}.
EMSCRIPTEN_KEEPALIVE const char* wc_limits() {
    std::string& t = s->text;
    t = "{\"packlen\":" + std::to_string(packlen) + ",\"listlen\":" + std::to_string(listlen) +
        ",\"levelcount\":" + std::to_string(levelcount) + ",\"titlelen\":" + std::to_string(titlelen) +
        ",\"starttile\":" + std::to_string(starttile) + "}";
    return t.c_str();
}

// A buffer of size bytes for a UTF-8 text the next call reads.
EMSCRIPTEN_KEEPALIVE char* wc_in(int size) {
    s->in.assign(static_cast<std::size_t>(std::max(0, size)), '\0');
    return s->in.data();
}

EMSCRIPTEN_KEEPALIVE void wc_newpack() { session().newpack(); }

// A buffer of size bytes for file contents; null beyond the longest journal,
// the most the page ever passes in.
EMSCRIPTEN_KEEPALIVE std::uint8_t* wc_io(int size) {
    if (size < 0 || size > journalmaxlen) return nullptr;
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
EMSCRIPTEN_KEEPALIVE int wc_openpack() { return session().openpack(s->io); }

// Recovery: the journal in the io buffer becomes the work, unsaved; false
// when it is none.
EMSCRIPTEN_KEEPALIVE int wc_restorejournal() { return session().restorejournal(s->io); }

// The journal of the work now, stamped with time (ms) and the name in the
// text buffer, into the io buffer; its length.
EMSCRIPTEN_KEEPALIVE int wc_journal(double time) {
    s->io = session().journal(static_cast<std::int64_t>(time), s->in);
    return static_cast<int>(s->io.size());
}

// What the journal in the io buffer holds, for the question:
// {"why": "", "level": 0..110, "time": ms, "name": "...", "differing": n};
// why is a German sentence when it is no journal, and the rest then absent.
EMSCRIPTEN_KEEPALIVE const char* wc_journalinfo() {
    const JournalParse j = parsejournalbytes(s->io);
    std::string& t = s->text;
    t = "{\"why\":" + jsonstring(j.why.c_str());
    if (j.ok) {
        const auto fresh = j.journal.saved ? nullptr : std::make_unique<EditSession>();
        const int differing = levelsdiffering(*j.journal.pack, fresh ? fresh->image() : *j.journal.saved);
        t += ",\"level\":" + std::to_string(j.journal.levelnr) + ",\"time\":" + std::to_string(j.journal.time) +
             ",\"name\":" + jsonstring(j.journal.name.c_str()) + ",\"differing\":" + std::to_string(differing);
    }
    t += "}";
    return t.c_str();
}

// Work the page kept before it kept journals: the pack and saved image in the
// io buffer (as much as it took of a record size bytes long), the name in
// the text buffer. The io buffer then holds the journal; its length, or 0
// with wc_why() saying why.
EMSCRIPTEN_KEEPALIVE int wc_keptjournal(int level, double time, double size) {
    s->io = journalfromparts(s->io, size < 0 ? 0 : static_cast<std::uint64_t>(size), level,
                             static_cast<std::int64_t>(time), s->in, s->text);
    return static_cast<int>(s->io.size());
}
EMSCRIPTEN_KEEPALIVE const char* wc_why() { return s->text.c_str(); }

// Why kept bytes of size cannot be a journal by their length alone (German,
// empty when they may be one).
EMSCRIPTEN_KEEPALIVE const char* wc_journalsizeproblem(double size) {
    s->text = journalsizeproblem(size < 0 ? 0 : static_cast<std::uint64_t>(size));
    return s->text.c_str();
}

// The fields as the page shows them, the title left as it is.
EMSCRIPTEN_KEEPALIVE void wc_setfields(int infotrons, int gravity) {
    session().setfields(infotrons, gravity != 0, session().title());
}

// The title typed, in the text buffer as UTF-8; the core keeps it as Latin-1.
EMSCRIPTEN_KEEPALIVE void wc_settitle() {
    session().setfields(session().infotrons(), session().gravity(), latin1title(s->in));
}

// The infotrons spinner's value for the text typed (text buffer), the
// spinner's position and a step.
EMSCRIPTEN_KEEPALIVE int wc_infotronsvalue(int spinner, int step) { return infotronsvalue(s->in, spinner, step); }

EMSCRIPTEN_KEEPALIVE int wc_zoomstep(int tile, int by) { return zoomstep(tile, by); }

// The level list's name beside the pack's name in the text buffer.
EMSCRIPTEN_KEEPALIVE const char* wc_listname() {
    s->text = levellistname(s->in);
    return s->text.c_str();
}

EMSCRIPTEN_KEEPALIVE int wc_levelnumber() { return session().levelnumber(); }
EMSCRIPTEN_KEEPALIVE int wc_infotrons() { return session().infotrons(); }
EMSCRIPTEN_KEEPALIVE int wc_gravity() { return session().gravity(); }
EMSCRIPTEN_KEEPALIVE const char* wc_title() { return session().title().c_str(); }
EMSCRIPTEN_KEEPALIVE int wc_titlelength() { return static_cast<int>(session().title().size()); }
EMSCRIPTEN_KEEPALIVE const char* wc_counter() { return session().counter().c_str(); }
EMSCRIPTEN_KEEPALIVE int wc_drawmode() { return session().layers().drawmode; }

// Whether a store-back now asks the switch-limit question; whether a switch
// to number may run at all.
EMSCRIPTEN_KEEPALIVE int wc_storebackasks() { return session().storebackasks(); }
EMSCRIPTEN_KEEPALIVE int wc_canswitchto(int number) { return session().canswitchto(number); }

// Stores the working level back, with answer as the reply to the switch-limit
// question should it be asked. False when nothing was stored.
EMSCRIPTEN_KEEPALIVE int wc_storeback(int answer) { return session().storeback(answer != 0); }

// The level switch: store back, then select number (1..111). False, with the
// level unchanged, for a number out of range or a declined question.
EMSCRIPTEN_KEEPALIVE int wc_switchlevel(int number, int answer) { return session().switchlevel(number, answer != 0); }

// The pack's 170496 bytes as they are in memory (store back first to save).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_packbytes() {
    s->io.resize(packlen);
    flatten(session().store().levelpack, s->io.data());
    return s->io.data();
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_iodata() { return s->io.data(); }

EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_levellist() {
    const LevelList list = buildlevellist(session().store().levelpack);
    s->io.assign(list.begin(), list.end());
    return s->io.data();
}

EMSCRIPTEN_KEEPALIVE void wc_marksaved() { session().marksaved(); }
EMSCRIPTEN_KEEPALIVE int wc_unsaved() { return session().unsaved(); }

// A button press at cell (col, row); button 0 left, 1 right, 2 middle.
// Returns 1 when ignored, 2 when the whole view must be repainted; the first
// move step has run, so the caller repaints (if asked) and runs putbuffer.
EMSCRIPTEN_KEEPALIVE int wc_press(int button, int ctrl, int col, int row, int leftitem, int rightitem) {
    const Button b = button == 1 ? Button::right : button == 2 ? Button::middle : Button::left;
    const EditSession::Press r = session().press(b, ctrl != 0, col, row, leftitem, rightitem);
    return r == EditSession::Press::ignored ? 1 : r == EditSession::Press::repaintall ? 2 : 0;
}

EMSCRIPTEN_KEEPALIVE int wc_move(int col, int row) { return session().move(col, row); }
EMSCRIPTEN_KEEPALIVE int wc_release() { return session().release(); }
EMSCRIPTEN_KEEPALIVE int wc_stroking() { return session().stroking(); }

// The menu commands in the page's order (copy, cut, paste, delete, draw,
// select, select all, undo, redo); each leaves what it changed for putbuffer.
EMSCRIPTEN_KEEPALIVE int wc_command(int which) {
    return which >= 0 && which <= static_cast<int>(SessionCommand::redo) &&
           session().command(static_cast<SessionCommand>(which));
}

EMSCRIPTEN_KEEPALIVE int wc_canundo() { return session().canundo(); }
EMSCRIPTEN_KEEPALIVE int wc_canredo() { return session().canredo(); }

// A field was left: what the fields changed since the last commit becomes
// one undo step.
EMSCRIPTEN_KEEPALIVE int wc_commitfields() { return session().commitfields(); }

// The incremental redraw: the cells to draw, four bytes each (col, row,
// code, inverted) at wc_drawn(); returns their number.
EMSCRIPTEN_KEEPALIVE int wc_putbuffer() {
    s->drawn.clear();
    return session().putbuffer([](int col, int row, CellLook look) {
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
            const CellLook l = celllook(session().layers(), session().store().curlevel, col, row);
            s->looks[cellindex(col, row)] = static_cast<std::uint8_t>((l.code & 0x7F) | (l.inverted ? 0x80 : 0));
        }
    return s->looks.data();
}

// The tile commands on the marks and by tile or region; each returns its count.
EMSCRIPTEN_KEEPALIVE int wc_fillmarked(int code) { return session().fillmarked(static_cast<std::uint8_t>(code)); }
EMSCRIPTEN_KEEPALIVE int wc_mirrormarked(int topbottom) {
    return session().mirrormarked(topbottom ? Mirror::topbottom : Mirror::leftright);
}
EMSCRIPTEN_KEEPALIVE int wc_marksametiles(int code) { return session().marksametiles(static_cast<std::uint8_t>(code)); }
EMSCRIPTEN_KEEPALIVE int wc_markregion(int col, int row) { return session().markregion(col, row); }

// Whether any cell of the shown level is marked; whether "Einfügen" and
// "Level einfügen" have something to paste.
EMSCRIPTEN_KEEPALIVE int wc_anymarked() {
    const LevelRecord& cur = session().store().curlevel;
    return std::any_of(cur.begin(), cur.begin() + cellcount, [](std::uint8_t b) { return (b & markbit) != 0; });
}
EMSCRIPTEN_KEEPALIVE int wc_canpaste() { return anycells(session().layers().clipboard); }
EMSCRIPTEN_KEEPALIVE int wc_canpastelevel() { return session().levelclip().has_value(); }

// What "Suchen" starts with: the tile of interior cell (col, row), marks
// aside, or leftitem when there is none or no tile there.
EMSCRIPTEN_KEEPALIVE int wc_replacefrom(int col, int row, int leftitem) {
    if (col < firstcol || col > lastcol || row < firstrow || row > lastrow) return leftitem;
    const int code = session().store().curlevel[cellindex(col, row)] & ~markbit;
    return code < tilecodecount ? code : leftitem;
}


// Replacing from by to in scope 0 (the marks), 1 (the shown level) or 2
// (every level, as saving now would write them), counted without changing
// anything: {"cells": n, "levels": n, "skipped": n}.
EMSCRIPTEN_KEEPALIVE const char* wc_replacecount(int from, int to, int scope) {
    const auto f = static_cast<std::uint8_t>(from), t = static_cast<std::uint8_t>(to);
    if (scope != 2) return replacecounts(countreplace(session().store().curlevel, f, t, scopeof(scope)), 1, 0);
    const PackReplace n = replaceinpack(session().image(), f, t, false);
    return replacecounts(n.cells, n.levels, n.skipped);
}

// The replace itself, answer being the reply to the switch-limit question
// should the store-back before a replace in every level ask it; what it did.
EMSCRIPTEN_KEEPALIVE const char* wc_replace(int from, int to, int scope, int answer) {
    const auto f = static_cast<std::uint8_t>(from), t = static_cast<std::uint8_t>(to);
    if (scope != 2) return replacecounts(session().replacetiles(f, t, scopeof(scope)), 1, 0);
    const PackReplace n = session().replaceinpack(f, t, answer != 0);
    return replacecounts(n.cells, n.levels, n.skipped);
}
EMSCRIPTEN_KEEPALIVE int wc_undoreplaceinpack() { return session().undoreplaceinpack(); }
EMSCRIPTEN_KEEPALIVE int wc_canundoreplaceinpack() {
    return !session().stroking() && session().canundoreplaceinpack();
}

// The level menu: copy, paste (0, 1) and clear (2) the shown level, each
// after a store-back with answer for its question; false when nothing ran.
EMSCRIPTEN_KEEPALIVE int wc_levelcommand(int which, int answer) {
    const bool a = answer != 0;
    return which == 0 ? session().copylevel(a) : which == 1 ? session().pastelevel(a) : session().emptylevel(a);
}
// Moves the shown level by one slot forward (-1) or back (+1); false at the
// first or last slot, or when the store-back is declined.
EMSCRIPTEN_KEEPALIVE int wc_movelevel(int by, int answer) {
    const int to = session().levelnumber() + (by < 0 ? -1 : 1);
    return to >= 1 && to <= levelcount && session().movelevel(to, answer != 0);
}
// Whether moving the shown level by one slot in that direction may run.
EMSCRIPTEN_KEEPALIVE int wc_canmovelevel(int by) {
    const int to = session().levelnumber() + (by < 0 ? -1 : 1);
    return to >= 1 && to <= levelcount && !session().stroking();
}

} // extern "C"

// The clipboard's text form, which other tabs and the desktop editor read
// and write through the system clipboard.
extern "C" {

// The text form of the editor's clipboard (empty without cells) or of the
// level clipboard (empty while it holds nothing).
EMSCRIPTEN_KEEPALIVE const char* wc_cellstext() {
    s->text = cellstext(session().layers().clipboard);
    return s->text.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* wc_leveltext() {
    const std::optional<LevelRecord>& clip = session().levelclip();
    s->text = clip ? leveltext(*clip) : std::string();
    return s->text.c_str();
}
// The longest text worth passing in; the page passes nothing longer.
EMSCRIPTEN_KEEPALIVE int wc_cliptextmax() { return static_cast<int>(cliptextmax); }
// Takes the text buffer as the editor's clipboard (level 0) or the level
// clipboard (level 1) when it is that text form; false and nothing changed
// otherwise.
EMSCRIPTEN_KEEPALIVE int wc_takecliptext(int level) {
    if (level) {
        LevelRecord record;
        if (!readleveltext(s->in.data(), s->in.size(), record)) return 0;
        session().setlevelclip(record);
        return 1;
    }
    Layer cells;
    if (!readcellstext(s->in.data(), s->in.size(), cells)) return 0;
    session().setclipboard(cells);
    return 1;
}

} // extern "C"
