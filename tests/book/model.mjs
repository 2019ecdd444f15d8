// SPDX-License-Identifier: MIT
// The book's reference model: what a user's steps do to a pack, worked out
// on plain arrays from the rules of the editor, apart from either front-end.
// play(scenario) returns the 170496 bytes that saving must write at the end.
import { levellen, newpack, reclen, storeback } from "./pack.mjs";

const marker = 44, empty = 0xff, mark = 0x80;
const buttons = { left: 0, middle: 0, right: 1 };

// Pointer positions are given as cells, the pointer in the cell's middle;
// cells outside 1..58 x 1..22 are the continuation of the grid beyond the
// view. The pixel-to-cell rule truncates toward zero, so the middle of the
// cell left of column 1 still maps to column 1.
const cellof = ([c, r]) => [Math.trunc(c - 0.5) + 1, Math.trunc(r - 0.5) + 1];
const clamp = (v, lo, hi) => Math.min(hi, Math.max(lo, v));

export class Editor {
  constructor() {
    this.pack = newpack();
    this.clipboard = new Uint8Array(levellen).fill(empty);
    this.overlay = new Uint8Array(levellen).fill(marker);
    this.drawmode = 1;
    this.items = [2, 0]; // left (and middle), right
    this.down = [false, false];
    this.stroke = { drag: false, item: 0, x: 0, y: 0 };
    this.histories = Array.from({ length: 111 }, () => ({ undo: [], redo: [] }));
    this.lastreplace = null;
    this.select(0);
    this.saved = this.pack.slice();
  }

  // "Neues Levelpack": asks first whether to save changed work; "Verwerfen"
  // starts anew (clipboards and tool stay), "Abbrechen" keeps all.
  newpack(answer) {
    this.commitfields();
    const changed = storeback(this.cur, this.fields).record.some((v, i) => v !== this.saved[this.levelnr * reclen + i]) ||
      this.pack.some((v, i) => Math.trunc(i / reclen) !== this.levelnr && v !== this.saved[i]);
    if (changed !== (answer !== undefined)) throw new Error(changed ? "the book does not answer the unsaved question" : "the book answers an unsaved question that is not asked");
    if (answer === "cancel") return;
    if (answer !== undefined && answer !== "discard") throw new Error(`unknown answer ${answer}`);
    this.pack = newpack();
    this.histories = Array.from({ length: 111 }, () => ({ undo: [], redo: [] }));
    this.lastreplace = null;
    this.select(0);
    this.saved = this.pack.slice();
  }

  select(index) {
    this.levelnr = index;
    this.cur = decode(this.record(index));
    this.showfields();
    this.overlay.fill(marker);
  }

  record(slot) { return this.pack.slice(slot * reclen, (slot + 1) * reclen); }

  // The fields show what the working level's record bytes hold.
  showfields() {
    const t = this.cur.subarray(1446, 1469);
    const z = t.indexOf(0);
    this.fields = {
      title: String.fromCharCode(...(z < 0 ? t : t.subarray(0, z))),
      infotrons: this.cur[1470], gravity: this.cur[1444] !== 0,
    };
    this.spinner = this.cur[1470]; // the infotrons spinner's position, set as the level is shown
  }

  // Shows a record in place of the shown level's: its tiles with the marks
  // the cells had, its bytes after the tiles and its fields.
  reshow(rec) {
    const cells = decode(rec);
    for (let i = 0; i < levellen; ++i) cells[i] |= this.cur[i] & mark;
    this.cur = cells;
    this.showfields();
    this.overlay.fill(marker);
  }

  // Stores the working level back; false when the switch-limit question is
  // asked and not answered yes. answer is what the user would say.
  storeback(answer) {
    this.commitfields();
    const r = storeback(this.cur, this.fields);
    if (r.asks && answer === undefined) throw new Error("the switch-limit question is asked but the book gives no answer");
    if (!r.asks && answer !== undefined) throw new Error("the book answers a switch-limit question that is not asked");
    if (r.asks && answer !== "yes") return false;
    this.pack.set(r.record, this.levelnr * reclen);
    return true;
  }

