// SPDX-License-Identifier: MIT
// Recovery: each tab keeps its unsaved work in IndexedDB under a key of its
// own (the pack as a save would write it, the saved image beside it, the
// shown level and the file name), at most a moment after each change and
// once more when the page goes away. A tab holds a Web Lock named after its
// key for as long as it lives, so the work of a tab still open is never
// offered elsewhere; what no living tab holds is offered at the next start.

import { Core, levelcount, packlen } from "./core";
import { ask, askyesno, showerror } from "./dialogs";
import { text } from "./texts";

export interface KeptWork { bytes: Uint8Array; level: number; name: string; time: number }
interface Found { key: string; work: KeptWork; release: () => void }

const dbname = "tessaron-level-editor";
const workstore = "work";
const asidestore = "beiseite";
const lockname = (key: string): string => `tessaron-tab-${key}`;

// The reasons the status bar gives when nothing can be kept.
const nostorage = "Der Browser gibt dieser Seite keinen Speicher (privates Fenster oder Speicher abgeschaltet).";
const nolocks = "Der Browser kann nicht erkennen, welche Tabs noch offen sind (Web Locks fehlen, etwa ohne HTTPS).";

function reason(e: unknown): string {
  const name = e instanceof DOMException ? e.name : "";
  if (name === "QuotaExceededError") return "Der Speicher des Browsers ist voll.";
  if (name === "InvalidStateError" || name === "SecurityError") return nostorage;
  const said = e instanceof Error ? e.message : String(e);
  return `Der Speicher des Browsers nimmt nichts auf (nur lesbar?): ${said || name}`;
}

// The status bar's line while recovery is off; empty text removes it.
function shownotice(why: string): void {
  let el = document.getElementById("recoverynotice");
  if (!why) { el?.remove(); return; }
  if (!el) {
    el = document.createElement("footer");
    el.id = "recoverynotice";
    el.title = "Ungespeicherte Änderungen können nach einem Absturz nicht wiederhergestellt werden. " +
      "Speichern funktioniert weiterhin.";
    document.getElementById("status")!.after(el);
  }
  el.textContent = `Wiederherstellung aus: ${why}`;
}

function opendb(): Promise<IDBDatabase> {
  return new Promise((resolve, reject) => {
    if (typeof indexedDB === "undefined") { reject(new DOMException(nostorage, "InvalidStateError")); return; }
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

// Why a kept record cannot be a work; empty when it can.
function fault(w: unknown): string {
  if (typeof w !== "object" || w === null) return "Die Daten fehlen.";
  const k = w as Partial<KeptWork>;
  if (!(k.bytes instanceof Uint8Array)) return "Das Levelpack fehlt.";
  if (k.bytes.length !== 2 * packlen) return `Sie hält ${k.bytes.length} statt ${2 * packlen} Bytes.`;
  if (!Number.isInteger(k.level) || k.level! < 0 || k.level! >= levelcount) return "Der gezeigte Level ist ungültig.";
  if (typeof k.name !== "string" || typeof k.time !== "number") return "Name oder Zeit fehlen.";
  return "";
}

const stamp = (time: number): string => {
  const d = new Date(time);
  const two = (n: number): string => String(n).padStart(2, "0");
  return `${two(d.getDate())}.${two(d.getMonth() + 1)}.${d.getFullYear()} um ` +
    `${two(d.getHours())}:${two(d.getMinutes())}:${two(d.getSeconds())}`;
};

// How many works the question at start names; the others are only counted.
const listedworks = 5;

function allquestion(found: Found[]): string {
  const lines = found.slice(0, listedworks).map((f) => `• „${f.work.name}“, zuletzt geändert am ${stamp(f.work.time)}`);
  if (found.length > listedworks) lines.push(`… und ${found.length - listedworks} weitere`);
  return `${found.length} Levelpacks wurden nicht gespeichert, als Editoren unerwartet endeten:\n\n${lines.join("\n")}\n\n` +
    "„Wiederherstellen“ öffnet das neueste, die anderen bleiben für einen späteren Start erhalten. " +
    "„Einzeln“ fragt nach jedem der genannten. „Verwerfen“ löscht alle, „Behalten“ hebt alle auf.";
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
    if (!navigator.locks) this.off = nolocks;
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
    const work: KeptWork | null = this.core.unsaved()
      ? { bytes: this.core.recoverybytes(), level: this.core.levelnumber() - 1, name: this.name(), time: Date.now() }
      : null;
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
      const why = fault(all[1][i]);
      if (!why) { found.push({ key: k, work: all[1][i] as KeptWork, release }); continue; }
      await run(db, [workstore, asidestore], (tx) => {
        tx.objectStore(asidestore).put(all[1][i], key);
        tx.objectStore(workstore).delete(key);
      });
      release();
      faults.push(`Der Wiederherstellungseintrag „${k}“ ist unbrauchbar: ${why} Er bleibt unter „${asidestore}/${k}“ erhalten.`);
    }
    if (faults.length)
      await showerror(faults.length === 1 ? faults[0] : `Diese Wiederherstellungseinträge sind unbrauchbar:\n\n${faults.join("\n")}`);
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
  // work the page's pack; false when the core refuses it. Escape keeps.
  async offer(restore: (w: KeptWork) => boolean): Promise<void> {
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
      if (!restore(found[i].work)) {
        await showerror(`Der Wiederherstellungseintrag „${found[i].work.name}“ ist unbrauchbar und bleibt erhalten.`);
        return keep(i);
      }
      await this.flush();
      await forget([found[i]]);
      keep(i + 1);
    };
    const askeach = async (): Promise<void> => {
      for (const [i, f] of found.entries()) {
        const question = text("recovered", `„${f.work.name}“`, stamp(f.work.time));
        const answer = await ask(text("confirm"), found.length === 1 ? question : `(${i + 1} von ${found.length}) ${question}`,
          [text("restore"), text("discard"), text("later")]);
        if (answer === 0) return take(i);
        if (answer === 1) await forget([f]);
        else f.release();
      }
    };
    if (found.length <= 1) return askeach();
    let answer = await ask(text("confirm"), allquestion(found), [text("restore"), "Einzeln…", text("discard"), "Behalten"]);
    if (answer === 2 && !(await askyesno(`Alle ${found.length} ungespeicherten Levelpacks endgültig verwerfen?`))) answer = 3;
    if (answer === 0) return take(0);
    if (answer === 1) return askeach();
    if (answer === 2) return forget(found);
    keep(0);
  }
}
