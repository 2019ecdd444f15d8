// SPDX-License-Identifier: MIT
// Recovery from outside: work in the page, the browser killed a second after
// the last change (and once more while the next one asks about it), a new
// browser on the same profile offers the work back with the level that was
// shown; then the same after a closed tab.
// Usage: node recovery.mjs WEBDIR TMPDIR
import { mkdirSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import { answer, cellrgb, check, drag, launch, needs, openpage, serve } from "./harness.mjs";

const [webdir, tmp] = process.argv.slice(2).map((p) => resolve(p));
needs(webdir);
rmSync(tmp, { recursive: true, force: true });
mkdirSync(tmp, { recursive: true });
const profile = join(tmp, "profile");
const server = await serve(webdir);
const black = async (page, col, row) => (await cellrgb(page, col, row)).every((v) => v === 0);
const field = (page, id) => page.$eval(`#${id}`, (e) => e.value);

let browser = await launch(profile);
let page = await openpage(browser, server.url);
await drag(page, [5, 5], [7, 6]);
await page.click("#Edit2", { clickCount: 3 });
await page.keyboard.type("Gerettet");
await page.click("#Edit1");
await page.keyboard.press("ArrowUp");
await page.waitForFunction(() => document.getElementById("Edit1").value === "2");
await drag(page, [3, 3], [3, 3]);
const killafter = async (ms) => {
  await new Promise((r) => setTimeout(r, ms));
  browser.process().kill("SIGKILL");
  await new Promise((r) => browser.process().once("exit", r));
};
await killafter(1000);
// Killed again while it asks: the work is still kept.
browser = await launch(profile);
await openpage(browser, server.url);
await killafter(1000);

browser = await launch(profile);
try {
  page = await openpage(browser, server.url);
  await answer(page, "Wiederherstellen", "wurde nicht gespeichert");
  check(await field(page, "Edit1") === "2" && !(await black(page, 3, 3)), "the killed browser's level 2 comes back, shown");
  await page.click("#Edit1");
  await page.keyboard.press("ArrowDown");
  await page.waitForFunction(() => document.getElementById("Edit1").value === "1");
  check(await field(page, "Edit2") === "Gerettet".padEnd(23) && !(await black(page, 6, 6)), "level 1 keeps its title and tiles");

  // A closed tab: the page warns, and the next visit offers the work again.
  page.on("dialog", (d) => d.accept());
  await page.close({ runBeforeUnload: true });
  await new Promise((r) => setTimeout(r, 500));
  page = await openpage(browser, server.url);
  await answer(page, "Verwerfen", "wurde nicht gespeichert");
  check(await black(page, 6, 6), "discarding starts with a new pack");
  await page.reload();
  await page.waitForFunction(() => window.tessReady === true);
  check(!(await page.$("dialog.box[open]")), "discarded work is not offered again");
} finally {
  await browser.close();
  server.close();
}
