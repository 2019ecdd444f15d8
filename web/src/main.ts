// SPDX-License-Identifier: MIT
// The page: loads the core and the tile pictures, builds the window (menus,
// tool buttons, fields, level view, palette) and wires commands and keys.

import { Command, Core } from "./core";
import { ask, askyesno } from "./dialogs";
import { FileHandle } from "./files";
import { Fields } from "./fields";
import { Palette } from "./palette";
import { Recovery } from "./recovery";
import { accesskey, settexts, text, tilelabel } from "./texts";
import { loadtiles } from "./tiles";
import { LevelView } from "./view";
import { Updates } from "./offline";
import { PackFile } from "./packfile";
import { runbench } from "./bench";

async function main(): Promise<void> {
  const [core, sheets] = await Promise.all([Core.load(), loadtiles("tiles.png")]);
  settexts(core.texts());
  for (const el of document.querySelectorAll<HTMLElement>("[data-caption]")) el.textContent = text(el.dataset.caption!);
  for (const el of document.querySelectorAll<HTMLElement>("[data-tip]")) el.title = text(el.dataset.tip!);
  // The menus open with their access keys (Alt+D, Alt+B, Alt+H in most browsers).
  for (const el of document.querySelectorAll<HTMLElement>(".menutitle")) el.accessKey = accesskey(el.dataset.caption!);
  document.title = text("Form1");

  let busy = false; // a question is open: no second command meanwhile
  const status = document.getElementById("status")!;
  const buttons = { left: 2, right: 0 };
  const tipped = [document.getElementById("PaintBox1")!, document.getElementById("itemselect1")!];
  let saiduntil = 0; // what the page said stays a moment before tile names cover it
  const say = (message: string): void => {
    status.textContent = message;
    saiduntil = performance.now() + 4000;
  };
  const hover = (code: number): void => {
    if (performance.now() >= saiduntil) status.textContent = tilelabel(code);
    for (const el of tipped) el.title = tilelabel(code);
  };

  const keeper = new Recovery(core, () => pack.keptname);
  const recoverystarted = keeper.start();
  const undoitem = document.getElementById("Rckgngig1") as HTMLButtonElement;
  const redoitem = document.getElementById("Wiederherstellen1") as HTMLButtonElement;
  const packstate = document.getElementById("packstate")!;
  const updates = new Updates(() => !core.unsaved());
  let statetimer = 0;
  const changed = (): void => {
    undoitem.disabled = !core.canundo();
    redoitem.disabled = !core.canredo();
    keeper.changed();
    // The file's state once after a burst of changes, not at every step.
    clearTimeout(statetimer);
    statetimer = window.setTimeout(() => { pack.showstate(packstate); updates.check(); }, 0);
  };
  const view = new LevelView(document.getElementById("PaintBox1") as HTMLCanvasElement, core, sheets, buttons,
    () => { fields.showcounter(); changed(); }, hover);
  const palette = new Palette(document.getElementById("itemselect1") as HTMLCanvasElement, sheets, buttons, hover);
  palette.settile(view.tile);

  const toolbuttons = (): void => {
    document.getElementById("ToolButton1")!.classList.toggle("active", core.drawmode() === 1);
    document.getElementById("ToolButton2")!.classList.toggle("active", core.drawmode() === 0);
  };
  const shown = (): void => {
    fields.show();
    view.repaintall();
    toolbuttons();
    changed();
  };

  // Asks the switch-limit question when a store-back would; the answer.
  const storeanswer = async (): Promise<boolean> =>
    !core.storebackasks() || await askyesno(text("switchlimit"));

  const guarded = <A extends unknown[]>(run: (...args: A) => Promise<void>) => async (...args: A): Promise<void> => {
    if (busy) return;
    busy = true;
    try { await run(...args); } finally { busy = false; }
  };

  const switchto = guarded(async () => {
    const target = Number.parseInt(fields.level.value, 10);
    await switchlevel(target);
  });
  const switchlevel = async (number: number): Promise<void> => {
    if (!core.canswitchto(number)) { fields.showlevel(); return; }
    if (core.switchlevel(number, await storeanswer())) shown();
    else fields.showlevel();
  };
  const fields = new Fields(core, changed, (n) => {
    fields.level.value = String(n);
    void switchto();
  });

  const input = document.getElementById("OpenDialog1") as HTMLInputElement;
  const recentmenu = document.getElementById("Zuletztgeffnet1")!;
  const showrecent = (): void => void pack.showrecent(recentmenu, guarded((h: FileHandle) => pack.openrecent(h)));
  const pack = new PackFile(core, {
    storeanswer, changed, say, input,
    opened: () => { shown(); showrecent(); },
  });
  const commands: Record<string, () => void | Promise<void>> = {
    NeuesLevelpack1: guarded(async () => {
      if (!(await pack.maybesave())) return;
      core.newpack();
      pack.reset();
      shown();
    }),
    Levelpackladen1: guarded(() => pack.pickandload()),
    Speichern1: guarded(async () => { await pack.quicksave(); showrecent(); }),
    Levelpackspeichern1: guarded(async () => { await pack.saveas(); showrecent(); }),
    // A field edit not yet left is a step of its own before undo or redo
    // run; a step may be a field edit, so the fields show the level again.
    Rckgngig1: () => { core.commitfields(); if (core.command(Command.undo)) { view.putbuffer(); fields.show(); } changed(); },
    Wiederherstellen1: () => { core.commitfields(); if (core.command(Command.redo)) { view.putbuffer(); fields.show(); } changed(); },
    Kopieren1: () => { core.command(Command.copy); },
    Einfgen1: () => { core.command(Command.paste); view.putbuffer(); changed(); },
    Lschen2: () => { core.command(Command.cut); view.putbuffer(); changed(); },
    Lschen1: () => { core.command(Command.delete); view.putbuffer(); changed(); },
    Allesmarkieren1: () => { core.command(Command.selectall); view.putbuffer(); changed(); },
    ToolButton1: () => { core.command(Command.draw); view.putbuffer(); toolbuttons(); changed(); },
    ToolButton2: () => { core.command(Command.select); toolbuttons(); },
    ToolButton4: () => zoom(1),
    ToolButton5: () => zoom(-1),
    Hilfe1: () => (document.getElementById("help") as HTMLDialogElement).showModal(),
  };
  const zoom = (by: number): void => {
    const next = core.zoomstep(view.tile, by);
    if (next === view.tile) return;
    view.settile(next);
    palette.settile(next);
  };
  for (const [id, run] of Object.entries(commands)) {
    document.getElementById(id)?.addEventListener("click", () => {
      closemenus();
      void run();
    });
  }

  // Menus open on click and close on the next click elsewhere.
  const closemenus = (): void => document.querySelectorAll(".menu.open").forEach((m) => m.classList.remove("open"));
  for (const m of document.querySelectorAll<HTMLElement>(".menu")) {
    m.querySelector(".menutitle")!.addEventListener("click", (e) => {
      e.stopPropagation();
      const open = m.classList.contains("open");
      closemenus();
      m.classList.toggle("open", !open);
    });
  }
  document.addEventListener("click", closemenus);

  const shortcuts: Record<string, string> = {
    "Ctrl+z": "Rckgngig1", "Ctrl+y": "Wiederherstellen1", "Ctrl+Shift+z": "Wiederherstellen1",
    "Ctrl+c": "Kopieren1", "Ctrl+v": "Einfgen1", "Ctrl+x": "Lschen2", "Delete": "Lschen1",
    "Ctrl+a": "Allesmarkieren1", "Ctrl+s": "Speichern1", "Ctrl+o": "Levelpackladen1", "F1": "Hilfe1",
  };
  document.addEventListener("keydown", (e) => {
    const t = e.target as HTMLElement;
    // Text fields keep their own editing keys.
    if (t instanceof HTMLInputElement && t.type === "text" && !["s", "o"].includes(e.key.toLowerCase())) return;
    if (busy || document.querySelector("dialog[open]")) return;
    const combo = (e.ctrlKey || e.metaKey ? "Ctrl+" : "") + (e.shiftKey && e.key.length === 1 ? "Shift+" : "") +
      (e.key.length === 1 ? e.key.toLowerCase() : e.key);
    const id = shortcuts[combo];
    if (!id) return;
    e.preventDefault();
    void commands[id]();
  });

  // A dropped file asks about unsaved work once it is known to be a pack; a
  // picked one was asked about before the picker opened.
  const open = guarded(async (file: File, handle?: Promise<FileSystemHandle | null>) => {
    const h = await handle?.catch(() => null);
    await pack.load(file, h?.kind === "file" ? h as FileHandle : undefined, true);
  });
  input.addEventListener("change", guarded(async () => {
    const file = input.files?.[0];
    input.value = "";
    if (file) await pack.load(file, undefined, false);
  }));
  window.addEventListener("dragover", (e) => e.preventDefault());
  window.addEventListener("drop", (e) => {
    e.preventDefault();
    const files = e.dataTransfer?.files;
    if (!files?.length) return;
    // Nothing loads beneath an open question.
    if (busy || document.querySelector("dialog[open]")) {
      status.textContent = text("dropbusy");
      return;
    }
    // Chromium hands out the dropped file's handle, asked for during the
    // drop itself, so that Strg+S writes back into it as after the picker.
    const item = e.dataTransfer?.items[0] as (DataTransferItem & {
      getAsFileSystemHandle?: () => Promise<FileSystemHandle | null> }) | undefined;
    if (files.length > 1) void refuse(files.length);
    else void open(files[0], item?.getAsFileSystemHandle?.());
  });
  const refuse = guarded(async (count: number) => {
    await ask(text("note"), text("droponlyone", String(count)), [text("ok")]);
  });

  // Each write starts at once, so it is under way before the page is gone.
  window.addEventListener("pagehide", () => void keeper.flush());
  document.addEventListener("visibilitychange", () => {
    if (document.visibilityState === "hidden") void keeper.flush();
  });
  window.addEventListener("beforeunload", (e) => {
    void keeper.flush();
    if (!core.unsaved()) return;
    e.preventDefault();
    e.returnValue = "";
  });

  // A new screen or a changed zoom of the page changes the device pixels.
  let pixelratio = window.devicePixelRatio;
  const newpixels = (): void => {
    if (window.devicePixelRatio === pixelratio) return;
    pixelratio = window.devicePixelRatio;
    view.resize();
    palette.settile(view.tile);
    watchpixels();
  };
  const watchpixels = (): void => matchMedia(`(resolution: ${pixelratio}dppx)`)
    .addEventListener("change", newpixels, { once: true });
  watchpixels();
  window.addEventListener("resize", newpixels);

  shown();
  performance.mark("pack-shown");
  const page = window as unknown as Record<string, unknown>;
  page.tessBench = () => runbench(core, view, sheets);

  await recoverystarted;
  await keeper.offer((journal, name) => {
    if (!core.restorejournal(journal)) return false;
    pack.reset(name);
    shown();
    return true;
  });
  showrecent();
  void updates.start();
  page.tessReady = true;
}

void main();
