// SPDX-License-Identifier: MIT
// The property fields: level number with its spinner, title, infotrons
// needed with its spinner, gravity, and the infotron counter. The core holds
// the values; every edit is passed on at once.

import { Core } from "./core";

const byid = <T extends HTMLElement>(id: string): T => document.getElementById(id) as T;
const latin1text = (bytes: Uint8Array): string => String.fromCharCode(...bytes);

export class Fields {
  readonly level = byid<HTMLInputElement>("Edit1");
  readonly title = byid<HTMLInputElement>("Edit2");
  readonly infotrons = byid<HTMLInputElement>("Edit3");
  readonly gravity = byid<HTMLInputElement>("CheckBox1");
  readonly counter = byid<HTMLElement>("Label4");
  private infotronsvalue = 0; // the spinner's position

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

    // A step starts from the number typed, which the spinner takes over.
    const infostep = (by: number): void => {
      this.setinfotrons(this.core.infotronsvalue(this.infotrons.value, this.infotronsvalue, by));
      this.push();
    };
    stepper(this.infotrons, infostep);
    byid("UpDown2Up").addEventListener("click", () => infostep(1));
    byid("UpDown2Down").addEventListener("click", () => infostep(-1));
    // Typing takes nothing over: "300" typed after 0 passes 3 and 30, and
    // still stores 0.
    this.infotrons.addEventListener("input", () => this.push());
    // The core holds the title as the level does until the field is edited:
    // an input element drops CR and LF, which a record's title may hold.
    this.title.maxLength = core.limits.titlelen;
    this.title.addEventListener("input", () => {
      this.core.settitle(this.title.value);
      const shown = latin1text(this.core.title());
      if (shown !== this.title.value) this.title.value = shown;
      this.changed();
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

  private setinfotrons(v: number): void {
    this.infotronsvalue = v;
    this.infotrons.value = String(v);
  }

  push(): void {
    this.core.setfields(this.core.infotronsvalue(this.infotrons.value, this.infotronsvalue, 0), this.gravity.checked);
    this.changed();
  }

  // Shows what the core holds after a level was selected.
  show(): void {
    this.level.value = String(this.core.levelnumber());
    this.title.value = latin1text(this.core.title());
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
