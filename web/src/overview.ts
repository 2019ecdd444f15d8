// SPDX-License-Identifier: MIT
// The level overview: the pack's 111 levels as thumbnails with their numbers
// and titles, in a panel of its own, the current level outlined. A click
// chooses a level, a drag onto another thumbnail moves the level to that
// slot (scrolling when held near the top or bottom edge), a right click asks
// for the level operations. From the keyboard the arrow keys, Home and End
// move a focus frame, Enter chooses the level in it and the menu key (or
// Shift+F10) asks for its operations. Only the thumbnails of levels that
// changed are drawn again. The panel only shows and reports; the page
// decides what happens.

import { Core } from "./core";
import { text } from "./texts";
import { TileSheets } from "./tiles";

const cols = 58, rows = 22, cellsize = 3;
const levelcount = 111;
const dragdistance = 10; // pixels a press must travel before it is a drag
const scrollzone = 32;   // a drag held this close to the top or bottom edge scrolls
const pitchy = rows * cellsize + 14 + 8;

export interface OverviewHooks {
  chosen(slot: number): void;
  moved(from: number, to: number): void;
  menu(slot: number, x: number, y: number): void;
  shown(visible: boolean): void;
}

export class Overview {
  private readonly grid: HTMLElement;
  private readonly body: HTMLElement;
  private readonly thumbs: HTMLElement[] = [];
  private readonly sheet: ImageData;
  // Each tile's picture scaled down to a cell of w by h device pixels, per size.
  private readonly pictures = new Map<string, Uint8ClampedArray[]>();
  private ratio = 0;
  private current = -1;
  private focus = 0;
  private pressed = -1;
  private target = -1;
  private dragging = false;
  private pressat = [0, 0];
  private pointer = [0, 0];
  private scroller = 0;
  private pending = 0;

  constructor(private readonly panel: HTMLElement, private readonly core: Core, sheets: TileSheets,
              private readonly hooks: OverviewHooks) {
    this.sheet = sheets.plain.getContext("2d")!.getImageData(0, 0, sheets.plain.width, sheets.plain.height);
    this.body = panel.querySelector<HTMLElement>(".body")!;
    this.grid = panel.querySelector<HTMLElement>(".thumbs")!;
    for (let slot = 0; slot < levelcount; ++slot) {
      const thumb = document.createElement("div");
      thumb.className = "thumb";
      thumb.dataset.slot = String(slot);
      const canvas = document.createElement("canvas");
      canvas.width = cols * cellsize;
      canvas.height = rows * cellsize;
      const caption = document.createElement("div");
      caption.className = "caption";
      thumb.append(canvas, caption);
      this.grid.append(thumb);
      this.thumbs.push(thumb);
    }
    panel.querySelector(".close")!.addEventListener("click", () => this.setvisible(false));
    this.grid.addEventListener("mousedown", (e) => this.press(e));
    window.addEventListener("mousemove", (e) => this.move(e));
    window.addEventListener("mouseup", (e) => this.release(e));
    this.grid.addEventListener("contextmenu", (e) => {
      e.preventDefault();
      const slot = this.slotat(e.clientX, e.clientY);
      if (slot >= 0) this.hooks.menu(slot, e.clientX, e.clientY);
    });
    this.grid.addEventListener("keydown", (e) => this.key(e));
  }

  get visible(): boolean { return !this.panel.hidden; }

  setvisible(on: boolean): void {
    if (on === this.visible) return;
    this.panel.hidden = !on;
    if (on) {
      this.refresh();
      this.grid.focus();
    }
    this.hooks.shown(on);
  }

  // Something may have changed: the thumbnails of the levels that did are
  // drawn anew, once per frame, and only while the panel shows.
  refresh(): void {
    if (this.pending || !this.visible) return;
    this.pending = requestAnimationFrame(() => {
      this.pending = 0;
      if (!this.visible) return;
      const ratio = window.devicePixelRatio || 1;
      const all = ratio !== this.ratio;
      if (all) this.pictures.clear();
      this.ratio = ratio;
      for (const slot of this.core.overviewchanged(all)) this.render(slot);
      this.setcurrent(this.core.levelnumber() - 1);
    });
  }

  private setcurrent(slot: number): void {
    if (slot === this.current) return;
    this.thumbs[this.current]?.classList.remove("current");
    this.current = slot;
    this.thumbs[slot].classList.add("current");
    this.setfocus(slot);
  }

