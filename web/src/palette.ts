// SPDX-License-Identifier: MIT
// The tile palette: every tile picture; the left button picks the left
// button's tile (red frame), the right button the right button's (blue).

import { drawtile, sizecanvas, TileSheets } from "./tiles";
import { Buttons } from "./view";

const itemcount = 44;
const columns = 4;
const gap = 4;

export class Palette {
  private tile = 32;
  private readonly ctx: CanvasRenderingContext2D;

  constructor(private readonly canvas: HTMLCanvasElement, private readonly sheets: TileSheets,
              readonly buttons: Buttons, private readonly hover: (code: number) => void) {
    this.ctx = canvas.getContext("2d")!;
    canvas.addEventListener("mousedown", (e) => this.press(e));
    canvas.addEventListener("contextmenu", (e) => e.preventDefault());
    canvas.addEventListener("mousemove", (e) => {
      const code = this.codeat(e);
      if (code >= 0) this.hover(code);
    });
  }

  settile(size: number): void {
    this.tile = size;
    const step = size + gap;
    sizecanvas(this.canvas, this.ctx, columns * step + gap, Math.ceil(itemcount / columns) * step + gap);
    this.repaint();
  }

  private origin(code: number): [number, number] {
    const step = this.tile + gap;
    return [gap + (code % columns) * step, gap + Math.floor(code / columns) * step];
  }

  private codeat(e: MouseEvent): number {
    const r = this.canvas.getBoundingClientRect();
    const step = this.tile + gap;
    const col = Math.floor((e.clientX - r.left - gap / 2) / step);
    const row = Math.floor((e.clientY - r.top - gap / 2) / step);
    const code = row * columns + col;
    return col >= 0 && col < columns && code >= 0 && code < itemcount ? code : -1;
  }

  repaint(): void {
    const c = this.ctx;
    c.fillStyle = "#000";
    c.fillRect(0, 0, this.canvas.width, this.canvas.height);
    for (let code = 0; code < itemcount; ++code) {
      const [x, y] = this.origin(code);
      drawtile(c, this.sheets, code, false, x, y, this.tile);
    }
    c.lineWidth = 2;
    const frame = (code: number, colour: string, inset: number): void => {
      const [x, y] = this.origin(code);
      c.strokeStyle = colour;
      c.strokeRect(x - 2 + inset, y - 2 + inset, this.tile + 4 - 2 * inset, this.tile + 4 - 2 * inset);
    };
    frame(this.buttons.right, "rgb(0,0,255)", 1);
    frame(this.buttons.left, "rgb(255,0,0)", this.buttons.left === this.buttons.right ? 3 : 1);
  }

  private press(e: MouseEvent): void {
    const code = this.codeat(e);
    if (code < 0) return;
    e.preventDefault();
    (document.activeElement as HTMLElement | null)?.blur();
    if (e.button === 0) this.buttons.left = code;
    else if (e.button === 2) this.buttons.right = code;
    else return;
    this.repaint();
  }
}
