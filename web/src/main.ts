// SPDX-License-Identifier: MIT
// The page: loads the core and the tile pictures, builds the window (menus,
// tool buttons, fields, level view, palette) and wires commands and keys.

import { Command, Core } from "./core";
import { ask, askyesno, showerror } from "./dialogs";
import { FileHandle } from "./files";
import { Fields } from "./fields";
import { Palette } from "./palette";
import { Recovery } from "./recovery";
import { settexts, text, tilelabel } from "./texts";
import { loadtiles } from "./tiles";
import { LevelView, ViewOptions } from "./view";
import { MenuBar, MenuItem } from "./menus";
import { ReplaceDialog } from "./replace";
import { MapFiles } from "./maps";
import { Updates } from "./offline";
import { PackFile } from "./packfile";
import { runbench } from "./bench";
import { Overview, popupmenu } from "./overview";
import { showstats } from "./stats";
import { HelpDialog } from "./help";
import { SystemClipboard } from "./clipboard";

async function main(): Promise<void> {
  const [core, sheets] = await Promise.all([Core.load(), loadtiles("tiles.png")]);
  settexts(core.texts());
  for (const el of document.querySelectorAll<HTMLElement>("[data-caption]")) el.textContent = text(el.dataset.caption!);
  for (const el of document.querySelectorAll<HTMLElement>("[data-tip]")) el.title = text(el.dataset.tip!);
  document.title = text("Form1");

  let busy = false; // a question is open: no second command meanwhile
  const status = document.getElementById("status")!;
  const buttons = { left: 2, right: 0 };
  const tipped = [document.getElementById("PaintBox1")!, document.getElementById("itemselect1")!];
  // What just happened, for as long as the desktop's status bar shows it;
  // tile names are tooltips, as there.
  let saidtimer = 0;
  const say = (message: string): void => {
    status.textContent = message;
    clearTimeout(saidtimer);
    saidtimer = window.setTimeout(() => { status.textContent = "\u00a0"; }, 10000);
  };
  const hover = (code: number): void => {
    for (const el of tipped) el.title = tilelabel(code);
  };

  const keeper = new Recovery(core, () => pack.keptname);
  const recoverystarted = keeper.start();
  const packstate = document.getElementById("packstate")!;
  const updates = new Updates(() => !core.unsaved());
  let statetimer = 0;
  const changed = (): void => {
    keeper.changed();
    overview.refresh();
    // The file's state once after a burst of changes, not at every step.
    clearTimeout(statetimer);
    statetimer = window.setTimeout(() => { pack.showstate(packstate); updates.check(); }, 0);
  };
  const view = new LevelView(document.getElementById("PaintBox1") as HTMLCanvasElement, core, sheets, buttons,
    () => { fields.showcounter(); changed(); }, hover);
  const palette = new Palette(document.getElementById("itemselect1") as HTMLCanvasElement, sheets, buttons, hover);
  // "Levelrand", "Gitter" and the zoom as this browser last had them.
  const viewkey = "tessaron-view";
  const kept = ((): ViewOptions & { tile?: number } => {
    try { return JSON.parse(localStorage.getItem(viewkey) ?? "{}") as ViewOptions; } catch { return { edge: false, grid: false }; }
  })();
  const viewoptions: ViewOptions = { edge: kept.edge === true, grid: kept.grid === true };
  const keepview = (): void => {
    try { localStorage.setItem(viewkey, JSON.stringify({ ...viewoptions, tile: view.tile })); } catch { /* not kept */ }
  };
  view.setoptions(viewoptions);
  // Only a zoom step is taken, found by stepping from it.
  const t = kept.tile ?? 0;
  if (core.zoomstep(t, 1) !== t || core.zoomstep(t, -1) !== t) view.settile(t);
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
  // The level menu's commands store the shown level back first; declining
  // the switch-limit question cancels them.
  const levelcommand = (run: (answer: boolean) => boolean) => guarded(async () => {
    if (core.stroking()) return;
    run(await storeanswer());
    shown();
  });
  // At the first or last slot a move does nothing, not even store back.
  const levelmove = (by: number) => {
    const run = levelcommand((answer) => core.movelevel(by, answer));
    return async (): Promise<void> => { if (core.canmovelevel(by)) await run(); };
  };
  // The tile commands change cells of the shown level and the counter.
  const celledit = (run: () => void) => (): void => {
    run();
    view.putbuffer();
    fields.showcounter();
    changed();
  };
  const undo = (which: Command) => (): boolean => {
    // A field edit not yet left is a step of its own before undo or redo
    // run; a step may be a field edit or a whole level, so all is shown again.
    core.commitfields();
    const done = core.command(which);
    shown();
    return done;
  };
  const help = new HelpDialog(core, document.getElementById("help") as HTMLDialogElement);
  const replacer = new ReplaceDialog(core, sheets, {
    storeanswer, say, undo: () => core.canundo() && undo(Command.undo)(),
    replaced: () => { shown(); },
  });
  const maps = new MapFiles(core, { storeanswer, shown, say });
  const mapinput = document.getElementById("MapDialog1") as HTMLInputElement;
  mapinput.addEventListener("change", guarded(async () => {
    const file = mapinput.files?.[0];
    mapinput.value = "";
    if (file) await maps.importfile(file);
  }));
  // The overview chooses and moves levels as the level menu does: the level
  // is shown first, which stores the one shown before back.
  const showslot = async (slot: number): Promise<boolean> => {
    if (!core.canswitchto(slot + 1)) return false;
    const done = core.switchlevel(slot + 1, await storeanswer());
    shown();
    return done;
  };
  const overview = new Overview(document.getElementById("Levelbersicht")!, core, sheets, {
    chosen: guarded(async (slot) => { await showslot(slot); }),
    moved: guarded(async (from, to) => {
      if (await showslot(from) && core.movelevelto(to + 1, await storeanswer())) shown();
    }),
    // The level menu's operations for the level under the pointer, which
    // becomes the current level first, as a click would make it.
    menu: (slot, x, y) => popupmenu(x, y, [
      ...["Levelkopieren1", "Leveleinfgen1", "Levelleeren1"].map((key) => ({
        key, enabled: key !== "Leveleinfgen1" || core.canpastelevel(), run: () => void atslot(slot, key) })),
      null,
      ...["Levelnachvorne1", "Levelnachhinten1"].map((key) => ({ key, enabled: true, run: () => void atslot(slot, key) })),
    ]),
    shown: () => {},
  });
  const atslot = async (slot: number, command: string): Promise<void> => {
    let done = false;
    await guarded(async () => { done = await showslot(slot); })();
    if (done) await commands[command]();
  };
  const system = new SystemClipboard(core.cliptext(), say);
  const pastelevel = levelcommand((answer) => core.pastelevel(answer));
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
    LevelnachTiledexportieren1: guarded(() => maps.exportlevel()),
    LevelausTiledimportieren1: () => { if (!core.stroking()) mapinput.click(); },
    Rckgngig1: () => { undo(Command.undo)(); },
    Wiederherstellen1: () => { undo(Command.redo)(); },
    Kopieren1: () => { core.command(Command.copy); void system.write(false); },
    Einfgen1: guarded(async () => { await system.read(false); core.command(Command.paste); view.putbuffer(); changed(); }),
    Lschen2: () => { core.command(Command.cut); view.putbuffer(); changed(); void system.write(false); },
    Lschen1: () => { core.command(Command.delete); view.putbuffer(); changed(); },
    Allesmarkieren1: () => { core.command(Command.selectall); view.putbuffer(); changed(); },
    GleicheFeldermarkieren1: celledit(() => core.marksametiles(buttons.left)),
    Zusammenhngendemarkieren1: celledit(() => { if (view.pointed) core.markregion(...view.pointed); }),
    Markierungfllen1: celledit(() => core.fillmarked(buttons.left)),
    Markierunglinksrechtsspiegeln1: celledit(() => core.mirrormarked(false)),
    Markierungobenuntenspiegeln1: celledit(() => core.mirrormarked(true)),
    // "Suchen" starts with the tile under the pointer, else the left button's.
    Ersetzen1: () => {
      if (core.stroking()) return;
      const at = view.under();
      replacer.start(at ? core.replacefrom(at[0], at[1], buttons.left) : buttons.left, (w, h) => {
        const level = document.getElementById("PaintBox1")!.getBoundingClientRect();
        const frame = document.getElementById("Panel5")!;
        const box = frame.getBoundingClientRect();
        const seen = { x: Math.round(box.left + frame.clientLeft), y: Math.round(box.top + frame.clientTop),
          width: frame.clientWidth, height: frame.clientHeight };
        return core.replaceplace(w, h, view.tile, Math.round((level.width - 58 * view.tile) / 2),
          Math.round(level.left), Math.round(level.top), seen, innerWidth, innerHeight);
      });
    },
    Levelrand1: () => { viewoptions.edge = !viewoptions.edge; view.setoptions(viewoptions); keepview(); },
    Gitter1: () => { viewoptions.grid = !viewoptions.grid; view.setoptions(viewoptions); keepview(); },
    Vergrern1: () => zoom(1),
    Verkleinern1: () => zoom(-1),
    Levelkopieren1: levelcommand((answer) => {
      const done = core.copylevel(answer);
      if (done) say(text("levelcopied", String(core.levelnumber())));
      if (done) void system.write(true);
      return done;
    }),
    Leveleinfgen1: async () => {
      if (!busy) await system.read(true);
      await pastelevel();
    },
    Levelleeren1: levelcommand((answer) => core.emptylevel(answer)),
    Levelnachvorne1: levelmove(-1),
    Levelnachhinten1: levelmove(1),
    Ersetzenrckgngig1: guarded(async () => {
      if (core.undoreplaceinpack()) shown();
      else await showerror(text("replacegone"));
    }),
    Levelbersicht1: () => overview.setvisible(!overview.visible),
    Levelstatistik1: () => showstats(document.getElementById("LevelStats") as HTMLDialogElement, core, sheets),
    berTessaronLevelEditor1: () => (document.getElementById("about") as HTMLDialogElement).showModal(),
    // Unmarked infotrons count again.
    ToolButton1: () => { core.command(Command.draw); view.putbuffer(); fields.showcounter(); toolbuttons(); changed(); },
    ToolButton2: () => { core.command(Command.select); toolbuttons(); },
    ToolButton4: () => zoom(1),
    ToolButton5: () => zoom(-1),
    Hilfe1: () => help.show(),
  };
  const zoom = (by: number): void => {
    const next = core.zoomstep(view.tile, by);
    if (next === view.tile) return;
    view.settile(next);
    palette.settile(next);
    keepview();
  };
  for (const id of ["ToolButton1", "ToolButton2", "ToolButton4", "ToolButton5"])
    document.getElementById(id)!.addEventListener("click", () => void commands[id]());

  // What each item may do now, asked as its menu opens.
  const idle = (): boolean => !core.stroking();
  const when: Record<string, Omit<MenuItem, "run">> = {
    Rckgngig1: { enabled: () => idle() && core.canundo() },
    Wiederherstellen1: { enabled: () => idle() && core.canredo() },
    Einfgen1: { enabled: () => core.canpaste() || system.readable() },
    Zusammenhngendemarkieren1: { enabled: () => view.pointed !== null },
    Levelrand1: { checked: () => viewoptions.edge },
    Gitter1: { checked: () => viewoptions.grid },
    Vergrern1: { enabled: () => core.zoomstep(view.tile, 1) !== view.tile },
    Verkleinern1: { enabled: () => core.zoomstep(view.tile, -1) !== view.tile },
    Leveleinfgen1: { enabled: () => core.canpastelevel() || system.readable() },
    // Until it is taken back; refused with the reason once a level changed.
    Ersetzenrckgngig1: { enabled: () => core.replacedinpack() },
    Levelbersicht1: { checked: () => overview.visible },
  };
  const menubar = new MenuBar(document.getElementById("MainMenu1")!, Object.fromEntries(
    Object.entries(commands).map(([id, run]) => [id, { run, ...when[id] }])), (c) => core.accesskeys(c));

  const shortcuts: Record<string, string> = {
    "Ctrl+z": "Rckgngig1", "Ctrl+y": "Wiederherstellen1", "Ctrl+Shift+z": "Wiederherstellen1",
    "Ctrl+c": "Kopieren1", "Ctrl+v": "Einfgen1", "Ctrl+x": "Lschen2", "Delete": "Lschen1",
    "Ctrl+a": "Allesmarkieren1", "Ctrl+s": "Speichern1", "Ctrl+o": "Levelpackladen1", "F1": "Hilfe1",
    "Ctrl+g": "GleicheFeldermarkieren1", "Ctrl+r": "Zusammenhngendemarkieren1", "Ctrl+f": "Markierungfllen1",
    "Ctrl+h": "Ersetzen1", "F2": "Levelbersicht1",
  };
  document.addEventListener("keydown", (e) => {
    const t = e.target as HTMLElement;
    // Text fields keep their own editing keys.
    if (t instanceof HTMLInputElement && t.type === "text" && !["s", "o", "f2"].includes(e.key.toLowerCase())) return;
    if (busy || menubar.isopen() || document.querySelector("dialog[open]")) return;
    const combo = (e.ctrlKey || e.metaKey ? "Ctrl+" : "") + (e.shiftKey && e.key.length === 1 ? "Shift+" : "") +
      (e.key.length === 1 ? e.key.toLowerCase() : e.key);
    const id = shortcuts[combo];
    if (!id) return;
    // Copying, cutting and pasting run from the browser's events below; as
    // the menu items when a browser sends none.
    if (clipkeys.has(id)) {
      clipkey = id;
      setTimeout(() => { if (clipkey === id) void commands[id](); clipkey = ""; }, 0);
      return;
    }
    e.preventDefault();
    void commands[id]();
  });

  // Strg+C, Strg+X and Strg+V as the browser's own events, whose data is
  // the system clipboard; before* tells Chromium the page takes them even
  // with no text selected. Text fields keep their own; a paste from the
  // middle button (Linux's selection) is no key of ours.
  const clipkeys = new Set(["Kopieren1", "Lschen2", "Einfgen1"]);
  let clipkey = "";
  const clipevent = (e: ClipboardEvent): boolean => {
    const t = e.target as HTMLElement;
    if (t instanceof HTMLInputElement && t.type === "text" || t instanceof HTMLTextAreaElement) return false;
    if (!clipkey || busy || menubar.isopen() || document.querySelector("dialog[open]")) return false;
    e.preventDefault();
    if (!e.type.startsWith("before")) clipkey = "";
    return true;
  };
  for (const name of ["beforecopy", "beforecut", "beforepaste"]) document.addEventListener(name, (e) => clipevent(e as ClipboardEvent));
  document.addEventListener("copy", (e) => {
    if (!clipevent(e)) return;
    core.command(Command.copy);
    system.put(e.clipboardData, false);
  });
  document.addEventListener("cut", (e) => {
    if (!clipevent(e)) return;
    core.command(Command.cut);
    view.putbuffer();
    changed();
    system.put(e.clipboardData, false);
  });
  document.addEventListener("paste", (e) => {
    if (!clipevent(e)) return;
    system.take(e.clipboardData, false);
    core.command(Command.paste);
    view.putbuffer();
    changed();
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
      say(text("dropbusy"));
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
    say(text("restoredpack", name || text("restorednew")));
    return true;
  });
  showrecent();
  void updates.start();
  page.tessReady = true;
}

void main();