  private setfocus(slot: number): void {
    this.thumbs[this.focus].classList.remove("focus");
    this.focus = slot;
    this.thumbs[slot].classList.add("focus");
    this.thumbs[slot].scrollIntoView({ block: "nearest" });
  }

  private settarget(slot: number): void {
    if (slot === this.target) return;
    this.thumbs[this.target]?.classList.remove("target");
    this.target = slot;
    if (slot >= 0 && slot !== this.pressed) this.thumbs[slot].classList.add("target");
  }

  // The thumbnail (with its caption) under a viewport position; -1 elsewhere.
  slotat(x: number, y: number): number {
    const el = document.elementFromPoint(x, y)?.closest<HTMLElement>(".thumb");
    return el && this.grid.contains(el) ? Number(el.dataset.slot) : -1;
  }

  // How many thumbnails a row holds now.
  private columns(): number {
    const top = this.thumbs[0].offsetTop;
    return Math.max(1, this.thumbs.findIndex((t) => t.offsetTop !== top));
  }

  private key(e: KeyboardEvent): void {
    const f = this.focus;
    const to = { ArrowLeft: f - 1, ArrowRight: f + 1, ArrowUp: f - this.columns(), ArrowDown: f + this.columns(),
      Home: 0, End: levelcount - 1 }[e.key];
    if (to !== undefined) {
      if (to >= 0 && to < levelcount) this.setfocus(to);
    } else if (e.key === "Enter") {
      this.hooks.chosen(f);
    } else if (e.key === "ContextMenu" || (e.key === "F10" && e.shiftKey)) {
      const r = this.thumbs[f].querySelector("canvas")!.getBoundingClientRect();
      this.hooks.menu(f, r.left + r.width / 2, r.top + r.height / 2);
    } else {
      return;
    }
    e.preventDefault();
  }

  private press(e: MouseEvent): void {
    if (e.button !== 0) return;
    e.preventDefault(); // no text selection
    this.grid.focus();
    this.pressed = this.slotat(e.clientX, e.clientY);
    this.pressat = [e.clientX, e.clientY];
    this.pointer = [e.clientX, e.clientY];
    this.dragging = false;
  }

  private move(e: MouseEvent): void {
    if (this.pressed < 0 || !(e.buttons & 1)) return;
    this.pointer = [e.clientX, e.clientY];
    if (!this.dragging && Math.abs(e.clientX - this.pressat[0]) + Math.abs(e.clientY - this.pressat[1]) < dragdistance)
      return;
    this.dragging = true;
    if (!this.scroller) this.scroller = window.setInterval(() => this.scrollstep(), 30);
    this.settarget(this.slotat(e.clientX, e.clientY));
  }

  // Scrolls while the dragging pointer is near or past the top or bottom
  // edge of the visible part, and follows the pointer to its new target.
  private scrollstep(): void {
    const r = this.body.getBoundingClientRect();
    const y = this.pointer[1] - r.top;
    let step = 0;
    if (y < scrollzone) step = -(scrollzone - y);
    else if (y > r.height - scrollzone) step = y - (r.height - scrollzone);
    if (step === 0) return;
    step = step < 0 ? Math.max(Math.trunc(step / 2) - 1, -pitchy / 2) : Math.min(Math.trunc(step / 2) + 1, pitchy / 2);
    this.body.scrollTop += step;
    this.settarget(this.slotat(this.pointer[0], this.pointer[1]));
  }

  private release(e: MouseEvent): void {
    if (e.button !== 0 || this.pressed < 0) return;
    const from = this.pressed, to = this.slotat(e.clientX, e.clientY), dragged = this.dragging;
    this.pressed = -1;
    this.settarget(-1);
    this.dragging = false;
    clearInterval(this.scroller);
    this.scroller = 0;
    if (dragged && to >= 0 && to !== from) this.hooks.moved(from, to);
    else if (!dragged && to === from) this.hooks.chosen(from);
  }

