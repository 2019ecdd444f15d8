// SPDX-License-Identifier: MIT
// The clipboard's text form between tabs and editors. In headless chromium:
// cells copied with Strg+C in one tab paste with Strg+V in another, through
// the copy and paste events. Then on an Xvfb display shared by the desktop
// editor and a chromium with a window, a level copied in the editor pastes
// in the page from the menu, byte for byte (the editor taking the text form
// is editcommands_test's).
// Usage: node clipboard.mjs WEBDIR TMPDIR EDITOR
import { spawn, execFileSync } from "node:child_process";
import { mkdirSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { cellrgb, check, chromium, drag, launch, needs, openpage, serve } from "./harness.mjs";
import { newpack, store, fill } from "../../tests/book/pack.mjs";

const [webdir, tmp, editor] = process.argv.slice(2).map((p) => p && resolve(p));
needs(webdir);
for (const tool of ["Xvfb", "xdotool"])
  try { execFileSync("which", [tool]); } catch { console.log(`skipped: no ${tool}`); process.exit(77); }
rmSync(tmp, { recursive: true, force: true });
mkdirSync(tmp, { recursive: true });
const server = await serve(webdir);
const origin = new URL(server.url).origin;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const ctrl = async (page, k) => { await page.keyboard.down("Control"); await page.keyboard.press(k); await page.keyboard.up("Control"); };
const menu = async (page, caption) => {
  const item = await page.evaluateHandle((c) => [...document.querySelectorAll("#MainMenu1 .items button")]
    .find((b) => b.querySelector(".label")?.textContent === c), caption);
  await (await item.evaluateHandle((b) => b.closest(".menu").querySelector(".menutitle"))).click();
  await item.click();
};
const clipboard = (page) => page.evaluate(() => navigator.clipboard.readText());
// Counts the clipboard events the page sees, to tell them from the menu's way.
const counted = (page) => page.evaluate(() => {
  window.clipevents = { copy: 0, paste: 0 };
  for (const t of ["copy", "paste"]) document.addEventListener(t, () => ++window.clipevents[t], true);
});
const events = (page) => page.evaluate(() => window.clipevents);
const pages = async (browser) => (await browser.defaultBrowserContext().overridePermissions(origin,
  ["clipboard-read", "clipboard-write", "clipboard-sanitized-write"]), browser);
const children = [];
let browser;
try {
  // Two tabs of one browser.
  browser = await pages(await launch(join(tmp, "profile")));
  const [a, b] = [await openpage(browser, server.url), await openpage(browser, server.url)];
  await Promise.all([a, b].map(counted));
  await a.bringToFront();
  await drag(a, [5, 5], [7, 6]);
  await a.click("#ToolButton2");
  await drag(a, [5, 5], [6, 6]);
  await ctrl(a, "c");
  await b.bringToFront();
  const before = await cellrgb(b, 5, 5);
  await b.click("#status");
  await ctrl(b, "v");
  const [ea, eb] = [await events(a), await events(b)];
  check(ea.copy === 1 && eb.paste === 1, `Strg+C and Strg+V run through the browser's events (${JSON.stringify([ea, eb])})`);
  check(String(await cellrgb(b, 5, 5)) === String(await cellrgb(a, 5, 5)) && String(before) !== String(await cellrgb(a, 5, 5)),
    "cells copied in one tab paste marked in the other");

  await browser.close();
  browser = undefined;

  // The desktop editor and a chromium with a window on one X display.
  if (!editor) throw new Error("no desktop editor given");
  const xvfb = spawn("Xvfb", ["-displayfd", "3", "-noreset", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"],
    { stdio: ["ignore", "ignore", "ignore", "pipe"] });
  children.push(xvfb);
  const display = ":" + (await new Promise((r) => xvfb.stdio[3].once("data", (d) => r(String(d).trim()))));
  const env = { ...process.env, DISPLAY: display, QT_QPA_PLATFORM: "xcb" }, pack = newpack(), cells = new Uint8Array(1440);
  fill(cells, [3, 3], [8, 3], 1);
  fill(cells, [3, 5], [5, 5], 14);
  store(pack, 0, cells, { title: "Vom Desktop", infotrons: 7, gravity: true });
  writeFileSync(join(tmp, "desk.pak"), pack);
  const desk = spawn(editor, [join(tmp, "desk.pak")], { env, stdio: "ignore" });
  children.push(desk);
  const xdo = (...args) => execFileSync("xdotool", args, { env }).toString().trim();
  let win = "";
  for (let i = 0; i < 150 && !win; ++i) {
    try { win = xdo("search", "--onlyvisible", "--pid", String(desk.pid)).split("\n")[0]; } catch { await sleep(100); }
  }
  check(win !== "", "the desktop editor shows its window");
  await sleep(500);
  xdo("windowfocus", "--sync", win);
  xdo("key", "alt+l", "sleep", "0.3", "key", "k");

  browser = await pages(await puppeteer.launch({ headless: false, executablePath: chromium, env,
    defaultViewport: { width: 1100, height: 760 }, args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--password-store=basic"] }));
  const page = await openpage(browser, server.url);
  // Reading the clipboard needs a focused page, also while the editor has the keys.
  await page.emulateFocusedPage(true);
  await page.waitForFunction(() => navigator.clipboard.readText().then((t) => t.startsWith("Tessaron-Level 1")).catch(() => false));
  const fromdesk = await clipboard(page);
  await menu(page, "Level einfügen");
  await page.waitForFunction(() => document.getElementById("Edit2").value.startsWith("Vom Desktop"));
  await menu(page, "Level kopieren");
  check(await clipboard(page) === fromdesk && fromdesk.includes("\nGravitation 01\n") && fromdesk.includes("\nSchalter 03\n"),
    "a level copied in the desktop editor pastes in the page, byte for byte");
} finally {
  await browser?.close();
  for (const c of children.reverse()) c.kill("SIGKILL");
  server.close();
}
