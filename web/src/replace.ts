// SPDX-License-Identifier: MIT
// The replace dialog: "Suchen" and "Ersetzen durch" as lists of tile
// pictures with code and name, the scope (the marks, the shown level, all
// 111 levels), what replacing would change before it runs, and "Rückgängig".
// The counts and the replace itself are the core's.

import { Core, ReplaceCount, ReplaceScope } from "./core";
import { drawtile, sizecanvas, TileSheets } from "./tiles";
import { text, tilename } from "./texts";

const itemcount = 44;
const picture = 32;

const byid = <T extends HTMLElement>(id: string): T => document.getElementById(id) as T;

// The cells and, for all levels, the levels of a count, in words.
export function replacetext(n: ReplaceCount, scope: ReplaceScope): string {
  let t = n.cells === 1 ? text("onecell") : text("cells", String(n.cells));
  if (scope === ReplaceScope.pack) t += n.levels === 1 ? text("inonelevel") : text("inlevels", String(n.levels));
  return t;
}

// One tile list: a button showing the chosen tile that opens the list of all.
class TileChoice {
  value = -1;
  private readonly current: HTMLButtonElement;
  private readonly list: HTMLElement;
  private readonly options: HTMLElement[] = [];

  constructor(box: HTMLElement, private readonly sheets: TileSheets, private readonly placeholder: string,
              private readonly changed: () => void) {
    this.current = document.createElement("button");
    this.current.className = "current";
    this.current.type = "button";
    this.current.setAttribute("aria-haspopup", "listbox");
    this.list = document.createElement("div");
    this.list.className = "list";
    this.list.setAttribute("role", "listbox");
    this.list.hidden = true;
    for (let code = 0; code < itemcount; ++code) {
      const o = this.entry(code);
      o.setAttribute("role", "option");
      o.dataset.code = String(code);
      o.addEventListener("click", () => { this.set(code); this.fold(); this.current.focus(); });
      this.options.push(o);
      this.list.append(o);
    }
    box.append(this.current, this.list);
    this.current.addEventListener("click", () => (this.list.hidden ? this.unfold() : this.fold()));
    this.current.addEventListener("keydown", (e) => this.key(e));
    this.list.addEventListener("keydown", (e) => this.key(e));
    document.addEventListener("mousedown", (e) => { if (!box.contains(e.target as Node)) this.fold(); });
    this.show();
  }

  // A row: the tile's picture, its code and name.
  private entry(code: number): HTMLElement {
    const row = document.createElement("div");
    row.className = "tile";
    const c = document.createElement("canvas");
    const ctx = c.getContext("2d")!;
    sizecanvas(c, ctx, picture, picture);
    drawtile(ctx, this.sheets, code, false, 0, 0, picture);
    const label = document.createElement("span");
    label.textContent = `${code}  ${tilename(code)}`;
    row.append(c, label);
    return row;
  }

  set(code: number): void {
    if (code === this.value) return;
    this.value = code;
    this.show();
    this.changed();
  }

  // Without a change: a new start of the dialog.
  reset(code: number): void {
    this.value = code;
    this.show();
  }

  private show(): void {
    this.current.textContent = "";
    if (this.value < 0) {
      const span = document.createElement("span");
      span.className = "placeholder";
      span.textContent = this.placeholder;
      this.current.append(span);
    } else {
      this.current.append(this.entry(this.value));
    }
    this.options.forEach((o, i) => o.setAttribute("aria-selected", String(i === this.value)));
  }

  fold(): void { this.list.hidden = true; }
  isunfolded(): boolean { return !this.list.hidden; }

  private unfold(): void {
    this.list.hidden = false;
    this.options[Math.max(0, this.value)].scrollIntoView({ block: "nearest" });
  }

  // Up and Down step through the tiles, folded or not; Enter or Escape fold.
  private key(e: KeyboardEvent): void {
    const by = e.key === "ArrowDown" ? 1 : e.key === "ArrowUp" ? -1 : e.key === "PageDown" ? 8 :
      e.key === "PageUp" ? -8 : 0;
    if (by && e.altKey && !this.isunfolded()) {
      e.preventDefault();
      this.unfold();
    } else if (by) {
      e.preventDefault();
      this.set(Math.min(itemcount - 1, Math.max(0, this.value + by)));
      if (this.isunfolded()) this.options[this.value].scrollIntoView({ block: "nearest" });
    } else if ((e.key === "Enter" || e.key === "Escape") && this.isunfolded()) {
      e.preventDefault();
      e.stopPropagation();
      this.fold();
    }
  }
}

export interface ReplaceHost {
  // The reply to the switch-limit question, asked when a store-back would.
  storeanswer: () => Promise<boolean>;
  // After the level or the pack changed.
  replaced: () => void;
  // Undo in the shown level; false when there was nothing to take back.
  undo: () => boolean;
  say: (message: string) => void;
}

