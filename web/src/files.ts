// SPDX-License-Identifier: MIT
// Pack files in and out of the page: reading a picked or dropped file
// (checked before a byte is read), and the browser's ways to write: into a
// picked file it lets the page keep (File System Access), or a download.

import { Core } from "./core";
import { text } from "./texts";

interface Writable { write(data: Uint8Array): Promise<void>; close(): Promise<void> }
type Mode = { mode: "read" | "readwrite" };

// A file the browser lets the page read and write again (File System Access).
export interface FileHandle {
  readonly kind: "file";
  readonly name: string;
  getFile(): Promise<File>;
  createWritable(): Promise<Writable>;
  isSameEntry(other: FileHandle): Promise<boolean>;
  queryPermission?(mode: Mode): Promise<PermissionState>;
  requestPermission?(mode: Mode): Promise<PermissionState>;
}

interface PickerWindow {
  showOpenFilePicker?: (options?: object) => Promise<FileHandle[]>;
  showSaveFilePicker?: (options: { suggestedName: string; startIn?: FileHandle }) => Promise<FileHandle>;
}
const pickers = (): PickerWindow => window as unknown as PickerWindow;

// Whether the browser has pickers that hand out files to keep (Chromium, Edge).
export const canopen = (): boolean => typeof pickers().showOpenFilePicker === "function";
export const cansave = (): boolean => typeof pickers().showSaveFilePicker === "function";

// The user cancelled a picker.
export const cancelled = (e: unknown): boolean => e instanceof DOMException && e.name === "AbortError";
// The browser refused a picker or a permission question because no click or
// key came just before it; nothing was read or written.
export const refused = (e: unknown): boolean => e instanceof DOMException &&
  (e.name === "SecurityError" || (e.name === "NotAllowedError" && /activation|gesture/i.test(e.message)));

// One file picked to open, or null when cancelled.
export async function pickopen(): Promise<FileHandle | null> {
  try {
    return (await pickers().showOpenFilePicker!())[0] ?? null;
  } catch (e) {
    if (cancelled(e)) return null;
    throw e;
  }
}

// A file picked to save under, suggested name first, in the folder of
// beside when given; null when cancelled.
export async function picksave(suggestedName: string, beside?: FileHandle): Promise<FileHandle | null> {
  try {
    return await pickers().showSaveFilePicker!(beside ? { suggestedName, startIn: beside } : { suggestedName });
  } catch (e) {
    if (cancelled(e)) return null;
    throw e;
  }
}

// Asks the browser for access to handle once; true when granted. A handle
// from the save picker, or one granted before, asks nothing.
export async function permitted(handle: FileHandle, mode: Mode["mode"]): Promise<boolean> {
  if (!handle.queryPermission || (await handle.queryPermission({ mode })) === "granted") return true;
  return (await handle.requestPermission!({ mode })) === "granted";
}

// Replaces the file's contents with bytes; the new size and time.
export async function writehandle(handle: FileHandle, bytes: Uint8Array): Promise<File> {
  const out = await handle.createWritable();
  await out.write(bytes);
  await out.close();
  return handle.getFile();
}

// Hands bytes to the browser as a download named name; it lands in the
// browser's download folder.
export function download(bytes: Uint8Array, name: string): void {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([bytes as Uint8Array<ArrayBuffer>], { type: "application/octet-stream" }));
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
}

// Reads file as a pack: an error text when it cannot be one or cannot be
// read, otherwise its first 170496 bytes. A short file is refused from the
// size alone; of a longer one only the pack is read (see core.packwarning).
export async function readpack(core: Core, file: File): Promise<Uint8Array | string> {
  const problem = core.packproblem(file.size);
  if (problem) return text("notloaded", file.name, problem);
  let bytes: Uint8Array;
  try {
    bytes = new Uint8Array(await file.slice(0, core.limits.packlen).arrayBuffer());
  } catch (e) {
    return text("notread", file.name, e instanceof Error ? e.message : String(e));
  }
  // The file may have changed between the pick and the read.
  const late = core.packproblem(bytes.length);
  return late ? text("notloaded", file.name, late) : bytes;
}
