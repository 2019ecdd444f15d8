// SPDX-License-Identifier: MIT
// The system clipboard: the editor's clipboard and the level clipboard go
// there in the core's text form, so that other tabs and the desktop editor
// paste them, and the text form found there is taken before pasting. Keys
// go through the copy, cut and paste events' data, which browsers hand over
// without asking; the menu items through navigator.clipboard, which may ask
// or refuse. Either way the tab's own clipboard keeps working.

import { ClipText } from "./core";
import { text } from "./texts";

export class SystemClipboard {
  constructor(private readonly clip: ClipText, private readonly say: (message: string) => void) {}

  // After Strg+C or Strg+X: the cells into the event's data, if any.
  put(data: DataTransfer | null, level: boolean): void {
    const t = level ? this.clip.level() : this.clip.cells();
    if (t && data) data.setData("text/plain", t);
  }

  // Before Strg+V: the event's text form, if any, becomes the clipboard.
  take(data: DataTransfer | null, level: boolean): void {
    const t = data?.getData("text/plain");
    if (t) this.clip.take(t, level);
  }

  // After a copy from the menu.
  async write(level: boolean): Promise<void> {
    const t = level ? this.clip.level() : this.clip.cells();
    if (!t) return;
    try {
      await navigator.clipboard.writeText(t);
    } catch {
      this.say(text("clipnowrite"));
    }
  }

  // Before a paste from the menu.
  async read(level: boolean): Promise<void> {
    let t: string;
    try {
      t = await navigator.clipboard.readText();
    } catch {
      this.say(text("clipnoread"));
      return;
    }
    this.clip.take(t, level);
  }

  // Whether the menu may find something to paste beyond the tab's own.
  readable(): boolean { return typeof navigator.clipboard?.readText === "function"; }
}
