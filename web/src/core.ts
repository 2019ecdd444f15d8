// SPDX-License-Identifier: MIT
// The WebAssembly core, typed: one editing session. Everything a press, a
// move, a release, a command or a level switch does to the level happens in
// there; this module only moves numbers and bytes across.

import { Texts } from "./texts";

interface CoreModule {
  HEAPU8: Uint8Array;
  UTF8ToString(ptr: number, maxBytes?: number): string;
  [fn: `_wc_${string}`]: (...args: number[]) => number;
}

declare global {
  function createCore(options?: object): Promise<CoreModule>;
}

// The sizes the page lays out by, as the core has them.
export interface Limits {
  packlen: number; listlen: number; levelcount: number; titlelen: number; starttile: number; maplen: number;
}

// A map read for the shown level: its record and the ports it holds, or why not.
export type MapRecord = { switches: number } | { why: string };

// What a kept journal holds, for the question; why says what is wrong with one that is none.
export interface JournalInfo { why: string; level: number; time: number; name: string; differing: number }

export const enum Command { copy, cut, paste, delete, draw, select, selectall, undo, redo }

// What a replace changes or changed: cells, the levels they lie in, and the
// levels left alone for the switch limit.
export interface ReplaceCount { cells: number; levels: number; skipped: number }

export const enum ReplaceScope { marked, level, pack }

export interface Cell { col: number; row: number; code: number; inverted: boolean }

export class Core {
  readonly limits: Limits;

  private constructor(private readonly m: CoreModule) {
    m._wc_init();
    this.limits = JSON.parse(this.str(m._wc_limits())) as Limits;
  }

  static async load(): Promise<Core> {
    return new Core(await createCore());
  }

  // Puts text into the core's text buffer as UTF-8, for the call that follows.
  private putin(text: string): void {
    const bytes = new TextEncoder().encode(text);
    this.m.HEAPU8.set(bytes, this.m._wc_in(bytes.length));
  }

  private str(ptr: number): string { return this.m.UTF8ToString(ptr); }
  private bytes(ptr: number, len: number): Uint8Array { return this.m.HEAPU8.slice(ptr, ptr + len); }

  texts(): Texts { return JSON.parse(this.str(this.m._wc_texts())) as Texts; }

  newpack(): void { this.m._wc_newpack(); }

  // Why a file of this size is no pack; empty when it is one.
  packproblem(size: number): string { return this.str(this.m._wc_packproblem(size)); }
  packwarning(size: number): string { return this.str(this.m._wc_packwarning(size)); }

  private putio(data: Uint8Array): boolean {
    const ptr = this.m._wc_io(data.length);
    if (!ptr) return false;
    this.m.HEAPU8.set(data, ptr);
    return true;
  }
  openpack(data: Uint8Array): boolean { return this.putio(data) && this.m._wc_openpack() === 1; }

  // Recovery journals: the work's bytes now, what kept bytes hold, restoring them.
  journal(time: number, name: string): Uint8Array {
    this.putin(name);
    const n = this.m._wc_journal(time);
    return this.bytes(this.m._wc_iodata(), n);
  }
  journalinfo(bytes: Uint8Array): JournalInfo {
    // Bytes longer than any journal never reach the core.
    const why = this.str(this.m._wc_journalsizeproblem(bytes.length));
    if (why || !this.putio(bytes)) return { why, level: 0, time: 0, name: "", differing: 0 };
    return JSON.parse(this.str(this.m._wc_journalinfo())) as JournalInfo;
  }
  restorejournal(bytes: Uint8Array): boolean { return this.putio(bytes) && this.m._wc_restorejournal() === 1; }
  // The journal of work the page kept before it kept journals; a string saying why when there is none.
  keptjournal(bytes: Uint8Array, level: number, time: number, name: string): Uint8Array | string {
    // Bytes longer than any journal stay out; the core still hears their size.
    if (!this.putio(bytes)) this.putio(new Uint8Array());
    this.putin(name);
    const n = this.m._wc_keptjournal(level, time, bytes.length);
    return n ? this.bytes(this.m._wc_iodata(), n) : this.str(this.m._wc_why());
  }

  // The fields as typed: infotrons and gravity, and the title (kept as Latin-1).
  setfields(infotrons: number, gravity: boolean): void { this.m._wc_setfields(infotrons, gravity ? 1 : 0); }
  settitle(title: string): void {
    this.putin(title);
    this.m._wc_settitle();
  }
  // The infotrons spinner's value for the text typed, its position and a step.
  infotronsvalue(typed: string, spinner: number, step: number): number {
    this.putin(typed);
    return this.m._wc_infotronsvalue(spinner, step);
  }
  zoomstep(tile: number, by: number): number { return this.m._wc_zoomstep(tile, by); }
  listname(packname: string): string {
    this.putin(packname);
    return this.str(this.m._wc_listname());
  }
  levelnumber(): number { return this.m._wc_levelnumber(); }
  infotrons(): number { return this.m._wc_infotrons(); }
  gravity(): boolean { return this.m._wc_gravity() !== 0; }
  title(): Uint8Array { return this.bytes(this.m._wc_title(), this.m._wc_titlelength()); }
  counter(): string { return this.str(this.m._wc_counter()); }
  drawmode(): number { return this.m._wc_drawmode(); }

