// SPDX-License-Identifier: MIT
// "Zuletzt geöffnet": the handles of the last eight packs opened or saved,
// kept in IndexedDB (where the browser can keep file handles at all). A
// storage that fails only costs the list.

import { FileHandle } from "./files";

const dbname = "tessaron-level-editor-files";
const store = "recent";
const key = "list";
const most = 8;

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

// The kept handles, newest first; none when the storage cannot be read.
export async function recentfiles(): Promise<FileHandle[]> {
  try {
    const list = await run<unknown>("readonly", (s) => s.get(key));
    return Array.isArray(list) ? list.filter((h) => h && h.kind === "file").slice(0, most) : [];
  } catch {
    return [];
  }
}

// Puts handle first, once, and the list back.
export async function remember(handle: FileHandle): Promise<void> {
  const list = [handle];
  for (const h of await recentfiles())
    if (list.length < most && !(await h.isSameEntry(handle).catch(() => false))) list.push(h);
  await run("readwrite", (s) => s.put(list, key)).catch(() => undefined);
}
