// SPDX-License-Identifier: MIT
// Recovery: unsaved work is kept in IndexedDB within a second of each
// change (the pack as a save would write it, the saved image beside it, the
// shown level and the file name) and offered back at the next visit.

import { Core } from "./core";

export interface KeptWork { bytes: Uint8Array; level: number; name: string; time: number }

const dbname = "tessaron-level-editor";
const store = "work";
const key = "current";

function opendb(): Promise<IDBDatabase> {
  return new Promise((resolve, reject) => {
    const req = indexedDB.open(dbname, 1);
    req.onupgradeneeded = () => req.result.createObjectStore(store);
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}

async function run<T>(mode: IDBTransactionMode, op: (s: IDBObjectStore) => IDBRequest<T>): Promise<T> {
  const db = await opendb();
  try {
    return await new Promise<T>((resolve, reject) => {
      const tx = db.transaction(store, mode);
      const req = op(tx.objectStore(store));
      tx.oncomplete = () => resolve(req.result);
      tx.onerror = () => reject(tx.error);
    });
  } finally {
    db.close();
  }
}

export async function keptwork(): Promise<KeptWork | undefined> {
  const w = await run<KeptWork | undefined>("readonly", (s) => s.get(key));
  return w && w.bytes instanceof Uint8Array ? w : undefined;
}

export function forget(): Promise<unknown> {
  return run("readwrite", (s) => s.delete(key));
}

// Keeps the work a moment after each change; drops the kept copy once
// nothing is unsaved.
export class Keeper {
  private timer = 0;
  private writing: Promise<unknown> = Promise.resolve();

  constructor(private readonly core: Core, private readonly name: () => string, private readonly delay = 300) {}

  // Off until the kept work of the last visit is settled, so that it is not
  // replaced while the page still asks about it.
  armed = false;

  changed(): void {
    if (!this.armed) return;
    clearTimeout(this.timer);
    this.timer = window.setTimeout(() => this.flush(), this.delay);
  }

  flush(): Promise<unknown> {
    if (!this.armed) return this.writing;
    clearTimeout(this.timer);
    const work: KeptWork | null = this.core.unsaved()
      ? { bytes: this.core.recoverybytes(), level: this.core.levelnumber() - 1, name: this.name(), time: Date.now() }
      : null;
    // One write at a time, in order, so an older copy never lands last.
    this.writing = this.writing.then(() => (work ? run("readwrite", (s) => s.put(work, key)) : forget())).catch(() => undefined);
    return this.writing;
  }
}