export class ReplaceDialog {
  private readonly dlg = byid<HTMLDialogElement>("ReplaceDialog");
  private readonly find: TileChoice;
  private readonly by: TileChoice;
  private readonly scopes = [byid<HTMLInputElement>("RadioButton1"), byid<HTMLInputElement>("RadioButton2"),
    byid<HTMLInputElement>("RadioButton3")];
  private readonly label = byid<HTMLElement>("ReplaceLabel1");
  private readonly replacebutton = byid<HTMLButtonElement>("ReplaceButton1");
  private readonly undobutton = byid<HTMLButtonElement>("ReplaceButton2");
  private lastscope = ReplaceScope.level;
  private running = false;

  constructor(private readonly core: Core, sheets: TileSheets, private readonly host: ReplaceHost) {
    this.find = new TileChoice(byid("ComboBox1"), sheets, "", () => this.recount());
    this.by = new TileChoice(byid("ComboBox2"), sheets, text("replacechoose"), () => this.recount());
    for (const r of this.scopes) r.addEventListener("change", () => this.recount());
    this.replacebutton.addEventListener("click", () => void this.run());
    this.undobutton.addEventListener("click", () => this.takeback());
    byid("ReplaceButton3").addEventListener("click", () => this.dlg.close());
    // Escape folds an open list before it closes the dialog.
    this.dlg.addEventListener("cancel", (e) => {
      if (this.find.isunfolded() || this.by.isunfolded() || this.running) {
        e.preventDefault();
        this.find.fold();
        this.by.fold();
      }
    });
    // Enter runs "Ersetzen", the default button, unless a list takes it.
    this.dlg.addEventListener("keydown", (e) => {
      const t = e.target as HTMLElement;
      if (e.key === "Enter" && !t.closest(".tilechoice") && t.tagName !== "BUTTON") {
        e.preventDefault();
        void this.run();
      }
    });
  }

  // Opens with from in "Suchen", nothing chosen to replace it by, and the
  // marks as the scope when there are any, else the shown level. beside
  // says where a dialog of that size keeps clear of the marks in sight;
  // without any it opens in the middle, as dialogs do.
  start(from: number, beside: (width: number, height: number) => [number, number] | null): void {
    const anymarked = this.core.anymarked();
    this.find.reset(from);
    this.by.reset(-1);
    this.scopes[0].disabled = !anymarked;
    this.scopes[anymarked ? 0 : 1].checked = true;
    this.undobutton.disabled = true;
    this.recount();
    Object.assign(this.dlg.style, { margin: "", left: "", top: "" });
    this.dlg.showModal();
    this.find.fold();
    this.by.fold();
    const size = this.dlg.getBoundingClientRect();
    const at = beside(Math.ceil(size.width), Math.ceil(size.height));
    if (at) Object.assign(this.dlg.style, { margin: "0", left: `${at[0]}px`, top: `${at[1]}px` });
  }

  private scope(): ReplaceScope {
    return this.scopes[0].checked ? ReplaceScope.marked : this.scopes[2].checked ? ReplaceScope.pack : ReplaceScope.level;
  }

  private recount(): void {
    if (this.by.value < 0) {
      this.label.textContent = text("replacepick");
      this.replacebutton.disabled = true;
      return;
    }
    const scope = this.scope();
    const n = this.core.replacecount(this.find.value, this.by.value, scope);
    let t = n.cells ? text("replacewill", replacetext(n, scope)) : text("replacenothing");
    if (n.skipped) t += text("replaceskipped", String(n.skipped));
    this.label.textContent = t;
    this.replacebutton.disabled = n.cells === 0;
  }

  private async run(): Promise<void> {
    if (this.running || this.by.value < 0 || this.replacebutton.disabled) return;
    this.running = true;
    try {
      const scope = this.scope();
      const answer = scope === ReplaceScope.pack ? await this.host.storeanswer() : false;
      const n = this.core.replace(this.find.value, this.by.value, scope, answer);
      this.lastscope = scope;
      this.host.replaced();
      this.host.say(text("replaced", replacetext(n, scope)));
      this.label.textContent = text("replacedone", replacetext(n, scope));
      this.replacebutton.disabled = true;
      this.undobutton.disabled = n.cells === 0;
    } finally {
      this.running = false;
    }
  }

  private takeback(): void {
    const undone = this.lastscope === ReplaceScope.pack ? this.core.undoreplaceinpack() : this.host.undo();
    if (undone) this.host.replaced();
    this.undobutton.disabled = true;
    this.recount();
    this.label.textContent = (undone ? text("replaceundone") : text("replacenotundone")) + this.label.textContent;
  }
}
