// SPDX-License-Identifier: MIT
// The level view: the 58 by 22 interior on a canvas in a scrolling frame.
// It turns pointer positions into cells for the core and draws what the core
// reports; it decides nothing about what a stroke does.

import { Core } from "./core";
import { drawtile, sizecanvas, TileSheets } from "./tiles";

const cols = 58;
const rows = 22;

export interface Buttons { left: number; right: number }

// "Levelrand": a frame around the grid; "Gitter": lines between the cells.
export interface ViewOptions { edge: boolean; grid: boolean }

const edgemargin = 3; // the frame, a black pixel, then the cells

export class LevelView {
  tile: number;
  private readonly ctx: CanvasRenderingContext2D;
  private captured = false; // the left button's moves reach the view wherever the pointer is
  private hovered = -1;
  private options: ViewOptions = { edge: false, grid: false };
  // The interior cell last under the pointer, the one it left for the menu.
  pointed: [number, number] | null = null;
  private inside = false; // the pointer is over an interior cell now

  constructor(private readonly canvas: HTMLCanvasElement, private readonly core: Core, private readonly sheets: TileSheets,
              private readonly buttons: Buttons, private readonly ended: () => void,
              private readonly hover: (cellcode: number) => void) {
    this.tile = core.limits.starttile;
    this.ctx = canvas.getContext("2d", { alpha: false })!;
    // Every button's press captures the pointer, so that its release ends
    // the stroke wherever it happens; losing the capture or the window's
    // focus ends it too.
    canvas.addEventListener("pointerdown", (e) => canvas.setPointerCapture(e.pointerId));
    canvas.addEventListener("mousedown", (e) => this.press(e));
    window.addEventListener("mousemove", (e) => this.move(e));
    window.addEventListener("mouseup", (e) => this.release(e));
    for (const ended of ["pointercancel", "lostpointercapture"]) canvas.addEventListener(ended, () => this.end());
    window.addEventListener("blur", () => this.end());
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    canvas.addEventListener("mouseleave", () => { this.hovered = -1; this.inside = false; });
    this.resize();
  }

  // The interior cell under the pointer, if it is over one now.
  under(): [number, number] | null { return this.inside ? this.pointed : null; }

  // Sets the tile size (one of the zoom steps) and repaints.
  settile(size: number): void {
    this.tile = size;
    this.resize();
  }

  setoptions(options: ViewOptions): void {
    this.options = { ...options };
    this.resize();
  }

  private margin(): number { return this.options.edge ? edgemargin : 0; }

  resize(): void {
    const m = this.margin();
    sizecanvas(this.canvas, this.ctx, cols * this.tile + 2 * m, rows * this.tile + 2 * m);
    this.repaintall();
  }

  // A cell's picture with its grid lines: over its own first pixel column
  // and row, except in the first column and row.
  private drawcell(col: number, row: number, code: number, inverted: boolean): void {
    const t = this.tile, m = this.margin();
    const x = m + (col - 1) * t, y = m + (row - 1) * t;
    drawtile(this.ctx, this.sheets, code, inverted, x, y, t);
    if (!this.options.grid) return;
    this.ctx.fillStyle = "rgb(72,72,72)";
    if (col > 1) this.ctx.fillRect(x, y, 1, t);
    if (row > 1) this.ctx.fillRect(x, y, t, 1);
  }

  // Every interior cell as the core says it looks now.
  repaintall(): void {
    const looks = this.core.looks();
    const m = this.margin();
    if (m) {
      const w = cols * this.tile + 2 * m, h = rows * this.tile + 2 * m;
      this.ctx.fillStyle = "#000";
      this.ctx.fillRect(0, 0, w, h);
      this.ctx.strokeStyle = "rgb(192,192,192)";
      this.ctx.lineWidth = 1;
      this.ctx.strokeRect(m - 1.5, m - 1.5, w - 2 * m + 3, h - 2 * m + 3);
    }
    for (let row = 1; row <= rows; ++row)
      for (let col = 1; col <= cols; ++col) {
        const v = looks[row * 60 + col];
        this.drawcell(col, row, v & 0x7f, v >= 0x80);
      }
  }

  // The incremental redraw after a move or a command.
  putbuffer(): number {
    return this.core.putbuffer((col, row, code, inverted) => this.drawcell(col, row, code, inverted));
  }

  // Content position of a mouse event: the canvas is the whole content.
  private cellof(e: MouseEvent): [number, number] {
    const r = this.canvas.getBoundingClientRect();
    const m = this.margin();
    return [Math.trunc((e.clientX - r.left - m) / this.tile) + 1, Math.trunc((e.clientY - r.top - m) / this.tile) + 1];
  }

  // Whether a mouse event lies on the edge frame, left of or above the cells.
  private onframe(e: MouseEvent): boolean {
    const r = this.canvas.getBoundingClientRect();
    const m = this.margin();
    return m > 0 && (e.clientX - r.left < m || e.clientY - r.top < m);
  }

  private press(e: MouseEvent): void {
    if (e.button > 2) return;
    e.preventDefault(); // no text selection, no middle-button scrolling
    (document.activeElement as HTMLElement | null)?.blur(); // keys go to the level again
    const button = e.button === 2 ? 1 : e.button === 1 ? 2 : 0;
    // A press on the edge frame is outside the interior, as one right of it is.
    if (this.onframe(e) && !this.core.stroking()) return;
    const [col, row] = this.cellof(e);
    const r = this.core.press(button, e.ctrlKey, col, row, this.buttons.left, this.buttons.right);
    if (r & 1) return;
    if (button === 0) this.captured = true;
    if (r & 2) this.repaintall();
    this.putbuffer();
  }

  // Whether the pointer is over the visible part of the view; the capture
  // sends every event to the canvas, wherever the pointer is.
  private over(e: MouseEvent): boolean {
    return e.target === this.canvas &&
      (!this.core.stroking() || document.elementFromPoint(e.clientX, e.clientY) === this.canvas);
  }

  private move(e: MouseEvent): void {
    const over = this.over(e);
    // Right and middle strokes follow the pointer only over the view.
    if (!this.captured && !over) return;
    const [col, row] = this.cellof(e);
    this.inside = over && !this.onframe(e) && col >= 1 && col <= cols && row >= 1 && row <= rows;
    if (this.inside) this.pointed = [col, row];
    if (this.core.move(col, row)) this.putbuffer();
    else if (over) {
      const i = row * 60 + col;
      if (i !== this.hovered && col >= 1 && col <= cols && row >= 1 && row <= rows) {
        this.hovered = i;
        this.hover(this.core.looks()[i] & 0x7f);
      }
    }
  }

  private release(e: MouseEvent): void {
    if (e.button === 0) this.captured = false;
    this.end();
  }

  // Ends the stroke in progress, if any.
  private end(): void {
    if (!this.core.stroking()) return;
    this.captured = false;
    if (this.core.release()) this.ended();
  }
}
