// SPDX-License-Identifier: MIT
// Levels to and from Tiled maps, the files the desktop editor writes and
// reads: the map with tiles.tsx and tiles.png beside it, into a folder the
// user picks where the browser has folders to give (Chromium), otherwise as
// three downloads; a picked map read by the core's reader.

import { Core } from "./core";
import { askyesno, showerror } from "./dialogs";
import { cancelled, download, FileHandle, writehandle } from "./files";
import { text } from "./texts";

interface FolderHandle {
  readonly kind: "directory";
  getFileHandle(name: string, options?: { create?: boolean }): Promise<FileHandle>;
}
interface FolderWindow {
  showDirectoryPicker?: (options: { id: string; mode: "readwrite"; startIn?: FolderHandle }) => Promise<FolderHandle>;
}

export interface MapHost {
  // The switch-limit question's answer for a store-back, asked when needed.
  storeanswer(): Promise<boolean>;
  shown(): void;
  say(message: string): void;
}

export class MapFiles {
  private folder: FolderHandle | undefined; // where the last export went, for the next picker

  constructor(private readonly core: Core, private readonly host: MapHost) {}

  // Stores the shown level back, as a level switch does, then writes its map.
  async exportlevel(): Promise<void> {
    if (this.core.stroking() || !this.core.storeback(await this.host.storeanswer())) return;
    this.host.shown();
    const level = this.core.levelnumber();
    const name = `${this.core.mapname(level - 1)}.tmx`;
    const files = async (): Promise<[string, Uint8Array][]> => [
      [name, this.core.writemap(level - 1)],
      ["tiles.tsx", this.core.writetileset()],
      // The sheet the page draws with is the one the desktop writes.
      ["tiles.png", new Uint8Array(await (await fetch("tiles.png")).arrayBuffer())],
    ];
    const picker = (window as unknown as FolderWindow).showDirectoryPicker;
    if (!picker) {
      for (const [file, bytes] of await files()) download(bytes, file);
      this.host.say(text("mapdownloaded", String(level), name));
      return;
    }
    let folder: FolderHandle;
    try {
      folder = await picker({ id: "tiled", mode: "readwrite", startIn: this.folder });
    } catch (e) {
      if (cancelled(e)) return;
      throw e;
    }
    const there = await folder.getFileHandle(name).then(() => true, () => false);
    if (there && !(await askyesno(text("mapreplace", name)))) return;
    try {
      for (const [file, bytes] of await files()) await writehandle(await folder.getFileHandle(file, { create: true }), bytes);
    } catch (e) {
      await showerror(text("notwritten", name, e instanceof Error ? e.message : String(e)));
      return;
    }
    this.folder = folder;
    this.host.say(text("mapexported", String(level), name));
  }

  // The map replaces the shown level, stored back first so that each
  // question is about one thing: the level as edited, then the map.
  async importfile(file: File): Promise<void> {
    let bytes: Uint8Array;
    try {
      // One byte past the limit is enough to tell a longer file.
      bytes = new Uint8Array(await file.slice(0, this.core.limits.maplen + 1).arrayBuffer());
    } catch (e) {
      await showerror(text("notread", file.name, e instanceof Error ? e.message : String(e)));
      return;
    }
    const map = this.core.readmap(bytes, file.name);
    if ("why" in map) {
      await showerror(map.why);
      return;
    }
    if (this.core.stroking() || !this.core.storeback(await this.host.storeanswer())) return;
    const level = String(this.core.levelnumber());
    if (this.core.mapasks(map.switches) &&
        !(await askyesno(text("mapswitches", file.name, level, String(map.switches), text("switchlimit"))))) {
      this.host.shown();
      return;
    }
    this.core.replacerecord(true);
    this.host.shown();
    this.host.say(text("mapimported", file.name, level));
  }
}
