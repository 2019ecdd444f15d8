// SPDX-License-Identifier: MIT
// The window's German texts and the tile names, as the core holds them.

let captions: Record<string, string> = {};

// The page's own messages, where the table above has none: saving into the
// opened file, downloads, the recent files and the offer of a new version.
const pagetexts: Record<string, string> = {
  Zuletztgeffnet1: "Zuletzt geöffnet",
  newpackstate: "Neues Levelpack",
  changedmark: " – geändert",
  loaded: "Geladen: %1",
  saved: "Gespeichert: %1",
  savedlist: "Gespeichert: %1 und die Levelliste %2",
  downloaded: "Gespeichert: %1, als Download im Download-Ordner des Browsers",
  changedondisk: "Die Datei „%1“ wurde seit dem letzten Laden oder Speichern von einem anderen Programm geändert. " +
    "Soll sie trotzdem überschrieben werden?",
  refused: "Der Browser hat den Dateidialog nicht geöffnet, weil er nicht unmittelbar auf einen Klick oder eine " +
    "Taste folgte. Es wurde nichts geschrieben und nichts geht verloren.\n\nEin Klick auf „%1“ versucht es jetzt.",
  nopermission: "Der Browser hat nicht erlaubt, „%1“ zu %2; es wurde nichts geändert.",
  pickfailed: "Der Dateidialog konnte nicht geöffnet werden: %1",
  open: "Öffnen",
  newversion: "Neue Version verfügbar – jetzt neu laden?",
};
let tiles: string[] = [];

export function settexts(t: { captions: Record<string, string>; tiles: string[] }): void {
  captions = t.captions;
  tiles = t.tiles;
}

// The caption with its access-key ampersand removed; "%1".. filled in.
export function text(key: string, ...args: string[]): string {
  const raw = captions[key] ?? pagetexts[key] ?? key;
  return raw.replace(/&(.)/g, "$1").replace(/%(\d)/g, (_, n: string) => args[Number(n) - 1] ?? "");
}

// The caption as HTML-free parts: the text and its access key, if any.
export function accesskey(key: string): string {
  const m = /&(.)/.exec(captions[key] ?? "");
  return m ? m[1].toLowerCase() : "";
}

export function tilelabel(code: number): string {
  return tiles[code] ?? `Code ${code}`;
}
