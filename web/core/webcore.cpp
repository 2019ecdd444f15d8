// SPDX-License-Identifier: MIT
// The browser's way into the core: the editing session behind plain C
// functions. The page passes cells, buttons and field values in and reads
// cells to draw, texts and file bytes out; what any of it does is the
// session's.

#include "edit/besiderect.h"
#include "edit/clipformat.h"
#include "edit/levelstats.h"
#include "edit/session.h"
#include "edit/userinput.h"
#include "level/accesskeys.h"
#include "level/journalcodec.h"
#include "level/captions.h"
#include "level/guidetext.h"
#include "level/levelstore.h"
#include "level/mapformat.h"
#include "level/tilenames.h"
#include "level/utf8.h"

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
        ",\"starttile\":" + std::to_string(starttile) + ",\"maplen\":" + std::to_string(mapfilelimit) + "}";
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

// Tiled maps, the desktop's bytes: the TMX map of level index (0..110) of the
// pack in memory (store back first, as the desktop's export does) into the
// io buffer; its length, -1 for an index out of range.
EMSCRIPTEN_KEEPALIVE int wc_writemap(int index) {
    if (index < 0 || index >= levelcount) return -1;
    const std::string tmx = writetmx(recordtomap(session().store().levelpack[index]));
    s->io.assign(tmx.begin(), tmx.end());
    return static_cast<int>(s->io.size());
}

// tiles.tsx, the tileset beside every map, into the io buffer; its length.
EMSCRIPTEN_KEEPALIVE int wc_writetileset() {
    const std::string tsx = writetsx();
    s->io.assign(tsx.begin(), tsx.end());
    return static_cast<int>(s->io.size());
}

// A buffer of size bytes for the map file named in the text buffer; null,
// and wc_why() says why, past one byte more than a map may have (the page
// passes that byte so that a longer file is told apart).
EMSCRIPTEN_KEEPALIVE std::uint8_t* wc_mapio(int size) {
    if (size < 0 || size > mapfilelimit + 1) {
        s->text = maptoolong(s->in);
        return nullptr;
    }
    s->io.assign(static_cast<std::size_t>(size), 0);
    return s->io.data();
}

// "level001" for level index 0: the name the export offers, without ".tmx".
EMSCRIPTEN_KEEPALIVE const char* wc_mapname(int index) {
    s->text = levelmapbase(index);
    return s->text.c_str();
}

// Reads the map (TMX or JSON) in the io buffer, named in a fault by the file
// name in the text buffer: the gravity ports it holds (also past the 11th),
// and the io buffer holds its 1536-byte record; -1, and wc_why() says why in
// German. The pack is not touched.
EMSCRIPTEN_KEEPALIVE int wc_readmap() {
    if (s->io.size() > static_cast<std::size_t>(mapfilelimit)) {
        s->text = maptoolong(s->in);
        return -1;
    }
    const MapRead read =
        parsemap(std::string_view(reinterpret_cast<const char*>(s->io.data()), s->io.size()), s->in);
    s->text = read.error;
    if (!read.ok) return -1;
    const BuiltRecord built = maptorecord(read.map);
    s->io.assign(built.record.begin(), built.record.end());
    return built.switchesfound;
}

// Whether a map with that many ports asks the switch-limit question.
EMSCRIPTEN_KEEPALIVE int wc_mapasks(int switches) { return switches > maxswitches; }

// The shown level becomes the record in the io buffer (a map read by
// wc_readmap), one step of its history; false when nothing changed hands.
EMSCRIPTEN_KEEPALIVE int wc_replacerecord(int answer) {
    if (s->io.size() != reclen) return 0;
    LevelRecord record;
    std::copy(s->io.begin(), s->io.end(), record.begin());
    return session().replacerecord(record, answer != 0);
}

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

// The guide and the status bar.

// The guide's Markdown source, put in before, as the page shows it.
EMSCRIPTEN_KEEPALIVE const char* wc_guide() {
    s->text = guidetext(s->in, Edition::browser);
    return s->text.c_str();
}

// The status bar's pack part for the file name put in before (empty for a
// pack without a file), or with tip its tooltip.
EMSCRIPTEN_KEEPALIVE const char* wc_packstate(int changed, int tip) {
    s->text = tip ? packstatetip(s->in, changed != 0) : packstatetext(s->in, changed != 0);
    return s->text.c_str();
}

} // extern "C"

// The level overview and the level statistics.

namespace {
struct OverviewState {
    std::vector<LevelRecord> drawn = std::vector<LevelRecord>(levelcount); // each slot as last handed out
    std::vector<bool> known = std::vector<bool>(levelcount, false);
    std::vector<std::uint8_t> slots; // the slots that changed since
    std::array<std::uint8_t, cellcount> looks{};
};
OverviewState& overview() {
    static OverviewState o;
    return o;
}
// Latin-1 bytes up to the first NUL as UTF-8, white space at both ends left out.
std::string utf8title(const std::uint8_t* bytes, std::size_t len) {
    std::string out;
    for (std::size_t i = 0; i < len && bytes[i]; ++i) appendutf8(out, bytes[i]);
    const char* space = " \t\n\v\f\r";
    const auto first = out.find_first_not_of(space);
    return first == std::string::npos ? std::string() : out.substr(first, out.find_last_not_of(space) - first + 1);
}
} // namespace

