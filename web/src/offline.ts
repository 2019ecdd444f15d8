// SPDX-License-Identifier: MIT
// Offline use and new versions: registers the service worker that keeps
// this build for visits without network, and offers a newer build once the
// browser has fetched it, only while nothing is unsaved. The running page is
// replaced only when the user says so.

import { text } from "./texts";

const hour = 3600 * 1000;

export class Updates {
  private waiting: ServiceWorker | null = null;
  private later = false;
  private readonly bar = document.createElement("div");

  // clean: whether the page holds no unsaved work.
  constructor(private readonly clean: () => boolean) {
    this.bar.id = "update";
    this.bar.setAttribute("role", "alert");
    this.bar.hidden = true;
    const say = document.createElement("span");
    say.textContent = text("newversion");
    const yes = document.createElement("button");
    yes.textContent = text("yes");
    yes.addEventListener("click", () => this.takeover());
    const no = document.createElement("button");
    no.textContent = text("later");
    no.addEventListener("click", () => { this.later = true; this.check(); });
    this.bar.append(say, yes, no);
    document.body.append(this.bar);
  }

  // Registers the worker (beside the page, so any folder works) and watches
  // for a new build; the browser looks at each visit, the page once an hour
  // and when the network comes back.
  async start(): Promise<void> {
    if (!("serviceWorker" in navigator) || !window.isSecureContext) return;
    const reg = await navigator.serviceWorker.register("sw.js").catch(() => undefined);
    if (!reg) return;
    const watch = (w: ServiceWorker | null): void => {
      if (!w) return;
      const look = (): void => {
        // Installed beside a running build: it waits for the page's word.
        if (w.state === "installed" && navigator.serviceWorker.controller) this.waiting = w;
        else if (this.waiting === w) this.waiting = null;
        this.check();
      };
      w.addEventListener("statechange", look);
      look();
    };
    watch(reg.waiting);
    watch(reg.installing);
    reg.addEventListener("updatefound", () => watch(reg.installing));
    const look = (): void => void reg.update().catch(() => undefined);
    setInterval(look, hour);
    window.addEventListener("online", look);
  }

  // Shows the offer while a new build waits and nothing is unsaved.
  check(): void {
    this.bar.hidden = !this.waiting || this.later || !this.clean();
  }

  private takeover(): void {
    const w = this.waiting;
    if (!w || !this.clean()) { this.check(); return; }
    // Reloads once the new build serves this page, not before.
    navigator.serviceWorker.addEventListener("controllerchange", () => location.reload(), { once: true });
    w.postMessage("takeover");
  }
}