  storebackasks(): boolean { return this.m._wc_storebackasks() === 1; }
  canswitchto(number: number): boolean { return this.m._wc_canswitchto(number) === 1; }
  commitfields(): boolean { return this.m._wc_commitfields() === 1; }
  storeback(answer: boolean): boolean { return this.m._wc_storeback(answer ? 1 : 0) === 1; }
  switchlevel(number: number, answer: boolean): boolean { return this.m._wc_switchlevel(number, answer ? 1 : 0) === 1; }
  packbytes(): Uint8Array { return this.bytes(this.m._wc_packbytes(), this.limits.packlen); }
  levellist(): Uint8Array { return this.bytes(this.m._wc_levellist(), this.limits.listlen); }
  marksaved(): void { this.m._wc_marksaved(); }
  unsaved(): boolean { return this.m._wc_unsaved() !== 0; }

  // Returns 1 when ignored, 2 when the whole view needs a repaint.
  press(button: number, ctrl: boolean, col: number, row: number, left: number, right: number): number {
    return this.m._wc_press(button, ctrl ? 1 : 0, col, row, left, right);
  }
  move(col: number, row: number): boolean { return this.m._wc_move(col, row) === 1; }
  release(): boolean { return this.m._wc_release() === 1; }
  stroking(): boolean { return this.m._wc_stroking() === 1; }
  command(c: Command): boolean { return this.m._wc_command(c) === 1; }
  canundo(): boolean { return this.m._wc_canundo() === 1; }

  // The tile commands of "Bearbeiten"; each returns its count.
  fillmarked(code: number): number { return this.m._wc_fillmarked(code); }
  mirrormarked(topbottom: boolean): number { return this.m._wc_mirrormarked(topbottom ? 1 : 0); }
  marksametiles(code: number): number { return this.m._wc_marksametiles(code); }
  markregion(col: number, row: number): number { return this.m._wc_markregion(col, row); }
  anymarked(): boolean { return this.m._wc_anymarked() === 1; }
  canpaste(): boolean { return this.m._wc_canpaste() === 1; }
  canpastelevel(): boolean { return this.m._wc_canpastelevel() === 1; }

  // Replacing: where "Suchen" starts, the count before, the replace itself
  // (answer for the switch-limit question of a replace in every level) and
  // taking a replace in every level back.
  replacefrom(col: number, row: number, left: number): number { return this.m._wc_replacefrom(col, row, left); }
  replacecount(from: number, to: number, scope: ReplaceScope): ReplaceCount {
    return JSON.parse(this.str(this.m._wc_replacecount(from, to, scope))) as ReplaceCount;
  }
  replace(from: number, to: number, scope: ReplaceScope, answer: boolean): ReplaceCount {
    return JSON.parse(this.str(this.m._wc_replace(from, to, scope, answer ? 1 : 0))) as ReplaceCount;
  }
  undoreplaceinpack(): boolean { return this.m._wc_undoreplaceinpack() === 1; }

  // The level menu, each after a store-back with answer for its question.
  copylevel(answer: boolean): boolean { return this.m._wc_levelcommand(0, answer ? 1 : 0) === 1; }
  pastelevel(answer: boolean): boolean { return this.m._wc_levelcommand(1, answer ? 1 : 0) === 1; }
  emptylevel(answer: boolean): boolean { return this.m._wc_levelcommand(2, answer ? 1 : 0) === 1; }
  // By -1 (forward) or +1 (back).
  movelevel(by: number, answer: boolean): boolean { return this.m._wc_movelevel(by, answer ? 1 : 0) === 1; }
  canmovelevel(by: number): boolean { return this.m._wc_canmovelevel(by) === 1; }
  canredo(): boolean { return this.m._wc_canredo() === 1; }

  // The cells the incremental redraw draws, handed to draw one by one.
  putbuffer(draw: (col: number, row: number, code: number, inverted: boolean) => void): number {
    const n = this.m._wc_putbuffer();
    const at = this.m._wc_drawn();
    const heap = this.m.HEAPU8;
    for (let k = 0; k < n; ++k) {
      const p = at + 4 * k;
      draw(heap[p], heap[p + 1], heap[p + 2], heap[p + 3] !== 0);
    }
    return n;
  }

  // What each of the 1440 cells shows (interior only): code | 0x80 when inverted.
  looks(): Uint8Array { return this.m.HEAPU8.subarray(this.m._wc_looks(), this.m._wc_looks() + 1440); }