  press(button, at, ctrl = false) {
    const [col, row] = cellof(at);
    if (col > 58 || row > 22) return;
    // A column or row below 0 cannot come from a pointer over the view.
    Object.assign(this.stroke, { x: col, y: row, drag: false });
    const b = buttons[button];
    this.down[b] = true;
    this.stroke.item = this.items[b];
    if (!this.drawmode) {
      if (this.cur[row * 60 + col] & mark) {
        this.stroke.drag = true;
        this.clipboard.fill(empty);
        for (let i = 0; i < levellen; ++i) {
          if (!(this.cur[i] & mark)) continue;
          this.clipboard[i] = this.cur[i];
          this.cur[i] = b === 1 ? this.cur[i] & ~mark : 0;
        }
      } else {
        this.stroke.item = empty;
        if (!ctrl) for (let i = 0; i < levellen; ++i) this.cur[i] &= ~mark;
      }
    }
    this.moveto(col, row);
  }

  move(at) {
    if (!this.down[0] && !this.down[1]) return;
    const [col, row] = cellof(at);
    this.moveto(clamp(col, 0, 58), clamp(row, 0, 22));
  }

  moveto(col, row) {
    const s = this.stroke;
    this.overlay.fill(marker);
    if (!s.drag) {
      for (let r = Math.min(s.y, row); r <= Math.max(s.y, row); ++r)
        for (let c = Math.min(s.x, col); c <= Math.max(s.x, col); ++c) {
          const i = r * 60 + c;
          this.overlay[i] = s.item === empty ? this.cur[i] | mark : s.item;
        }
      return;
    }
    for (let i = 0; i < levellen; ++i) {
      if (this.clipboard[i] === empty) continue;
      const c = (i % 60) + col - s.x, r = Math.trunc(i / 60) + row - s.y;
      if (c >= 0 && c < 60 && r >= 0 && r < 24) this.overlay[r * 60 + c] = this.clipboard[i];
    }
  }

  release() {
    if (!this.down[0] && !this.down[1]) return;
    this.down = [false, false];
    for (let i = 0; i < levellen; ++i) if (this.overlay[i] !== marker) this.cur[i] = this.overlay[i];
    this.overlay.fill(marker);
  }

  stroking() { return this.down[0] || this.down[1]; }

  key(k) {
    const marked = (fn) => { for (let i = 0; i < levellen; ++i) if (this.cur[i] & mark) fn(i); };
    switch (k) {
    case "Ctrl+C":
      this.clipboard.fill(empty);
      marked((i) => { this.clipboard[i] = this.cur[i]; });
      return;
    case "Ctrl+X":
      this.overlay.fill(marker);
      marked((i) => { this.clipboard[i] = this.cur[i]; this.cur[i] = 0; });
      return;
    case "Ctrl+V":
      this.overlay.fill(marker);
      for (let i = 0; i < levellen; ++i) if (this.clipboard[i] !== empty) this.cur[i] = this.clipboard[i];
      return;
    case "Delete":
      this.overlay.fill(marker);
      marked((i) => { this.cur[i] = 0; });
      return;
    case "Ctrl+F": // fill with the left tile, marks gone
      this.overlay.fill(marker);
      marked((i) => { this.cur[i] = this.items[0]; });
      return;
    case "Ctrl+A": // every interior cell joins the marks
      interior((i) => { this.cur[i] |= mark; });
      return;
    case "Ctrl+G": // the left tile's cells join the marks
      interior((i) => { if ((this.cur[i] & ~mark) === this.items[0]) this.cur[i] |= mark; });
      return;
    case "Ctrl+R": // the region of equal tiles around the pointed cell joins the marks
      if (this.pointer) this.markregion(...this.pointer);
      return;
    case "Ctrl+Z": case "Ctrl+Y": {
      if (this.stroking()) return;
      const h = this.histories[this.levelnr];
      const [from, to] = k === "Ctrl+Z" ? [h.undo, h.redo] : [h.redo, h.undo];
      if (from.length) to.push(this.apply(from.pop()));
      return;
    }
    default: throw new Error(`unknown key ${k}`);
    }
  }

  markregion(col, row) {
    const code = this.cur[row * 60 + col] & ~mark, seen = new Set();
    const todo = [[col, row]];
    while (todo.length) {
      const [c, r] = todo.pop();
      const i = r * 60 + c;
      if (c < 1 || c > 58 || r < 1 || r > 22 || seen.has(i) || (this.cur[i] & ~mark) !== code) continue;
      seen.add(i);
      this.cur[i] |= mark;
      todo.push([c + 1, r], [c - 1, r], [c, r + 1], [c, r - 1]);
    }
  }

