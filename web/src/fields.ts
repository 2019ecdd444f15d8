// SPDX-License-Identifier: MIT
// The property fields: level number with its spinner, title, infotrons
// needed with its spinner, gravity, and the infotron counter. The core holds
// the values; every edit is passed on at once.

import { Core, levelcount, titlelen } from "./core";

const byid = <T extends HTMLElement>(id: string): T => document.getElementById(id) as T;

// Latin-1 bytes of the title; a character Latin-1 cannot hold becomes '?'.
export function latin1(s: string): Uint8Array {
  return Uint8Array.from(Array.from(s).slice(0, titlelen), (c) => (c.charCodeAt(0) <= 0xff && c.length === 1 ? c.charCodeAt(0) : 0x3f));
}

export class Fields {
  readonly level = byid<HTMLInputElement>("Edit1");
  readonly title = byid<HTMLInputElement>("Edit2");
  readonly infotrons = byid<HTMLInputElement>("Edit3");
  readonly gravity = byid<HTMLInputElement>("CheckBox1");
  readonly counter = byid<HTMLElement>("Label4");
  private infotronsvalue = 0; // the spinner's position
  // The title as the level holds it until the user edits the field: an
  // input element drops CR and LF, which a record's title may hold.
  private titlebytes: Uint8Array = new Uint8Array();

  constructor(private readonly core: Core, private readonly changed: () => void,
              private readonly switchto: (number: number) => void) {
    const stepper = (input: HTMLInputElement, step: (by: number) => void): void => {
      input.addEventListener("keydown", (e) => {
        if (e.key === "ArrowUp" || e.key === "ArrowDown") {
          e.preventDefault();
          step(e.key === "ArrowUp" ? 1 : -1);
        }
      });
    };
    const levelstep = (by: number): void => this.switchto(this.shownnumber() + by);
    stepper(this.level, levelstep);
    this.level.addEventListener("keydown", (e) => {
      if (e.key === "Enter") this.switchto(this.shownnumber());
    });
    byid("UpDown1Up").addEventListener("click", () => levelstep(1));
    byid("UpDown1Down").addEventListener("click", () => levelstep(-1));

    const infostep = (by: number): void => {
      this.takeinfotrons();
      this.setinfotrons(Math.min(255, Math.max(0, this.infotronsvalue + by)));
      this.push();
    };
    stepper(this.infotrons, infostep);
    byid("UpDown2Up").addEventListener("click", () => infostep(1));
    byid("UpDown2Down").addEventListener("click", () => infostep(-1));
    // Typing takes nothing over: "300" typed after 0 passes 3 and 30, and
    // still stores 0.
    this.infotrons.addEventListener("input", () => this.push());
    this.title.maxLength = titlelen;
    this.title.addEventListener("input", () => {
      const bytes = latin1(this.title.value);
      const shown = String.fromCharCode(...bytes);
      if (shown !== this.title.value) this.title.value = shown;
      this.titlebytes = bytes;
      this.push();
    });
    // A field left after an edit, or the gravity box clicked, is one undo step.
    const commit = (): void => { if (this.core.commitfields()) this.changed(); };
    this.gravity.addEventListener("change", () => { this.push(); commit(); });
    this.title.addEventListener("change", commit);
    this.infotrons.addEventListener("change", commit);
  }

  private shownnumber(): number {
    const n = Number.parseInt(this.level.value, 10);
    return Number.isNaN(n) ? this.core.levelnumber() : n;
  }

  // The number typed when it lies within 0..255, else the spinner's position.
  private typedinfotrons(): number {
    const t = this.infotrons.value.trim();
    return /^\d+$/.test(t) && Number(t) <= 255 ? Number(t) : this.infotronsvalue;
  }

  // A step starts from the number typed, which the spinner takes over.
  private takeinfotrons(): void {
    this.infotronsvalue = this.typedinfotrons();
  }

  private setinfotrons(v: number): void {
    this.infotronsvalue = v;
    this.infotrons.value = String(v);
  }

  push(): void {
    this.core.setfields(this.typedinfotrons(), this.gravity.checked, this.titlebytes);
    this.changed();
  }

  // Shows what the core holds after a level was selected.
  show(): void {
    this.level.value = String(this.core.levelnumber());
    this.titlebytes = this.core.title();
    this.title.value = String.fromCharCode(...this.titlebytes);
    this.setinfotrons(this.core.infotrons());
    this.gravity.checked = this.core.gravity();
    this.showcounter();
  }

  showcounter(): void {
    this.counter.textContent = this.core.counter();
  }

  // After a refused switch the field shows the current level again.
  showlevel(): void {
    this.level.value = String(this.core.levelnumber());
  }
}

export { levelcount };
