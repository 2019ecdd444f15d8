// SPDX-License-Identifier: MIT
// The menu bar, used as a desktop menu bar is: a click or Alt with a menu's
// underlined letter opens it; arrows move through the items and between the
// menus, Enter runs the item, Escape closes, an item's underlined letter runs
// it. What an item may do right now is asked each time its menu opens. The
// access keys are the desktop's: the core makes them unique within a menu,
// counting the desktop's items a page has no use for (hidden placeholders).

import { rawtext } from "./texts";

export interface MenuItem {
  run: () => void | Promise<void>;
  enabled?: () => boolean;
  checked?: () => boolean;
}

// Fills el with caption, its access key underlined; the key, lower case.
function showcaption(el: HTMLElement, caption: string, shortcut?: string): string {
  el.textContent = "";
  const k = caption.search(/&[^&]/);
  const label = document.createElement("span");
  label.className = "label";
  if (k < 0) label.textContent = caption;
  else {
    const u = document.createElement("u");
    u.textContent = caption[k + 1];
    label.append(caption.slice(0, k), u, caption.slice(k + 2));
  }
  el.append(label);
  if (shortcut) {
    const s = document.createElement("span");
    s.className = "shortcut";
    s.textContent = shortcut;
    el.append(s);
  }
  return k < 0 ? "" : caption[k + 1].toLowerCase();
}

// The letter or digit of a key event, lower case, whatever Alt makes of it.
function keyletter(e: KeyboardEvent): string {
  if (/^Key[A-Z]$/.test(e.code)) return e.code.slice(3).toLowerCase();
  if (/^Digit\d$/.test(e.code)) return e.code.slice(5);
  return e.key.length === 1 ? e.key.toLowerCase() : "";
}

export class MenuBar {
  private readonly menus: HTMLElement[];
  private readonly titlekeys = new Map<HTMLElement, string>();
  private readonly itemkeys = new Map<HTMLElement, string>();
  private opened: HTMLElement | null = null;
  private focusbefore: HTMLElement | null = null;

  constructor(bar: HTMLElement, private readonly items: Record<string, MenuItem>,
              accesskeys: (captions: string[]) => string[]) {
    this.menus = [...bar.querySelectorAll<HTMLElement>(".menu")];
    for (const m of this.menus) {
      const title = m.querySelector<HTMLElement>(".menutitle")!;
      title.setAttribute("aria-haspopup", "menu");
      this.titlekeys.set(m, showcaption(title, rawtext(title.dataset.caption!)));
      const entries = [...m.querySelectorAll<HTMLElement>(".items > [data-caption]")];
      const shown = accesskeys(entries.map((b) => rawtext(b.dataset.caption!)));
      entries.forEach((b, i) => {
        if (b.tagName !== "BUTTON") return;
        b.setAttribute("role", b.getAttribute("role") ?? "menuitem");
        this.itemkeys.set(b, showcaption(b, shown[i], b.dataset.shortcut));
      });
      // Items, and the recent files listed among them, close the menu first.
      const list = m.querySelector<HTMLElement>(".items")!;
      list.addEventListener("click", (e) => {
        const b = (e.target as HTMLElement).closest("button");
        if (!b || b.disabled) return;
        this.close();
        const item = this.items[b.id];
        if (item) void item.run();
      });
      list.addEventListener("mouseover", (e) => {
        const b = (e.target as HTMLElement).closest("button");
        if (b && !b.disabled) b.focus();
      });
      title.addEventListener("mousedown", (e) => {
        e.preventDefault(); // the focus stays where it was until an item is chosen
        if (this.opened === m) this.close();
        else this.open(m, false);
      });
      // With a menu open, the pointer moves it to the next title, as on a desktop.
      title.addEventListener("mouseenter", () => { if (this.opened && this.opened !== m) this.open(m, false); });
    }
    document.addEventListener("mousedown", (e) => {
      if (this.opened && !this.opened.contains(e.target as Node)) this.close();
    });
    window.addEventListener("blur", () => this.close());
    // Before the page's shortcuts: an open menu takes every key.
    document.addEventListener("keydown", (e) => this.key(e), true);
  }

  isopen(): boolean { return this.opened !== null; }

  // Shows whether each item of the open menu may run and is checked.
  private refresh(m: HTMLElement): void {
    for (const b of m.querySelectorAll<HTMLButtonElement>(".items > button[id]")) {
      const item = this.items[b.id];
      if (!item) continue;
      b.disabled = item.enabled ? !item.enabled() : false;
      if (item.checked) b.setAttribute("aria-checked", String(item.checked()));
    }
  }

  private open(m: HTMLElement, withkeys: boolean): void {
    if (!this.opened) this.focusbefore = document.activeElement as HTMLElement | null;
    this.opened?.classList.remove("open");
    this.opened = m;
    this.refresh(m);
    m.classList.add("open");
    if (withkeys) this.enabled(m)[0]?.focus();
  }

  close(): void {
    if (!this.opened) return;
    this.opened.classList.remove("open");
    this.opened = null;
    const back = this.focusbefore;
    this.focusbefore = null;
    if (back && back !== document.body && back.isConnected) back.focus();
    else (document.activeElement as HTMLElement | null)?.blur();
  }

  private enabled(m: HTMLElement): HTMLButtonElement[] {
    return [...m.querySelectorAll<HTMLButtonElement>(".items button")].filter((b) => !b.disabled && !b.closest("[hidden]"));
  }

  private choose(b: HTMLButtonElement): void {
    if (!b.disabled) b.click();
  }

  private key(e: KeyboardEvent): void {
    const m = this.opened;
    if (!m) {
      // Alt with a menu's letter opens it; nothing else is the bar's.
      if (!e.altKey || e.ctrlKey || e.metaKey || document.querySelector("dialog[open]")) return;
      const letter = keyletter(e);
      const menu = this.menus.find((x) => letter && this.titlekeys.get(x) === letter);
      if (!menu) return;
      e.preventDefault();
      e.stopPropagation();
      this.open(menu, true);
      return;
    }
    e.preventDefault();
    e.stopPropagation();
    const list = this.enabled(m);
    const at = list.indexOf(document.activeElement as HTMLButtonElement);
    const step = (by: number): void => {
      if (list.length) list[(at + by + list.length + (at < 0 && by < 0 ? 1 : 0)) % list.length].focus();
    };
    const next = (by: number): void =>
      this.open(this.menus[(this.menus.indexOf(m) + by + this.menus.length) % this.menus.length], true);
    switch (e.key) {
    case "ArrowDown": step(1); return;
    case "ArrowUp": step(-1); return;
    case "ArrowRight": next(1); return;
    case "ArrowLeft": next(-1); return;
    case "Home": list[0]?.focus(); return;
    case "End": list[list.length - 1]?.focus(); return;
    case "Escape": this.close(); return;
    case "Tab": next(e.shiftKey ? -1 : 1); return;
    case "Enter":
    case " ":
      if (at >= 0) this.choose(list[at]);
      return;
    }
    if (e.key === "Alt" || e.key === "Shift" || e.key === "Control") return;
    const letter = keyletter(e);
    if (e.altKey) {
      const menu = this.menus.find((x) => letter && this.titlekeys.get(x) === letter);
      if (menu) { this.open(menu, true); return; }
    }
    const item = list.find((b) => letter && this.itemkeys.get(b) === letter);
    if (item) this.choose(item);
  }
}