  // Each cell's scaled picture copied into the thumbnail; cell edges fall on
  // whole device pixels, so at a fractional ratio cells alternate by a pixel.
  private render(slot: number): void {
    const canvas = this.thumbs[slot].querySelector("canvas")!;
    const edge = (cells: number): number => Math.round(cells * cellsize * this.ratio);
    const w = edge(cols), h = edge(rows);
    if (canvas.width !== w || canvas.height !== h) [canvas.width, canvas.height] = [w, h];
    const img = new ImageData(w, h);
    const looks = this.core.overviewlooks(slot);
    for (let row = 1; row <= rows; ++row) {
      const top = edge(row - 1), ch = edge(row) - top;
      for (let col = 1; col <= cols; ++col) {
        const left = edge(col - 1), cw = edge(col) - left;
        const pic = this.picture(looks[row * 60 + col], cw, ch);
        for (let y = 0; y < ch; ++y) img.data.set(pic.subarray(y * cw * 4, (y + 1) * cw * 4), ((top + y) * w + left) * 4);
      }
    }
    canvas.getContext("2d")!.putImageData(img, 0, 0);
    const number = String(slot + 1).padStart(3, "0");
    const caption = this.thumbs[slot].querySelector<HTMLElement>(".caption")!;
    caption.textContent = `${number}  ${this.core.overviewtitle(slot)}`;
    caption.title = caption.textContent;
  }

  // The picture of a look (code | 0x80 when inverted) averaged down to w by h.
  private picture(look: number, w: number, h: number): Uint8ClampedArray {
    const key = `${w}x${h}`;
    let pics = this.pictures.get(key);
    if (!pics) this.pictures.set(key, pics = []);
    const got = pics[look];
    if (got) return got;
    const out = new Uint8ClampedArray(w * h * 4);
    const code = look & 0x7f, src = this.sheet;
    const ox = (code & 15) * 16, oy = (code >> 4) * 16;
    for (let y = 0; y < h; ++y)
      for (let x = 0; x < w; ++x) {
        const x0 = x * 16 / w, x1 = (x + 1) * 16 / w, y0 = y * 16 / h, y1 = (y + 1) * 16 / h;
        const sum = [0, 0, 0];
        for (let sy = Math.floor(y0); sy < Math.ceil(y1); ++sy)
          for (let sx = Math.floor(x0); sx < Math.ceil(x1); ++sx) {
            const wt = (Math.min(x1, sx + 1) - Math.max(x0, sx)) * (Math.min(y1, sy + 1) - Math.max(y0, sy));
            const i = ((oy + sy) * src.width + ox + sx) * 4;
            for (let c = 0; c < 3; ++c) sum[c] += src.data[i + c] * wt;
          }
        const area = (x1 - x0) * (y1 - y0), o = (y * w + x) * 4;
        for (let c = 0; c < 3; ++c) out[o + c] = look & 0x80 ? 255 - sum[c] / area : sum[c] / area;
        out[o + 3] = 255;
      }
    return pics[look] = out;
  }
}

// A small menu at a viewport position: items by caption key, null for a
// line; closes on a choice, Escape or a click elsewhere.
export function popupmenu(x: number, y: number, items: ({ key: string; enabled: boolean; run: () => void } | null)[]): void {
  const menu = document.createElement("div");
  menu.className = "items popup";
  menu.setAttribute("role", "menu");
  const close = (): void => {
    menu.remove();
    document.removeEventListener("mousedown", outside, true);
  };
  const outside = (e: MouseEvent): void => { if (!menu.contains(e.target as Node)) close(); };
  for (const item of items) {
    if (!item) { menu.append(document.createElement("hr")); continue; }
    const b = document.createElement("button");
    b.textContent = text(item.key);
    b.disabled = !item.enabled;
    b.addEventListener("click", () => { close(); item.run(); });
    menu.append(b);
  }
  menu.addEventListener("keydown", (e) => {
    const enabled = [...menu.querySelectorAll<HTMLButtonElement>("button:not(:disabled)")];
    const at = enabled.indexOf(document.activeElement as HTMLButtonElement);
    if (e.key === "Escape") close();
    else if (e.key === "ArrowDown") enabled[(at + 1) % enabled.length]?.focus();
    else if (e.key === "ArrowUp") enabled[(at - 1 + enabled.length) % enabled.length]?.focus();
    else return;
    e.preventDefault();
    e.stopPropagation();
  });
  menu.style.left = `${x}px`;
  menu.style.top = `${y}px`;
  document.body.append(menu);
  document.addEventListener("mousedown", outside, true);
  menu.querySelector<HTMLButtonElement>("button:not(:disabled)")?.focus();
}
