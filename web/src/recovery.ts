// SPDX-License-Identifier: MIT
// Recovery: each tab keeps its unsaved work in IndexedDB under a key of its
// own (the core's recovery journal: the pack as a save would write it, the
// saved image, the shown level and the file name), at most a moment after each change and
// once more when the page goes away. A tab holds a Web Lock named after its
// key for as long as it lives, so the work of a tab still open is never
// offered elsewhere; what no living tab holds is offered at the next start.

import { Core, JournalInfo } from "./core";
import { ask, askyesno, showerror } from "./dialogs";
import { text } from "./texts";

// A record as the page kept its work before it kept journals.
interface OldWork { bytes: Uint8Array; level: number; name: string; time: number }
interface Found { key: string; journal: Uint8Array; work: JournalInfo; release: () => void }

const dbname = "tessaron-level-editor";
const workstore = "work";
const asidestore = "beiseite";
const lockname = (key: string): string => `tessaron-tab-${key}`;

// The reason the status bar gives when nothing can be kept.
function reason(e: unknown): string {
  const name = e instanceof DOMException ? e.name : "";
  if (name === "QuotaExceededError") return text("storagefull");
  if (name === "InvalidStateError" || name === "SecurityError") return text("nostorage");
  const said = e instanceof Error ? e.message : String(e);
  return text("storagerefuses", said || name);
}

// The status bar's line while recovery is off; empty text removes it.
function shownotice(why: string): void {
  let el = document.getElementById("recoverynotice");
  if (!why) { el?.remove(); return; }
  if (!el) {
    el = document.createElement("footer");
    el.id = "recoverynotice";
    el.title = text("recoveryofftip");
    document.getElementById("status")!.after(el);
  }
  el.textContent = text("recoveryoff", why);
}

