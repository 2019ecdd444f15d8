// SPDX-License-Identifier: MIT
// "Kurzanleitung" (F1): the desktop's guide from the same source, as the
// core words it for the page, rendered once when first opened.

import { marked } from "marked";
import guidesource from "../../ui/guide.md";
import { Core } from "./core";

export class HelpDialog {
  private rendered = false;

  constructor(private readonly core: Core, private readonly dlg: HTMLDialogElement) {}

  show(): void {
    if (!this.rendered) {
      // The source is the program's own; nothing in it comes from a user.
      const html = marked.parse(this.core.guide(guidesource), { async: false, gfm: true });
      this.dlg.querySelector(".guide")!.innerHTML = html;
      this.rendered = true;
    }
    this.dlg.showModal();
  }
}