  // Mirrors the marked interior cells' bounding box in itself.
  mirror(axis) {
    let [c0, c1, r0, r1] = [59, 0, 23, 0];
    interior((i) => {
      if (!(this.cur[i] & mark)) return;
      const c = i % 60, r = Math.trunc(i / 60);
      [c0, c1, r0, r1] = [Math.min(c0, c), Math.max(c1, c), Math.min(r0, r), Math.max(r1, r)];
    });
    if (c1 < c0) return;
    const old = this.cur.slice(0, levellen);
    this.overlay.fill(marker);
    for (let r = r0; r <= r1; ++r)
      for (let c = c0; c <= c1; ++c)
        this.cur[r * 60 + c] = mirrorcode(axis === "lr" ? old[r * 60 + c0 + c1 - c] : old[(r0 + r1 - r) * 60 + c], axis);
  }

  commitfields() {
    if (!this.editing) return;
    this.editing = null;
    const b = this.fieldsbefore, f = this.fields;
    if (b.title !== f.title || b.infotrons !== f.infotrons || b.gravity !== f.gravity) this.push(this.levelnr, { fields: b });
  }

  // One undo or redo step of the shown level's history; returns the step
  // that takes it back.
  apply(e) {
    if (e.fields) {
      const back = { fields: { ...this.fields } };
      this.fields = { ...e.fields };
      this.spinner = e.fields.infotrons;
      return back;
    }
    if (e.cells) {
      const back = { cells: this.cur.slice(0, levellen) };
      this.cur.set(e.cells);
      return back;
    }
    if (e.record) {
      const back = { record: this.stored() };
      this.pack.set(e.record, this.levelnr * reclen);
      this.reshow(e.record);
      return back;
    }
    // A move goes back to the slot it came from, from wherever the level is.
    const back = { slot: this.levelnr };
    this.pack.set(this.stored(), this.levelnr * reclen);
    this.moveslot(this.levelnr, e.slot);
    this.select(e.slot);
    return back;
  }

  stored() { return storeback(this.cur, this.fields).record; }

  // Moves the level at slot from to slot to with its history; the levels
  // between shift by one.
  moveslot(from, to) {
    const recs = Array.from({ length: 111 }, (_, i) => this.record(i));
    for (const a of [recs, this.histories]) a.splice(to, 0, ...a.splice(from, 1));
    recs.forEach((r, i) => this.pack.set(r, i * reclen));
  }

  // A step of the level at slot, which drops its redo.
  push(slot, e) {
    const h = this.histories[slot];
    h.undo.push(e);
    h.redo = [];
    return { h, e };
  }

  // The "Level" menu: each operation stores the level back first, and a
  // declined store-back cancels it.
  // At the first or last slot a move does nothing. "Level einfügen" is
  // greyed until a level is copied, the replace undo until a replace in all
  // levels, and again once it is taken back; it refuses, saying why, once
  // one of the levels has changed since.
  levelmenu(item, answer, s) {
    const to = this.levelnr + ({ "Level nach vorne": -1, "Level nach hinten": 1 }[item] ?? 0);
    const greyed = (item === "Level einfügen" && !this.levelclip) || (item === "Ersetzen in allen Leveln rückgängig" && !this.lastreplace);
    if (greyed !== (s.greyed === true)) throw new Error(greyed ? `the book clicks "${item}", which is greyed` : `"${item}" is not greyed`);
    if (greyed || to < 0 || to > 110) return;
    if (item === "Ersetzen in allen Leveln rückgängig") {
      const refused = !this.undoreplace();
      if (refused !== (s.refused === true)) throw new Error(refused ? "the book misses the refusal" : "the undo is not refused");
      return;
    }
    if (!this.storeback(answer)) return;
    const slot = this.levelnr, before = this.record(slot);
    if (item === "Level kopieren") { this.levelclip = before; return; }
    if (to !== slot) {
      this.moveslot(slot, to);
      this.push(to, { slot });
      this.select(to);
      return;
    }
    const rec = item === "Level leeren" ? storeback(new Uint8Array(levellen), { title: generatedtitle(slot) }).record : this.levelclip;
    this.push(slot, { record: before });
    this.pack.set(rec, slot * reclen);
    this.reshow(rec);
  }

  // A map exported before replaces the shown level, stored back first; one
  // step where it changes the level.
  importmap(answer) {
    if (!this.map) throw new Error("no map exported before the import");
    if (!this.storeback(answer)) return;
    const slot = this.levelnr, before = this.record(slot);
    if (before.every((v, i) => v === this.map[i])) return;
    this.push(slot, { record: before });
    this.pack.set(this.map, slot * reclen);
    this.reshow(this.map);
  }

