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
    this.select(0);
  }

  select(index) {
    this.levelnr = index;
    this.cur = this.pack.slice(index * reclen, (index + 1) * reclen);
    for (let k = 0; k < this.cur[1471]; ++k) {
      const e = 1472 + 6 * k;
      const i = ((this.cur[e] << 8) | this.cur[e + 1]) >> 1;
      if (this.cur[e + 2] === 0 && i < levellen) this.cur[i] = (this.cur[i] + 27) & 0xff;
    }
    const t = this.cur.subarray(1446, 1469);
    const z = t.indexOf(0);
    this.fields = {
      title: String.fromCharCode(...(z < 0 ? t : t.subarray(0, z))),
      infotrons: this.cur[1470], gravity: this.cur[1444] !== 0,
    };
    this.spinner = this.cur[1470]; // the infotrons spinner's position, set as the level is shown
    this.overlay.fill(marker);
  }

  // Stores the working level back; false when the switch-limit question is
  // asked and not answered yes. answer is what the user would say.
  storeback(answer) {
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
    case "Ctrl+Z": case "Ctrl+Y": {
      if (this.stroking()) return;
      const h = this.histories[this.levelnr];
      const [from, to] = k === "Ctrl+Z" ? [h.undo, h.redo] : [h.redo, h.undo];
      if (!from.length) return;
      to.push(this.cur.slice(0, levellen));
      this.cur.set(from.pop());
      return;
    }
    default: throw new Error(`unknown key ${k}`);
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

  // One step of the book.
  step(s) {
    if (s.drag) {
      for (const t of [{ press: s.drag, at: s.from, ctrl: s.ctrl }, { move: s.to }, { release: s.drag }]) this.step(t);
      return;
    }
    if (s.press) return this.recorded(() => this.press(s.press, s.at, s.ctrl));
    if (s.move) return this.recorded(() => this.move(s.move));
    if (s.release) return this.recorded(() => this.release());
    if (s.key) return this.recorded(() => this.key(s.key), s.key === "Ctrl+Z" || s.key === "Ctrl+Y");
    if (s.tool) return this.recorded(() => this.tool(s.tool));
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
    const h = this.histories[this.levelnr];
    if (before.every((v, i) => v === this.cur[i])) return;
    h.undo.push(before);
    h.redo = [];
  }
}

// The pack that saving writes after the scenario's steps.
export function play(scenario) {
  const ed = new Editor();
  for (const s of scenario.steps) ed.step(s);
  if (!ed.storeback(scenario.saveanswer)) throw new Error("the save is declined");
  return ed.pack;
}
