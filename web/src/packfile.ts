// SPDX-License-Identifier: MIT
// The pack's file as a desktop user expects it: "Levelpack laden" asks about
// unsaved work before the picker and keeps the picked file; Strg+S writes
// back into it, unless another program changed it meanwhile or the user
// says no; a browser without such files downloads under the pack's name. The
// status bar names the file and whether it is changed.

import { Core } from "./core";
import { ask, askyesno, showerror } from "./dialogs";
import { cansave, canopen, download, FileHandle, permitted, pickopen, picksave, readpack, refused,
  writehandle } from "./files";
import { recentfiles, remember } from "./recent";
import { text } from "./texts";


export interface PackHost {
  // The switch-limit question where a store-back would ask it; the answer.
  storeanswer(): Promise<boolean>;
  // A pack was loaded: show it.
  opened(): void;
  // The unsaved state may have changed.
  changed(): void;
  // A message in the status bar.
  say(message: string): void;
  // The page's own file input, for browsers without an open picker.
  input: HTMLInputElement;
}

export class PackFile {
  name = text("newpackfile"); // the name a new pack is saved under until it has a file
  private fresh = true; // a new pack, never saved
  private handle: FileHandle | undefined;
  private seen = { size: 0, modified: 0 }; // the file when last loaded or saved

  constructor(private readonly core: Core, private readonly host: PackHost) {}

  // A new pack, or work recovered under name (empty for a new pack): no file
  // to write into yet.
  reset(name = ""): void {
    this.name = name || text("newpackfile");
    this.fresh = !name;
    this.handle = undefined;
  }

  // The name the journal keeps: empty for a new pack, which has no file yet.
  get keptname(): string { return this.fresh ? "" : this.name; }

  // The unsaved-work question; true when the caller may go on (saved or discarded).
  async maybesave(): Promise<boolean> {
    if (!this.core.unsaved()) return true;
    const answer = await ask(text("confirm"), text("unsaved"), [text("save"), text("discard"), text("cancel")]);
    return answer === 0 ? this.quicksave() : answer === 1;
  }

  // "Levelpack laden": the question first, then the picker.
  async pickandload(): Promise<void> {
    if (!(await this.maybesave())) return;
    if (!canopen()) { this.host.input.click(); return; }
    const handle = await this.gesture(text("open"), pickopen);
    if (handle) await this.loadhandle(handle);
  }

  // Opens a kept file, after the question.
  async openrecent(handle: FileHandle): Promise<void> {
    if (!(await this.maybesave())) return;
    await this.loadhandle(handle);
  }

  private async loadhandle(handle: FileHandle): Promise<void> {
    const allowed = await this.gesture(text("open"), () => permitted(handle, "read"));
    if (allowed === null) return;
    if (!allowed) { await showerror(text("nopermissionread", handle.name)); return; }
    let file: File;
    try {
      file = await handle.getFile();
    } catch (e) {
      await showerror(text("notread", handle.name, e instanceof Error ? e.message : String(e)));
      return;
    }
    await this.load(file, handle, false);
  }

  // Loads a picked or dropped file; with askfirst, the unsaved-work question
  // comes once the file is known to be a pack.
  async load(file: File, handle: FileHandle | undefined, askfirst: boolean): Promise<void> {
    const result = await readpack(this.core, file);
    if (typeof result === "string") { await showerror(result); return; }
    if (askfirst && !(await this.maybesave())) return;
    this.core.openpack(result);
    this.reset(file.name);
    this.fresh = false;
    this.handle = handle;
    this.seen = { size: file.size, modified: file.lastModified };
    this.host.opened();
    this.host.say(text("loaded", file.name));
    if (handle) void remember(handle);
    const longer = this.core.packwarning(file.size);
    if (longer) await ask(text("note"), text("loadedlonger", file.name, longer), [text("ok")]);
  }

  // Strg+S: into the pack's own file; a new pack, or one whose file the
  // page may not write, through "Levelpack speichern".
  async quicksave(): Promise<boolean> {
    if (this.fresh || (!this.handle && cansave())) return this.saveas();
    if (!(await this.storeback())) return false;
    if (!this.handle) return this.downloaded(this.core.packbytes());
    if (!(await this.overwriteok(this.handle))) return false;
    return this.write(this.handle);
  }

