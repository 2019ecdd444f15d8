// SPDX-License-Identifier: MIT
// The system clipboard: the editor's clipboard and the level clipboard go
// there in the core's text form, so that other tabs and the desktop editor
// paste them, and the text form found there is taken before pasting. Keys
// go through the copy, cut and paste events' data, which browsers hand over
// without asking; the menu items through navigator.clipboard, which may ask
// or refuse. Either way the tab's own clipboard keeps working.
//
// As in a new desktop window, what another tab or program left there is
// taken while the tab's own clipboard has not changed since the tab last had
// the focus; once it has (a copy, a cut, a dragged selection), it wins.

import { ClipText } from "./core";
import { text } from "./texts";

export class SystemClipboard {
  // The own clipboards' texts when the tab last lost the focus; null once
  // the tab copied since.
  private seen: [string | null, string | null];

  constructor(private readonly clip: ClipText, private readonly say: (message: string) => void) {
    this.seen = [clip.cells(), clip.level()];
    window.addEventListener("blur", () => { this.seen = [this.clip.cells(), this.clip.level()]; });
  }

  private own(level: boolean): string { return level ? this.clip.level() : this.clip.cells(); }
  private foreign(level: boolean): boolean { return this.seen[level ? 1 : 0] === this.own(level); }

  // After Strg+C or Strg+X: the cells into the event's data, none when none
  // were copied.
  put(data: DataTransfer | null, level: boolean): void {
    this.seen[level ? 1 : 0] = null;
    data?.setData("text/plain", this.own(level));
  }

  // Before Strg+V: the event's text form, if any, becomes the clipboard.
  take(data: DataTransfer | null, level: boolean): void {
    const t = data?.getData("text/plain");
    if (t && this.foreign(level)) this.clip.take(t, level);
  }

  // After a copy from the menu.
  async write(level: boolean): Promise<void> {
    this.seen[level ? 1 : 0] = null;
    const t = this.own(level);
    try {
      await navigator.clipboard.writeText(t);
    } catch {
      this.say(text("clipnowrite"));
    }
  }

  // Before a paste from the menu.
  async read(level: boolean): Promise<void> {
    if (!this.foreign(level)) return;
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
