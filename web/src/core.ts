// SPDX-License-Identifier: MIT
// The WebAssembly core, typed: one editing session. Everything a press, a
// move, a release, a command or a level switch does to the level happens in
// there; this module only moves numbers and bytes across.

interface CoreModule {
  HEAPU8: Uint8Array;
  UTF8ToString(ptr: number, maxBytes?: number): string;
  [fn: `_wc_${string}`]: (...args: number[]) => number;
}

declare global {
  function createCore(options?: object): Promise<CoreModule>;
}

export const packlen = 170496;
export const listlen = 3108;
export const levelcount = 111;
export const titlelen = 23;

export const enum Command { copy, cut, paste, delete, draw, select, selectall, undo, redo }

export interface Cell { col: number; row: number; code: number; inverted: boolean }

export class Core {
  private constructor(private readonly m: CoreModule) {}

  static async load(): Promise<Core> {
    const core = new Core(await createCore());
    core.m._wc_init();
    return core;
  }

  private str(ptr: number): string { return this.m.UTF8ToString(ptr); }
  private bytes(ptr: number, len: number): Uint8Array { return this.m.HEAPU8.slice(ptr, ptr + len); }

  texts(): { captions: Record<string, string>; tiles: string[] } { return JSON.parse(this.str(this.m._wc_texts())); }

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
  restore(data: Uint8Array, index: number): boolean { return this.putio(data) && this.m._wc_restore(index) === 1; }

  setfields(infotrons: number, gravity: boolean, titlelatin1: Uint8Array): void {
    const ptr = this.m._wc_io(titlelatin1.length);
    this.m.HEAPU8.set(titlelatin1, ptr);
    this.m._wc_setfields(infotrons, gravity ? 1 : 0, ptr, titlelatin1.length);
  }
  levelnumber(): number { return this.m._wc_levelnumber(); }
  infotrons(): number { return this.m._wc_infotrons(); }
  gravity(): boolean { return this.m._wc_gravity() !== 0; }
  title(): Uint8Array { return this.bytes(this.m._wc_title(), this.m._wc_titlelength()); }
  counter(): string { return this.str(this.m._wc_counter()); }
  drawmode(): number { return this.m._wc_drawmode(); }

  switchesfound(): number { return this.m._wc_switchesfound(); }
  commitfields(): boolean { return this.m._wc_commitfields() === 1; }
  storeback(answer: boolean): boolean { return this.m._wc_storeback(answer ? 1 : 0) === 1; }
  switchlevel(number: number, answer: boolean): boolean { return this.m._wc_switchlevel(number, answer ? 1 : 0) === 1; }
  packbytes(): Uint8Array { return this.bytes(this.m._wc_packbytes(), packlen); }
  recoverybytes(): Uint8Array { return this.bytes(this.m._wc_recoverybytes(), 2 * packlen); }
  levellist(): Uint8Array { return this.bytes(this.m._wc_levellist(), listlen); }
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
}