  // "Levelpack speichern": a name first, then the level list if wanted.
  async saveas(): Promise<boolean> {
    if (!(await this.storeback())) return false;
    if (!cansave()) {
      this.downloaded(this.core.packbytes());
    } else {
      const handle = await this.gesture(text("save"), () => picksave(this.name, this.handle));
      if (!handle) return false;
      const same = this.handle !== undefined && await this.handle.isSameEntry(handle);
      if (same && !(await this.overwriteok(handle))) return false;
      if (!(await this.write(handle))) return false;
    }
    if (await askyesno(text("levellist"))) await this.savelist();
    return true;
  }

  private async storeback(): Promise<boolean> {
    return this.core.storeback(await this.host.storeanswer());
  }

  // The desktop's questions before writing into a file: changed by another
  // program since, or longer than a pack (the rest would be cut).
  private async overwriteok(handle: FileHandle): Promise<boolean> {
    let now: File;
    try {
      now = await handle.getFile();
    } catch {
      return true; // gone: writing makes it again
    }
    if ((now.size !== this.seen.size || now.lastModified !== this.seen.modified) &&
        !(await askyesno(text("changedondisk", handle.name)))) return false;
    const packlen = this.core.limits.packlen;
    return now.size <= packlen || askyesno(text("cutquestion", handle.name, String(now.size - packlen)));
  }

  private async write(handle: FileHandle): Promise<boolean> {
    const allowed = await this.gesture(text("save"), () => permitted(handle, "readwrite"));
    if (allowed === null) return false;
    if (!allowed) { await showerror(text("nopermissionwrite", handle.name)); return false; }
    let file: File;
    try {
      file = await writehandle(handle, this.core.packbytes());
    } catch (e) {
      await showerror(text("notwritten", handle.name, e instanceof Error ? e.message : String(e)));
      return false;
    }
    this.handle = handle;
    this.name = handle.name;
    this.fresh = false;
    this.seen = { size: file.size, modified: file.lastModified };
    this.core.marksaved();
    this.host.changed();
    this.host.say(text("saved", handle.name));
    void remember(handle);
    return true;
  }

  private downloaded(bytes: Uint8Array): boolean {
    download(bytes, this.name);
    this.fresh = false;
    this.core.marksaved();
    this.host.changed();
    this.host.say(text("downloaded", this.name));
    return true;
  }

  // The level list under the pack's name with .lst, through one save dialog
  // that starts beside the pack, or as a download.
  private async savelist(): Promise<void> {
    const name = this.core.listname(this.name);
    if (!cansave()) {
      download(this.core.levellist(), name);
      this.host.say(text("downloaded", `${this.name}, ${name}`));
      return;
    }
    const handle = await this.gesture(text("save"), () => picksave(name, this.handle));
    if (!handle) return;
    try {
      await writehandle(handle, this.core.levellist());
      this.host.say(text("savedlist", this.name, handle.name));
    } catch (e) {
      await showerror(text("notwritten", handle.name, e instanceof Error ? e.message : String(e)));
    }
  }

  // Runs a step that opens a picker or asks a permission. When the browser
  // refuses it for want of a click just before, says so and offers one
  // button (label) that runs it again on its click. null when not run.
  private async gesture<T>(label: string, step: () => Promise<T>): Promise<T | null> {
    for (;;) {
      try {
        return await step();
      } catch (e) {
        if (!refused(e)) {
          await showerror(text("pickfailed", e instanceof Error ? e.message : String(e)));
          return null;
        }
        if (await ask(text("note"), text("refused", label), [label, text("cancel")]) !== 0) return null;
      }
    }
  }

  // The status bar's file part: the name, "– geändert" while unsaved; the
  // tooltip says whether all is saved.
  showstate(el: HTMLElement): void {
    const changed = this.core.unsaved();
    const name = this.fresh ? "" : this.name;
    el.textContent = this.core.packstate(name, changed);
    el.title = this.core.packstatetip(name, changed);
  }

  // Fills the "Zuletzt geöffnet" part of the file menu; hidden when empty.
  async showrecent(el: HTMLElement, open: (h: FileHandle) => void): Promise<void> {
    const list = canopen() ? await recentfiles() : [];
    el.hidden = list.length === 0;
    el.replaceChildren();
    if (!list.length) return;
    const head = document.createElement("div");
    head.className = "head";
    head.textContent = text("Zuletztgeffnet1");
    el.append(document.createElement("hr"), head);
    list.forEach((h, i) => {
      const b = document.createElement("button");
      b.textContent = `${i + 1} ${h.name}`;
      b.addEventListener("click", () => open(h));
      el.append(b);
    });
  }
}
