// SPDX-License-Identifier: MIT
// Recovery from outside: two tabs with different unsaved packs, the browser
// killed with its whole process group; the next start offers both, Escape
// keeps them, each comes back byte-exact. Then a corrupt record, reloads
// right after a stroke, strokes released over the palette, drops.
// Usage: node recovery.mjs WEBDIR TMPDIR
import { mkdirSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { answer, cellrgb, cellxy, check, drag, firefox, launch, needs, openpage, pick, serve } from "./harness.mjs";
import { fill, newpack, store } from "../../tests/book/pack.mjs";

const [webdir, tmp] = process.argv.slice(2).map((p) => resolve(p));
needs(webdir);
rmSync(tmp, { recursive: true, force: true });
mkdirSync(tmp, { recursive: true });
const profile = join(tmp, "profile");
const server = await serve(webdir);
const black = async (page, col, row) => (await cellrgb(page, col, row)).every((v) => v === 0);
const asked = (page) => page.evaluate(() => document.querySelector("dialog.box[open]")?.textContent ?? "");
const open = (browser) => openpage(browser, server.url);
const saved = async (page) => {
  await page.keyboard.down("Control"); await page.keyboard.press("s"); await page.keyboard.up("Control");
  await answer(page, "Nein", "Levelliste erzeugen?");
  return Buffer.from(await page.evaluate(() => window.booksaved));
};
const drop = (page, names) => page.evaluate((names) => {
  const dt = new DataTransfer();
  for (const n of names) dt.items.add(new File([new Uint8Array(170496)], n));
  window.dispatchEvent(new DragEvent("drop", { dataTransfer: dt, cancelable: true }));
}, names);

// Tab A paints level 1, then level 2, and shows level 2; tab B paints level 1.
const packs = [[[0, [3, 3], [5, 4]], [1, [7, 7], [7, 7]]], [[0, [10, 10], [12, 12]]]].map((levels) => {
  const pack = newpack();
  const cells = new Uint8Array(1440);
  for (const [i, from, to] of levels) {
    fill(cells.fill(0), from, to, 2); store(pack, i, cells, { title: `-------LEVEL-00${i + 1}-------` });
  }
  return Buffer.from(pack);
});
let browser = await launch(profile);
const tabA = await open(browser);
await drag(tabA, [3, 3], [5, 4]);
await tabA.click("#Edit1"); await tabA.keyboard.press("ArrowUp");
await tabA.waitForFunction(() => document.getElementById("Edit1").value === "2");
await drag(tabA, [7, 7], [7, 7]);
await new Promise((r) => setTimeout(r, 1000));
const tabB = await open(browser);
check(await asked(tabB) === "", "a second tab is not offered the open tab's work");
await drag(tabB, [10, 10], [12, 12]);
await new Promise((r) => setTimeout(r, 1000));
process.kill(-browser.process().pid, "SIGKILL");
await new Promise((r) => browser.process().once("exit", r));

browser = await launch(profile);
try {
  let page = await open(browser);
  check((await asked(page)).includes("2 Levelpacks wurden nicht gespeichert"), "both killed tabs' works are offered in one question");
  await drop(page, ["Levelpack.pak"]);
  check(await page.$eval("#status", (e) => e.textContent.includes("zuerst die offene Frage")), "a drop under the question loads nothing");
  await page.keyboard.press("Escape");
  await page.waitForFunction(() => window.tessReady === true);
  await page.reload();
  await answer(page, "Wiederherstellen", "2 Levelpacks");
  const got = [await saved(page)];
  page = await open(browser);
  await answer(page, "Wiederherstellen", "wurde nicht gespeichert");
  got.push(await saved(page));
  check(packs.every((p) => got.some((g) => g.equals(p))), "Escape kept both; each comes back byte-exact, one per tab");

  // A record no page could have written is named and kept aside.
  // Puts it (or not), and says in which of the two stores it is.
  const kaputt = (page, put) => page.evaluate((put) => new Promise((done) => indexedDB.open("tessaron-level-editor").onsuccess = (e) => {
    const tx = e.target.result.transaction(["work", "beiseite"], "readwrite");
    if (put) tx.objectStore("work").put({ bytes: new Uint8Array(7) }, "kaputt");
    const keys = ["work", "beiseite"].map((s) => tx.objectStore(s).getAllKeys());
    tx.oncomplete = () => done(keys.map((k) => k.result.includes("kaputt")).join());
  }), put);
  await kaputt(page, true);
  page = await open(browser);
  await answer(page, "OK", "„kaputt“ ist unbrauchbar");
  check(await kaputt(page, false) === "false,true", "the corrupt record is moved aside");

  // Work kept as the page kept it before its records were journals (the
  // pack, the saved image, the level, the name) is still offered and restored.
  await page.evaluate((pack, saved) => new Promise((done) => indexedDB.open("tessaron-level-editor").onsuccess = (e) => {
    const bytes = new Uint8Array(2 * pack.length);
    bytes.set(pack);
    bytes.set(saved, pack.length);
    const tx = e.target.result.transaction("work", "readwrite");
    tx.objectStore("work").put({ bytes, level: 0, name: "alt.pak", time: Date.now() }, "alt");
    tx.oncomplete = done;
  }), [...packs[1]], [...newpack()]);
  page = await open(browser);
  const question = await answer(page, "Wiederherstellen", "„alt.pak“ wurde nicht gespeichert");
  check(await page.$eval("#status", (e) => e.textContent) === "Wiederhergestellt: alt.pak" &&
    question.includes("1 Level unterscheidet sich von der Datei") && (await saved(page)).equals(packs[1]),
    "work kept before journals is offered with its one changed level and comes back byte-exact, as the status bar says");

  // A reload shortly after a stroke, confirmed in the leave warning.
  for (const [k, ms] of [100, 150, 200, 250, 120, 180].entries()) {
    await drag(page, [2 + 2 * k, 20], [2 + 2 * k, 20]);
    await new Promise((r) => setTimeout(r, ms));
    await page.reload();
    await answer(page, "Wiederherstellen", "wurde nicht gespeichert");
    check(!(await black(page, 2 + 2 * k, 20)), `a reload ${ms} ms after a stroke keeps it`);
  }

  // A stroke released over the palette ends there, and one whose window
  // loses the focus ends then.
  await pick(page, 4, "right");
  for (const [k, [button, how]] of [["right", "palette"], ["middle", "palette"], ["left", "blur"]].entries()) {
    const [x, y] = await cellxy(page, 14, 3 + 4 * k);
    await page.mouse.move(x, y);
    await page.mouse.down({ button });
    await page.mouse.move(...(await cellxy(page, 15, 4 + 4 * k)));
    const r = await page.$eval("#itemselect1", (e) => e.getBoundingClientRect().toJSON());
    if (how === "blur") await page.evaluate(() => window.dispatchEvent(new Event("blur")));
    else await page.mouse.move(r.left + r.width / 2, r.top + 20);
    if (how !== "blur") await page.mouse.up({ button });
    await page.mouse.move(...(await cellxy(page, 18, 6 + 4 * k))); // with the button still held after the blur
    if (how === "blur") await page.mouse.up({ button });
    check(!(await black(page, 15, 4 + 4 * k)) && await black(page, 18, 6 + 4 * k), `a ${button} stroke ends (${how})`);
  }

  await drop(page, ["a.pak", "b.pak"]);
  await answer(page, "OK", "Bitte nur eine Datei ablegen – es waren 2.");
  check(!(await black(page, 2, 20)), "two dropped files load nothing");

  if (!firefox) {
    // A full storage, in a context of its own: a new record is refused.
    const context = await browser.createBrowserContext();
    page = await open(context);
    const cdp = await page.createCDPSession();
    await cdp.send("Storage.overrideQuotaForOrigin", { origin: new URL(server.url).origin, quotaSize: 1 });
    page = await open(context);
    await drag(page, [20, 14], [22, 15]);
    const full = await page.waitForSelector("#recoverynotice");
    check((await full.evaluate((e) => e.textContent)).includes("Wiederherstellung aus: Der Speicher des Browsers ist voll."),
      "a full storage is said in the status bar");
  }
} finally {
  await browser.close();
  server.close();
}