extern "C" {

// The slots whose level as the overview shows it changed since the last
// call (all of them at the first, or with all 1): their number; the slots
// at wc_overviewslots(). Compares 111 records, no drawing.
EMSCRIPTEN_KEEPALIVE int wc_overviewchanged(int all) {
    OverviewState& o = overview();
    o.slots.clear();
    for (int slot = 0; slot < levelcount; ++slot) {
        const LevelRecord rec = session().shownrecord(slot);
        if (!all && o.known[slot] && rec == o.drawn[slot]) continue;
        o.drawn[slot] = rec;
        o.known[slot] = true;
        o.slots.push_back(static_cast<std::uint8_t>(slot));
    }
    return static_cast<int>(o.slots.size());
}
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_overviewslots() { return overview().slots.data(); }

// What each interior cell of slot's level shows in the overview (code | 0x80
// when inverted), as handed out by the last wc_overviewchanged.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* wc_overviewlooks(int slot) {
    OverviewState& o = overview();
    const LevelRecord& rec = o.drawn[std::clamp(slot, 0, levelcount - 1)];
    for (int row = firstrow; row <= lastrow; ++row)
        for (int col = firstcol; col <= lastcol; ++col) {
            const CellLook l = celllook(notile, rec[cellindex(col, row)]);
            o.looks[cellindex(col, row)] = static_cast<std::uint8_t>((l.code & 0x7F) | (l.inverted ? 0x80 : 0));
        }
    return o.looks.data();
}
EMSCRIPTEN_KEEPALIVE const char* wc_overviewtitle(int slot) {
    const LevelRecord& rec = overview().drawn[std::clamp(slot, 0, levelcount - 1)];
    s->text = utf8title(rec.data() + off_title, titlelen);
    return s->text.c_str();
}

// Moves the shown level to slot number (1..111), the levels between shifting;
// false when nothing moved.
EMSCRIPTEN_KEEPALIVE int wc_movelevelto(int number, int answer) { return session().movelevel(number, answer != 0); }

// The shown level's statistics: {"tiles": [[code, cells], ...], "counted": n,
// "marked": n, "unknown": n, "needed": n, "number": n, "title": "..."}.
EMSCRIPTEN_KEEPALIVE const char* wc_levelstats() {
    const LevelRecord& cur = session().store().curlevel;
    const LevelStatistics st = levelstatistics(counttiles(cur), countinfotrons(cur));
    const std::string& title = session().title();
    std::string t = "{\"tiles\":[";
    for (const auto& [code, count] : st.tiles) t += "[" + std::to_string(code) + "," + std::to_string(count) + "],";
    if (t.back() == ',') t.pop_back();
    t += "],\"counted\":" + std::to_string(st.counted) + ",\"marked\":" + std::to_string(st.marked) +
         ",\"unknown\":" + std::to_string(st.unknown) + ",\"needed\":" + std::to_string(session().infotrons()) +
         ",\"number\":" + std::to_string(session().levelnumber()) + ",\"title\":" +
         jsonstring(utf8title(reinterpret_cast<const std::uint8_t*>(title.data()), title.size()).c_str()) + "}";
    s->text = std::move(t);
    return s->text.c_str();
}

// The menus as the desktop's: access keys, the replace undo, where the
// replace dialog goes.

// The captions of one menu, one a line in the text buffer, with unique
// access keys, one a line.
EMSCRIPTEN_KEEPALIVE const char* wc_accesskeys() {
    std::vector<std::string> captions;
    for (std::size_t at = 0; at <= s->in.size();) {
        const std::size_t end = std::min(s->in.find('\n', at), s->in.size());
        captions.push_back(s->in.substr(at, end - at));
        at = end + 1;
    }
    s->text.clear();
    for (const std::string& c : uniqueaccesskeys(captions)) s->text += (s->text.empty() ? "" : "\n") + c;
    return s->text.c_str();
}
EMSCRIPTEN_KEEPALIVE int wc_replacedinpack() { return session().replacedinpack(); }
// Where the replace dialog (width by height) goes beside the shown level's
// marks, the level drawn with tile-pixel cells at (levelx, levely) with
// margin, the marks seen only within (seenx, seeny, seenw, seenh) of a
// screen (screenw by screenh): "[x,y]", or "" with no mark in sight.
EMSCRIPTEN_KEEPALIVE const char* wc_replaceplace(int width, int height, int tile, int margin, int levelx, int levely,
                                                 int seenx, int seeny, int seenw, int seenh, int screenw, int screenh) {
    const PixelRect m = marksrect(session().store().curlevel, tile, tile, margin);
    const int left = std::max(m.x + levelx, seenx), top = std::max(m.y + levely, seeny);
    const int right = std::min(m.x + levelx + m.width, seenx + seenw);
    const int bottom = std::min(m.y + levely + m.height, seeny + seenh);
    s->text.clear();
    if (!m.width || right <= left || bottom <= top) return s->text.c_str();
    const PixelPoint at = besiderect(width, height, {left, top, right - left, bottom - top}, {0, 0, screenw, screenh});
    s->text = "[" + std::to_string(at.x) + "," + std::to_string(at.y) + "]";
    return s->text.c_str();
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
