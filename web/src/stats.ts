// SPDX-License-Identifier: MIT
// "Levelstatistik": how many cells of each tile the shown level holds, with
// the pictures and names, and the infotrons counted beside those needed, as
// the core counts them.

import { Core } from "./core";
import { text, tilename } from "./texts";
import { drawtile, sizecanvas, TileSheets } from "./tiles";

const maxcolumns = 3;
const picturepx = 32;

export function showstats(dialog: HTMLDialogElement, core: Core, sheets: TileSheets): void {
  const st = core.levelstats();
  dialog.querySelector("#StatsLabel1")!.textContent = text("statslevel", String(st.number).padStart(3, "0"), st.title);
  // As many columns as the window has room for, up to three.
  const table = dialog.querySelector<HTMLElement>(".statstable")!;
  const entry = picturepx + 36 + 24 * 8 + 3 * 12;
  table.style.setProperty("--columns", String(Math.min(maxcolumns, Math.max(1, Math.trunc((innerWidth - 80) / entry)))));
  table.replaceChildren();
  for (const [code, count] of st.tiles) {
    const pic = document.createElement("canvas");
    const ctx = pic.getContext("2d")!;
    sizecanvas(pic, ctx, picturepx, picturepx);
    drawtile(ctx, sheets, code, false, 0, 0, picturepx);
    pic.title = text("code", String(code));
    const n = document.createElement("span");
    n.className = "count";
    n.dataset.code = String(code);
    n.textContent = String(count);
    const name = document.createElement("span");
    name.className = "name";
    name.textContent = tilename(code);
    table.append(pic, n, name);
  }
  const lines = [text("statsinfotrons", String(st.counted), String(st.needed))];
  // The counter leaves marked infotrons out; the table above has them.
  if (st.marked > 0) lines.push(text("statsmarked", String(st.marked)));
  if (st.unknown > 0) lines.push(text("statsunknown", String(st.unknown)));
  dialog.querySelector("#StatsLabel2")!.textContent = lines.join("\n");
  dialog.showModal();
}
