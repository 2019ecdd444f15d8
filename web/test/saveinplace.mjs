// SPDX-License-Identifier: MIT
// Saving into the opened file, in chromium. The pickers are answered with
// files of the origin's private file system, which has the same file
// handles the real pickers hand out. Usage: node saveinplace.mjs WEBDIR TMPDIR [SHOTDIR]
import { mkdirSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { answer, check, drag, launch, needs, pick, serve } from "./harness.mjs";
import { fill, newpack, store } from "../../tests/book/pack.mjs";

const [webdir, tmp, shots] = process.argv.slice(2).map((p) => p && resolve(p));
needs(webdir);
rmSync(tmp, { recursive: true, force: true });
mkdirSync(tmp, { recursive: true });
const server = await serve(webdir);
const browser = await launch(join(tmp, "profile"));
try {
  const page = await browser.newPage();
  page.on("pageerror", (e) => { throw e; });
  await page.evaluateOnNewDocument(() => {
    window.picked = 0;
    const file = async (name) => (await navigator.storage.getDirectory()).getFileHandle(name, { create: true });
    window.showOpenFilePicker = async () => { ++window.picked; return [await file("mein.pak")]; };
    window.showSaveFilePicker = async ({ suggestedName }) => {
      ++window.picked;
      if (window.refuse) {
        window.refuse = false;
        throw new DOMException("Must be handling a user gesture to show a file picker.", "SecurityError");
      }
      return file(suggestedName);
    };
    // Another program writes the file.
    window.writeopfs = async (bytes) => {
      const w = await (await file("mein.pak")).createWritable();
      await w.write(new Uint8Array(bytes));
      await w.close();
    };
    window.showDirectoryPicker = async () => { ++window.picked; return navigator.storage.getDirectory(); };
    window.readopfs = async () => [...new Uint8Array(await (await (await file("mein.pak")).getFile()).arrayBuffer())];
  });
  await page.goto(server.url);
  await page.waitForFunction(() => window.tessReady === true);
  const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
  const state = async () => [await text("packstate"), await page.evaluate(() => window.picked)];
  const menu = async (id) => { await page.click(".menu .menutitle"); await page.click(`#${id}`); };
  const save = async () => { await page.keyboard.down("Control"); await page.keyboard.press("s"); await page.keyboard.up("Control"); };
  const ondisk = async () => Buffer.from(await page.evaluate(() => window.readopfs()));
  const open = async () => !!(await page.$("dialog.box[open]"));
  const cells = new Uint8Array(1440);
  const pack = newpack();
  await page.evaluate((b) => window.writeopfs(b), [...pack]);

  // Unsaved work: the question comes before the picker, and Abbrechen opens none.
  await drag(page, [2, 2], [2, 2]);
  await menu("Levelpackladen1");
  check(await page.evaluate(() => window.picked) === 0, "the unsaved-work question comes before the picker");
  await answer(page, "Abbrechen", "Sollen die Änderungen gespeichert werden?");
  await menu("Levelpackladen1");
  await answer(page, "Verwerfen", "Sollen die Änderungen gespeichert werden?");
  await page.waitForFunction(() => document.getElementById("packstate").textContent === "mein.pak");
  check((await state())[1] === 1, "Abbrechen opened no picker, Verwerfen one");

  // Two changes, two saves: each into the file, no dialog, one picker in all.
  await pick(page, 5);
  for (const [from, to] of [[[3, 3], [6, 5]], [[10, 8], [12, 12]]]) {
    await drag(page, from, to);
    fill(cells, from, to, 5);
    await page.waitForFunction(() => document.getElementById("packstate").textContent === "mein.pak – geändert",
      { timeout: 3000 }).catch(() => undefined);
    check((await state())[0] === "mein.pak – geändert", "the status bar says the pack is changed");
    await save();
    await page.waitForFunction(() => !document.getElementById("packstate").textContent.includes("geändert"));
    store(pack, 0, cells, { title: "-------LEVEL-001-------" });
    check(!(await open()) && (await ondisk()).equals(Buffer.from(pack)) && (await state())[1] === 1 &&
      (await text("status")) === "Gespeichert: mein.pak", "Strg+S writes into the opened file without a dialog");
  }
  if (shots) await page.screenshot({ path: join(shots, "saveinplace-100.png") });

  // Another program changes the file: Strg+S asks, and "Nein" leaves it.
  const theirs = Buffer.from(pack).fill(7, 0, 100);
  await new Promise((r) => setTimeout(r, 50));
  await page.evaluate((b) => window.writeopfs(b), [...theirs]);
  await drag(page, [20, 3], [20, 3]);
  await save();
  await answer(page, "Nein", "von einem anderen Programm geändert");
  check((await ondisk()).equals(theirs), "the file another program changed is not overwritten");

  // A picker refused for want of a click: said so, and one click saves.
  await page.evaluate(() => { window.refuse = true; });
  await menu("Levelpackspeichern1");
  await answer(page, "Speichern", "nicht unmittelbar auf einen Klick");
  await answer(page, "Ja", "von einem anderen Programm geändert");
  await answer(page, "Nein", "Levelliste erzeugen?");
  check(!(await ondisk()).equals(theirs) && (await text("status")) === "Gespeichert: mein.pak",
    "after a refused picker one click saves");

  // The next visit opens the file again from "Zuletzt geöffnet".
  await page.reload();
  await page.waitForFunction(() => window.tessReady === true);
  await page.click(".menu .menutitle");
  await page.click("#Zuletztgeffnet1 button");
  await page.waitForFunction(() => document.getElementById("packstate").textContent === "mein.pak");
  check(await text("status") === "Geladen: mein.pak", "\"Zuletzt geöffnet\" opens the kept file");

  // Tiled: the map with tiles.tsx and tiles.png into the picked folder; a
  // second export asks before it replaces the map, and "Nein" keeps it.
  const exportmap = async () => { await page.click("#Datei1 .menutitle"); await page.click("#LevelnachTiledexportieren1"); };
  await exportmap();
  await page.waitForFunction(() => document.getElementById("status").textContent === "Exportiert: Level 1 nach level001.tmx");
  const inopfs = (name) => page.evaluate(async (n) => (await (await (await navigator.storage.getDirectory())
    .getFileHandle(n)).getFile()).size, name);
  check((await inopfs("tiles.tsx")) > 0 && (await inopfs("tiles.png")) > 0 && (await inopfs("level001.tmx")) > 0,
    "the map, tiles.tsx and tiles.png are in the picked folder");
  await page.click("#status");
  await exportmap();
  await answer(page, "Nein", "„level001.tmx“ gibt es in diesem Ordner schon");
} finally {
  await browser.close();
  server.close();
}