  // "Ersetzen": in the marks or the level as one step of the shown level;
  // in all levels after a store-back, one step in each level it changes.
  replace(from, to, scope, answer) {
    const fits = (i) => (this.cur[i] & ~mark) === from;
    if (scope === "marks") return this.recorded(() => { for (let i = 0; i < levellen; ++i) if ((this.cur[i] & mark) && fits(i)) this.cur[i] = to | mark; });
    if (scope === "level") return this.recorded(() => interior((i) => { if (fits(i)) this.cur[i] = to | (this.cur[i] & mark); }));
    if (scope !== "levels") throw new Error(`unknown replace scope ${scope}`);
    if (!this.storeback(answer)) return;
    this.lastreplace = [];
    for (let slot = 0; slot < 111; ++slot) {
      const before = this.record(slot), after = replaceinrecord(before, from, to);
      if (!after) continue;
      this.pack.set(after, slot * reclen);
      if (slot === this.levelnr) this.reshow(after);
      this.lastreplace.push(this.push(slot, { record: before }));
    }
  }

  // Takes the last replace in all levels back, unless one of its levels has
  // a step since.
  undoreplace() {
    const r = this.lastreplace;
    if (!r || !r.every(({ h, e }) => h.undo.at(-1) === e)) return false;
    this.lastreplace = null;
    for (const { h, e } of r) {
      h.undo.pop();
      const slot = this.histories.indexOf(h);
      if (slot === this.levelnr) { h.redo.push(this.apply(e)); continue; }
      h.redo.push({ record: this.record(slot) });
      this.pack.set(e.record, slot * reclen);
    }
    return true;
  }

  // The level overview: a drag shows the level dragged, then moves it to
  // the slot dropped on; the keys move a focus frame that starts at the
  // shown level, and Return shows the level in it.
  overview(s) {
    if (s.overview === "drag") {
      if (!this.storeback(s.answer)) return;
      this.select(s.from - 1);
      const slot = this.levelnr, to = s.to - 1;
      if (to === slot) return;
      this.moveslot(slot, to);
      this.push(to, { slot });
      this.select(to);
      return;
    }
    let focus = this.levelnr;
    for (const k of s.keys) {
      if (k === "Return") { if (this.storeback(s.answer)) this.select(focus); continue; }
      focus = clamp({ Right: focus + 1, Left: focus - 1, Home: 0, End: 110 }[k], 0, 110);
    }
  }

  tool(t) {
    if (t === "select") { this.drawmode = 0; return; }
    this.overlay.fill(marker);
    for (let i = 0; i < levellen; ++i) this.cur[i] &= ~mark;
    this.drawmode = 1;
  }

  level(by, answer) {
    const to = this.levelnr + by;
    if (to < 0 || to > 110) throw new Error("the book steps past the first or last level");
    if (this.storeback(answer)) this.select(to);
  }

  // One step of the book. A field's edit becomes one undo step when the
  // field is left (any other step) or the level is stored back.
  step(s) {
    const field = s.title !== undefined ? "title" : s.infotrons !== undefined ? "infotrons" : s.gravity ? "gravity" : null;
    if (this.editing && field !== this.editing) this.commitfields();
    if (field && !this.editing) [this.editing, this.fieldsbefore] = [field, { ...this.fields }];
    if (s.drag) {
      for (const t of [{ press: s.drag, at: s.from, ctrl: s.ctrl }, { move: s.to }, { release: s.drag }]) this.step(t);
      return;
    }
    if (s.press) return this.recorded(() => this.press(s.press, s.at, s.ctrl));
    if (s.move) return this.recorded(() => this.move(s.move));
    if (s.release) return this.recorded(() => this.release());
    if (s.key) return this.recorded(() => this.key(s.key), s.key === "Ctrl+Z" || s.key === "Ctrl+Y");
    if (s.tool) return this.recorded(() => this.tool(s.tool));
    if (s.point) {
      // The pointer over a cell with no button held; Ctrl+R takes the
      // interior cell it was last over.
      const [c, r] = cellof(s.point);
      if (c >= 1 && c <= 58 && r >= 1 && r <= 22) this.pointer = [c, r];
      return this.recorded(() => this.move(s.point));
    }
    if (s.menu) {
      const axis = { "Markierung links/rechts spiegeln": "lr", "Markierung oben/unten spiegeln": "tb" }[s.menu];
      if (axis) return this.recorded(() => this.mirror(axis));
      if (s.menu === "Level nach Tiled exportieren...") { if (this.storeback(s.answer)) this.map = this.record(this.levelnr); return; }
      if (s.menu === "Level aus Tiled importieren...") return this.importmap(s.answer);
      const key = { "Kopieren": "Ctrl+C", "Einfügen": "Ctrl+V", "Ausschneiden": "Ctrl+X", "Löschen": "Delete",
        "Alles markieren": "Ctrl+A" }[s.menu];
      if (key) return this.recorded(() => this.key(key));
      if (s.menu === "Neues Levelpack") return this.newpack(s.unsaved);
      if (!levelitems.includes(s.menu)) throw new Error(`unknown menu item ${s.menu}`);
      return this.levelmenu(s.menu, s.answer, s);
    }
    if (s.replace) return this.replace(...s.replace, s.in, s.answer);
    if (s.overview) return this.overview(s);
    if (s.palette) { this.items[buttons[s.palette]] = s.tile; return; }
    if (s.level) return this.level(Number(s.level), s.answer);
    if (s.title !== undefined) { this.fields.title = s.title.slice(0, 23); return; }
    if (s.infotrons !== undefined) {
      // A typed number within 0..255 is what a store-back takes; for any
      // other text it takes the spinner's position.
      const text = String(s.infotrons);
      this.fields.infotrons = /^\d+$/.test(text) && Number(text) <= 255 ? Number(text) : this.spinner;
      return;
    }
    if (s.gravity) { this.fields.gravity = !this.fields.gravity; return; }
    throw new Error(`unknown step ${JSON.stringify(s)}`);
  }