function opendb(): Promise<IDBDatabase> {
  return new Promise((resolve, reject) => {
    if (typeof indexedDB === "undefined") { reject(new DOMException(text("nostorage"), "InvalidStateError")); return; }
    const req = indexedDB.open(dbname, 2);
    req.onupgradeneeded = () => {
      for (const name of [workstore, asidestore])
        if (!req.result.objectStoreNames.contains(name)) req.result.createObjectStore(name);
    };
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}

// A transaction over one store, started and committed in the calling task,
// so that a write asked for while the page goes away is already on its way.
function run(db: IDBDatabase, stores: string[], op: (tx: IDBTransaction) => void): Promise<void> {
  return new Promise((resolve, reject) => {
    const tx = db.transaction(stores, "readwrite", { durability: "strict" });
    op(tx);
    tx.commit?.();
    tx.oncomplete = () => resolve();
    tx.onerror = tx.onabort = () => reject(tx.error ?? new DOMException("", "AbortError"));
  });
}

// The journal a kept record holds, or why it holds none.
function journalof(core: Core, w: unknown): Uint8Array | string {
  if (w instanceof Uint8Array) return w;
  if (typeof w !== "object" || w === null) return text("recordnodata");
  const k = w as Partial<OldWork>;
  if (!(k.bytes instanceof Uint8Array)) return text("recordnopack");
  if (typeof k.name !== "string" || typeof k.time !== "number") return text("recordnametime");
  // Such a record named a new pack by the name it is saved under.
  return core.keptjournal(k.bytes, Number.isInteger(k.level) ? k.level! : -1, k.time,
    k.name === text("newpackfile") ? "" : k.name);
}

const stamp = (time: number): string => {
  const d = new Date(time);
  const two = (n: number): string => String(n).padStart(2, "0");
  return text("when", `${two(d.getDate())}.${two(d.getMonth() + 1)}.${d.getFullYear()}`,
    `${two(d.getHours())}:${two(d.getMinutes())}:${two(d.getSeconds())}`);
};

// A work begun on a new pack, which has no file yet.
const fresh = (w: JournalInfo): boolean => w.name === "";

function question(w: JournalInfo): string {
  const n = w.differing;
  return text("recovered", fresh(w) ? text("newpack") : text("namedpack", w.name), stamp(w.time),
    n === 1 ? text("onelevel") : text("levels", String(n)), fresh(w) ? text("fromnew") : text("fromfile"));
}

// How many works the question at start names; the others are only counted.
const listedworks = 5;

function allquestion(found: Found[]): string {
  const lines = found.slice(0, listedworks).map(({ work }) => fresh(work)
    ? text("recoverednewline", stamp(work.time)) : text("recoveredline", work.name, stamp(work.time)));
  if (found.length > listedworks) lines.push(text("andmore", String(found.length - listedworks)));
  return text("recoveredall", String(found.length), lines.join("\n"));
}

// This tab's side of recovery: its key and lock, the kept works of tabs
// that no longer run, and the writes of its own work.
export class Recovery {
  private db: IDBDatabase | null = null;
  private timer = 0;
  private off = ""; // why nothing can be kept, from the start on
  readonly key = Array.from(crypto.getRandomValues(new Uint8Array(12)), (v) => v.toString(16).padStart(2, "0")).join("");

  constructor(private readonly core: Core, private readonly name: () => string, private readonly delay = 300) {}

  // Opens the storage and takes this tab's lock; says in the status bar
  // when either is missing. Resolves once writes can start.
  async start(): Promise<void> {
    void navigator.storage?.persist?.().catch(() => false);
    if (!navigator.locks) this.off = text("nolocks");
    else await new Promise<void>((held) => void navigator.locks.request(lockname(this.key), () => {
      held();
      return new Promise(() => undefined); // for the page's life
    }));
    try {
      this.db = await opendb();
    } catch (e) {
      this.off ||= reason(e);
    }
    shownotice(this.off);
    this.changed();
  }

  // Keeps the work a moment after a change: at most delay ms after the first
  // change not yet written, however many follow.
  changed(): void {
    if (!this.timer) this.timer = window.setTimeout(() => void this.flush(), this.delay);
  }

  // Writes this tab's work now, or removes its record once nothing is
  // unsaved; never touches another tab's record.
  flush(): Promise<void> {
    clearTimeout(this.timer);
    this.timer = 0;
    if (!this.db || this.off) return Promise.resolve();
    const work = this.core.unsaved() ? this.core.journal(Date.now(), this.name()) : null;
    return run(this.db, [workstore], (tx) => {
      if (work) tx.objectStore(workstore).put(work, this.key);
      else tx.objectStore(workstore).delete(this.key);
    })
      .then(() => shownotice(""), (e) => shownotice(reason(e)));
  }

  // The works whose tab no longer runs, newest first, each claimed by its
  // lock so that no other tab offers it meanwhile; unreadable ones are
  // moved aside and named.
  private async leftovers(): Promise<Found[]> {
    const db = this.db!;
    const all = await new Promise<[IDBValidKey[], unknown[]]>((resolve, reject) => {
      const tx = db.transaction(workstore, "readonly");
      const keys = tx.objectStore(workstore).getAllKeys();
      const values = tx.objectStore(workstore).getAll();
      tx.oncomplete = () => resolve([keys.result, values.result]);
      tx.onerror = () => reject(tx.error);
    });
    const found: Found[] = [];
    const faults: string[] = [];
    for (const [i, key] of all[0].entries()) {
      const k = String(key);
      if (k === this.key) continue;
      const release = await this.claim(k);
      if (!release) continue;
      const journal = journalof(this.core, all[1][i]);
      const work = typeof journal === "string" ? null : this.core.journalinfo(journal);
      const why = typeof journal === "string" ? journal : work!.why;
      if (!why) { found.push({ key: k, journal: journal as Uint8Array, work: work!, release }); continue; }
      await run(db, [workstore, asidestore], (tx) => {
        tx.objectStore(asidestore).put(all[1][i], key);
        tx.objectStore(workstore).delete(key);
      });
      release();
      faults.push(text("recordunusable", k, why, `${asidestore}/${k}`));
    }
    if (faults.length) await showerror(faults.length === 1 ? faults[0] : text("recordsunusable", faults.join("\n")));
    return found.sort((a, b) => b.work.time - a.work.time);
  }

  // Holds the lock of key while it is free; the function that lets it go,
  // or null when a running tab holds it.
  private claim(key: string): Promise<(() => void) | null> {
    return new Promise((resolve) => {
      void navigator.locks.request(lockname(key), { ifAvailable: true }, (lock) => {
        if (!lock) { resolve(null); return undefined; }
        return new Promise<void>((done) => resolve(() => done()));
      });
    });
  }

  // Asks about the works that tabs which ended left unsaved: one question
  // for one, the question about all of them for several. restore makes a
  // journal the page's pack, kept under name (empty for a new pack); false
  // when the core refuses it. Escape keeps.
  async offer(restore: (journal: Uint8Array, name: string) => boolean): Promise<void> {
    if (!this.db || this.off) return;
    const found = await this.leftovers();
    const keep = (from: number): void => found.slice(from).forEach((f) => f.release());
    const forget = async (list: Found[]): Promise<void> => {
      await run(this.db!, [workstore], (tx) => { for (const f of list) tx.objectStore(workstore).delete(f.key); })
        .catch((e) => shownotice(reason(e)));
      list.forEach((f) => f.release());
    };
    // The old record goes once this tab's own holds the work.
    const take = async (i: number): Promise<void> => {
      if (!restore(found[i].journal, found[i].work.name)) {
        await showerror(text("recordnotrestored", found[i].work.name));
        return keep(i);
      }
      await this.flush();
      await forget([found[i]]);
      keep(i + 1);
    };
    const askeach = async (): Promise<void> => {
      for (const [i, f] of found.entries()) {
        const asked = question(f.work);
        const answer = await ask(text("confirm"),
          found.length === 1 ? asked : text("numbered", String(i + 1), String(found.length), asked),
          [text("restore"), text("discard"), text("later")]);
        if (answer === 0) return take(i);
        if (answer === 1) await forget([f]);
        else f.release();
      }
    };
    if (found.length <= 1) return askeach();
    let answer = await ask(text("confirm"), allquestion(found), [text("restore"), text("each"), text("discard"), text("keep")]);
    if (answer === 2 && !(await askyesno(text("discardall", String(found.length))))) answer = 3;
    if (answer === 0) return take(0);
    if (answer === 1) return askeach();
    if (answer === 2) return forget(found);
    keep(0);
  }
}