  // Tiled maps, the desktop's bytes: the map of level index (0..110) as the
  // pack in memory holds it, the tileset beside it, and the name offered.
  // (The length first: writing moves the buffer.)
  writemap(index: number): Uint8Array {
    const n = this.m._wc_writemap(index);
    return this.bytes(this.m._wc_iodata(), n);
  }
  writetileset(): Uint8Array {
    const n = this.m._wc_writetileset();
    return this.bytes(this.m._wc_iodata(), n);
  }
  mapname(index: number): string { return this.str(this.m._wc_mapname(index)); }
  // Reads a map's bytes (at most limits.maplen + 1 of them); the record stays
  // in the core for replacerecord.
  readmap(data: Uint8Array, name: string): MapRecord {
    this.putin(name);
    const ptr = this.m._wc_mapio(data.length);
    if (!ptr) return { why: this.str(this.m._wc_why()) };
    this.m.HEAPU8.set(data, ptr);
    const switches = this.m._wc_readmap();
    return switches < 0 ? { why: this.str(this.m._wc_why()) } : { switches };
  }
  mapasks(switches: number): boolean { return this.m._wc_mapasks(switches) === 1; }
  replacerecord(answer: boolean): boolean { return this.m._wc_replacerecord(answer ? 1 : 0) === 1; }
  // The overview: the slots (0..110) whose level changed since last asked
  // (all of them with all), then each one's looks and title as handed out.
  overviewchanged(all: boolean): number[] {
    const n = this.m._wc_overviewchanged(all ? 1 : 0);
    return [...this.bytes(this.m._wc_overviewslots(), n)];
  }
  overviewlooks(slot: number): Uint8Array {
    const at = this.m._wc_overviewlooks(slot);
    return this.m.HEAPU8.subarray(at, at + 1440);
  }
  overviewtitle(slot: number): string { return this.str(this.m._wc_overviewtitle(slot)); }
  // Moves the shown level to slot number (1..111).
  movelevelto(number: number, answer: boolean): boolean { return this.m._wc_movelevelto(number, answer ? 1 : 0) === 1; }
  levelstats(): LevelStats { return JSON.parse(this.str(this.m._wc_levelstats())) as LevelStats; }

  // The guide and the status bar.

  // The guide's Markdown source as the page shows it: the desktop's parts left out.
  guide(source: string): string {
    this.putin(source);
    return this.str(this.m._wc_guide());
  }

  // The status bar's pack part for a file name (empty: a pack without a
  // file), and its tooltip.
  packstate(name: string, changed: boolean): string {
    this.putin(name);
    return this.str(this.m._wc_packstate(changed ? 1 : 0, 0));
  }
  packstatetip(name: string, changed: boolean): string {
    this.putin(name);
    return this.str(this.m._wc_packstate(changed ? 1 : 0, 1));
  }

  // The menus as the desktop's: one menu's captions with unique access
  // keys; whether the last replace in every level is not taken back yet;
  // where the replace dialog (w by h) goes beside the marks of the level
  // drawn at (x, y) with tile and margin, seen within seen, on a screen of
  // screenw by screenh (null with no mark in sight).
  accesskeys(captions: string[]): string[] {
    this.putin(captions.join("\n"));
    return this.str(this.m._wc_accesskeys()).split("\n");
  }
  replacedinpack(): boolean { return this.m._wc_replacedinpack() === 1; }
  replaceplace(w: number, h: number, tile: number, margin: number, x: number, y: number,
               seen: { x: number; y: number; width: number; height: number }, screenw: number, screenh: number):
    [number, number] | null {
    const at = this.str(this.m._wc_replaceplace(w, h, tile, margin, x, y, seen.x, seen.y, seen.width, seen.height,
      screenw, screenh));
    return at ? JSON.parse(at) as [number, number] : null;
  }

  // The clipboard's text form.
  cliptext(): ClipText { return new ClipText(this.m); }
}

// What "Levelstatistik" shows of the shown level.
export interface LevelStats {
  tiles: [number, number][]; counted: number; marked: number; unknown: number; needed: number; number: number; title: string;
}

// The clipboard's text form, shared with other tabs and the desktop editor.
export class ClipText {
  constructor(private readonly m: CoreModule) {}
  cells(): string { return this.m.UTF8ToString(this.m._wc_cellstext()); }
  level(): string { return this.m.UTF8ToString(this.m._wc_leveltext()); }
  // Takes text as the editor's clipboard, or the level clipboard, when it is
  // that text form; false and nothing changed otherwise.
  take(text: string, level: boolean): boolean {
    const bytes = new TextEncoder().encode(text);
    if (bytes.length > this.m._wc_cliptextmax()) return false;
    this.m.HEAPU8.set(bytes, this.m._wc_in(bytes.length));
    return this.m._wc_takecliptext(level ? 1 : 0) === 1;
  }
}
