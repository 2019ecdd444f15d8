// SPDX-License-Identifier: MIT
// The window's German texts and the tile names, as the core holds them:
// every caption, question and message the page shows.

let captions: Record<string, string> = {};
let tiles: string[] = [];
let names: string[] = [];

export interface Texts { captions: Record<string, string>; tiles: string[]; names: string[] }

export function settexts(t: Texts): void {
  captions = t.captions;
  tiles = t.tiles;
  names = t.names;
}

// The caption as stored, access-key ampersand included.
export function rawtext(key: string): string {
  return captions[key] ?? key;
}

// The caption with its access-key ampersand removed; "%1".. filled in.
export function text(key: string, ...args: string[]): string {
  const raw = captions[key] ?? key;
  return raw.replace(/&(.)/g, "$1").replace(/%(\d)/g, (_, n: string) => args[Number(n) - 1] ?? "");
}

// The caption as HTML-free parts: the text and its access key, if any.
export function accesskey(key: string): string {
  const m = /&(.)/.exec(captions[key] ?? "");
  return m ? m[1].toLowerCase() : "";
}

// The name of a tile with a picture (0..43).
export function tilename(code: number): string {
  return names[code] ?? "";
}

// The label of any cell byte (0..255), as the core words it.
export function tilelabel(code: number): string {
  return tiles[code] ?? "";
}