  // A change that starts while no stroke runs and ends with none running is
  // one undo step; a stroke's step spans its press to its release.
  recorded(fn, history = false) {
    if (history) return fn();
    if (!this.stroking() && !this.pending) this.pending = this.cur.slice(0, levellen);
    fn();
    if (this.stroking()) return;
    const before = this.pending;
    this.pending = null;
    if (before.every((v, i) => v === this.cur[i])) return;
    this.push(this.levelnr, { cells: before });
  }
}

const levelitems = ["Level kopieren", "Level einfügen", "Level leeren", "Level nach vorne", "Level nach hinten",
  "Ersetzen in allen Leveln rückgängig"];
const interior = (fn) => { for (let r = 1; r <= 22; ++r) for (let c = 1; c <= 58; ++c) fn(r * 60 + c); };
const isport = (code) => (code >= 13 && code <= 16) || (code >= 40 && code <= 43);
const generatedtitle = (slot) => `-------LEVEL-${String(slot + 1).padStart(3, "0")}-------`;

// The cells of a record as the editor shows them: a switch with flag 0 is
// its port code plus 27.
function decode(rec) {
  const cur = rec.slice();
  for (let k = 0; k < cur[1471]; ++k) {
    const e = 1472 + 6 * k;
    const i = ((cur[e] << 8) | cur[e + 1]) >> 1;
    if (cur[e + 2] === 0 && i < levellen) cur[i] = (cur[i] + 27) & 0xff;
  }
  return cur;
}

// The record after replacing from by to in its interior as the editor shows
// it; null when nothing changes or the level would hold more than 11
// switches. With ports involved the switch table is written again in scan
// order; the border ring and the properties stay.
function replaceinrecord(rec, from, to) {
  const cells = decode(rec);
  let n = 0;
  interior((i) => { if (cells[i] === from) { cells[i] = to; ++n; } });
  if (!n) return null;
  const out = rec.slice();
  if (!isport(from) && !isport(to)) {
    interior((i) => { if (out[i] === from) out[i] = to; });
    return out;
  }
  const { record, asks } = storeback(cells);
  if (asks) return null;
  interior((i) => { out[i] = record[i]; });
  out.set(record.subarray(1471), 1471);
  return out;
}

// The picture a mirror turns a tile into, the mark bit kept: a tube's collar
// (its ports' too, each keeping its flag) and a two-cell chip's halves change
// sides across the mirror's axis.
const mirrored = {
  lr: [[9, 11], [13, 15], [40, 42], [26, 27]],
  tb: [[10, 12], [14, 16], [41, 43], [38, 39]],
};
function mirrorcode(byte, axis) {
  const code = byte & ~mark;
  for (const [a, b] of mirrored[axis]) if (code === a || code === b) return (byte & mark) | (code === a ? b : a);
  return byte;
}

// The pack that saving writes after the scenario's steps.
export function play(scenario) {
  const ed = new Editor();
  for (const s of scenario.steps) ed.step(s);
  if (!ed.storeback(scenario.saveanswer)) throw new Error("the save is declined");
  return ed.pack;
}
