// SPDX-License-Identifier: MIT
// The level view: the 58 by 22 interior on a canvas in a scrolling frame.
// It turns pointer positions into cells for the core and draws what the core
// reports; it decides nothing about what a stroke does.

import { Core } from "./core";
import { drawtile, sizecanvas, TileSheets } from "./tiles";

const cols = 58;
const rows = 22;

export interface Buttons { left: number; right: number }

export class LevelView {
  tile: number;
  private readonly ctx: CanvasRenderingContext2D;
  private captured = false; // the left button's moves reach the view wherever the pointer is
  private hovered = -1;

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
    canvas.addEventListener("mouseleave", () => { this.hovered = -1; });
    this.resize();
  }

  // Sets the tile size (one of the zoom steps) and repaints.
  settile(size: number): void {
    this.tile = size;
    this.resize();
  }

  resize(): void {
    sizecanvas(this.canvas, this.ctx, cols * this.tile, rows * this.tile);
    this.repaintall();
  }

  // Every interior cell as the core says it looks now.
  repaintall(): void {
    const looks = this.core.looks();
    const t = this.tile;
    for (let row = 1; row <= rows; ++row)
      for (let col = 1; col <= cols; ++col) {
        const v = looks[row * 60 + col];
        drawtile(this.ctx, this.sheets, v & 0x7f, v >= 0x80, (col - 1) * t, (row - 1) * t, t);
      }
  }

  // The incremental redraw after a move or a command.
  putbuffer(): number {
    const t = this.tile;
    return this.core.putbuffer((col, row, code, inverted) =>
      drawtile(this.ctx, this.sheets, code, inverted, (col - 1) * t, (row - 1) * t, t));
  }

  // Content position of a mouse event: the canvas is the whole content.
  private cellof(e: MouseEvent): [number, number] {
    const r = this.canvas.getBoundingClientRect();
    return [Math.trunc((e.clientX - r.left) / this.tile) + 1, Math.trunc((e.clientY - r.top) / this.tile) + 1];
  }

  private press(e: MouseEvent): void {
    if (e.button > 2) return;
    e.preventDefault(); // no text selection, no middle-button scrolling
    (document.activeElement as HTMLElement | null)?.blur(); // keys go to the level again
    const button = e.button === 2 ? 1 : e.button === 1 ? 2 : 0;
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
