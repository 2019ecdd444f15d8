// SPDX-License-Identifier: MIT
// Modal message boxes on the page: a question with buttons, and an error.

import { text } from "./texts";

export function ask(caption: string, message: string, buttons: string[]): Promise<number> {
  return new Promise((resolve) => {
    const dlg = document.createElement("dialog");
    dlg.className = "box";
    const h = document.createElement("h2");
    h.textContent = caption;
    const p = document.createElement("p");
    p.textContent = message;
    const row = document.createElement("div");
    row.className = "buttons";
    buttons.forEach((b, i) => {
      const btn = document.createElement("button");
      btn.textContent = b;
      btn.dataset.answer = String(i);
      btn.addEventListener("click", () => finish(i));
      row.append(btn);
    });
    const finish = (i: number): void => {
      dlg.close();
      dlg.remove();
      resolve(i);
    };
    // Escape counts as the last button (no, cancel).
    dlg.addEventListener("cancel", (e) => {
      e.preventDefault();
      finish(buttons.length - 1);
    });
    dlg.append(h, p, row);
    document.body.append(dlg);
    dlg.showModal();
    (row.firstElementChild as HTMLButtonElement).focus();
  });
}

// The yes/no question with caption "Bestätigung"; true only for yes.
export async function askyesno(message: string): Promise<boolean> {
  return (await ask(text("confirm"), message, [text("yes"), text("no")])) === 0;
}

export async function showerror(message: string): Promise<void> {
  await ask(text("error"), message, [text("ok")]);
}
