// SPDX-License-Identifier: MIT
// Pack files in and out of the page: reading a picked or dropped file
// (checked before a byte is read), and saving through the browser's save
// picker where it has one, otherwise as a download.

import { Core, packlen } from "./core";
import { text } from "./texts";

interface SavePickerWindow {
  showSaveFilePicker?: (options: { suggestedName: string }) => Promise<{
    name: string;
    createWritable(): Promise<{ write(data: Uint8Array): Promise<void>; close(): Promise<void> }>;
  }>;
}

// Reads file as a pack: an error text when it cannot be one or cannot be
// read, otherwise its first 170496 bytes. A short file is refused from the
// size alone; of a longer one only the pack is read (see core.packwarning).
export async function readpack(core: Core, file: File): Promise<Uint8Array | string> {
  const problem = core.packproblem(file.size);
  if (problem) return text("notloaded", file.name, problem);
  let bytes: Uint8Array;
  try {
    bytes = new Uint8Array(await file.slice(0, packlen).arrayBuffer());
  } catch (e) {
    return text("notread", file.name, e instanceof Error ? e.message : String(e));
  }
  // The file may have changed between the pick and the read.
  const late = core.packproblem(bytes.length);
  return late ? text("notloaded", file.name, late) : bytes;
}

// Saves bytes under a name the user picks (suggested first). Returns the
// name saved under, or null when the user cancelled; throws on a failed write.
export async function savefile(bytes: Uint8Array, suggested: string): Promise<string | null> {
  const w = window as unknown as SavePickerWindow;
  if (w.showSaveFilePicker) {
    let handle;
    try {
      handle = await w.showSaveFilePicker({ suggestedName: suggested });
    } catch (e) {
      if (e instanceof DOMException && e.name === "AbortError") return null;
      throw e;
    }
    const out = await handle.createWritable();
    await out.write(bytes);
    await out.close();
    return handle.name;
  }
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([bytes as Uint8Array<ArrayBuffer>], { type: "application/octet-stream" }));
  a.download = suggested;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(a.href), 60000);
  return suggested;
}

// The level list's name beside a pack's: the extension becomes .lst.
export function listname(packname: string): string {
  const dot = packname.lastIndexOf(".");
  return (dot > 0 ? packname.slice(0, dot) : packname) + ".lst";
}
