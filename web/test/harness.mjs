// SPDX-License-Identifier: MIT
// What the browser tests share: a static server for build/web on a free
// local port, Debian's chromium through puppeteer-core, and pointer helpers
// that work in level-view cells.
import { createServer } from "node:http";
import { existsSync, readFileSync, statSync } from "node:fs";
import { extname, join, normalize } from "node:path";
import puppeteer from "puppeteer-core";

export const chromium = "/usr/bin/chromium";
const types = { ".html": "text/html", ".js": "text/javascript", ".css": "text/css", ".wasm": "application/wasm", ".png": "image/png",
  ".webmanifest": "application/manifest+json" };

// Exits 77 (skipped) when the browser or the built page is missing.
export function needs(webdir) {
  for (const f of [process.env.TESS_BROWSER === "firefox" ? "/usr/bin/firefox-esr" : chromium, join(webdir, "index.html")])
    if (!existsSync(f)) { console.log(`skipped: ${f} is missing`); process.exit(77); }
}

// Serves dir under the path base ("/" or "/a/b/"), on port (0: any free one).
// close() drops open connections too, so the browser sees the server gone.
export function serve(dir, base = "/", port = 0) {
  const server = createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, "http://x").pathname);
    const file = join(dir, normalize(url.slice(base.length) || "index.html"));
    if (!url.startsWith(base) || !file.startsWith(dir) || !existsSync(file) || !statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { "content-type": types[extname(file)] ?? "application/octet-stream" }).end(readFileSync(file));
  });
  return new Promise((resolve) => server.listen(port, "127.0.0.1", () => resolve({
    url: `http://127.0.0.1:${server.address().port}${base}`, port: server.address().port,
    close: () => { server.close(); server.closeAllConnections(); } })));
}

// The browser the test runs in: Debian's chromium, or firefox-esr when
// TESS_BROWSER=firefox. Downloads go to the folder given, without a question.
export const firefox = process.env.TESS_BROWSER === "firefox";
export function launch(profile, scale = 1, downloads = undefined) {
  const common = { headless: true, userDataDir: profile, defaultViewport: { width: 1100, height: 760, deviceScaleFactor: scale } };
  if (firefox)
    return puppeteer.launch({ ...common, browser: "firefox", executablePath: "/usr/bin/firefox-esr",
      extraPrefsFirefox: downloads ? { "browser.download.dir": downloads, "browser.download.folderList": 2,
        "browser.download.useDownloadDir": true, "browser.download.always_ask_before_handling_new_types": false } : {} });
  return puppeteer.launch({ ...common, executablePath: chromium, args: ["--no-sandbox", "--disable-gpu", "--no-first-run"] });
}

// A new tab: leave warnings confirmed, saves through fakepicker.
// A new page of browser (launched with downloads) without a save picker, so
// that saving downloads into downloads; a page error fails the test.
export async function downloadingpage(browser, downloads) {
  const page = await browser.newPage();
  page.on("pageerror", (e) => { throw e; });
  await page.evaluateOnNewDocument(() => { delete window.showSaveFilePicker; delete window.showDirectoryPicker; });
  if (!firefox) {
    const cdp = await page.createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  }
  return page;
}

export async function openpage(browser, url) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(fakepicker);
  page.on("dialog", (d) => d.accept());
  await page.goto(url);
  await page.waitForFunction(() => window.tessReady === true || document.querySelector("dialog[open]"));
  return page;
}

// Pixel position of a cell's middle (col 1..58, row 1..22) in the viewport.
export async function cellxy(page, col, row) {
  return page.evaluate((col, row) => {
    const c = document.getElementById("PaintBox1");
    const r = c.getBoundingClientRect();
    const t = r.width / 58;
    return [r.left + (col - 0.5) * t, r.top + (row - 0.5) * t];
  }, col, row);
}

// A press at one cell, moves to another, and the release, with one button.
export async function drag(page, from, to, button = "left", modifiers = []) {
  for (const k of modifiers) await page.keyboard.down(k);
  const [x0, y0] = await cellxy(page, ...from);
  const [x1, y1] = await cellxy(page, ...to);
  await page.mouse.move(x0, y0);
  await page.mouse.down({ button });
  await page.mouse.move((x0 + x1) / 2, (y0 + y1) / 2);
  await page.mouse.move(x1, y1);
  await page.mouse.up({ button });
  for (const k of modifiers) await page.keyboard.up(k);
}

// Clicks the palette tile code with a button.
export async function pick(page, code, button = "left") {
  const [x, y] = await page.evaluate((code) => {
    const r = document.getElementById("itemselect1").getBoundingClientRect();
    const step = (r.width - 4) / 4;
    return [r.left + 4 + (code % 4) * step + step / 2 - 2, r.top + 4 + Math.floor(code / 4) * step + step / 2 - 2];
  }, code);
  await page.mouse.click(x, y, { button });
}

// The platform's save picker, answered with an in-page file that keeps the
// bytes in window.booksaved; for evaluateOnNewDocument.
export function fakepicker() {
  window.showSaveFilePicker = async ({ suggestedName }) => ({
    name: suggestedName,
    createWritable: async () => ({ write: async (b) => { window.booksaved = [...b]; }, close: async () => {} }),
    getFile: async () => new File([new Uint8Array(window.booksaved ?? [])], suggestedName),
  });
  // A folder that keeps the files written into it in window.bookfolder.
  window.bookfolder = {};
  const file = (name) => ({
    kind: "file", name,
    createWritable: async () => ({ write: async (b) => { window.bookfolder[name] = [...b]; }, close: async () => {} }),
    getFile: async () => new File([new Uint8Array(window.bookfolder[name])], name),
  });
  window.showDirectoryPicker = async () => ({ kind: "directory", getFileHandle: async (name, options) => {
    if (!options?.create && !(name in window.bookfolder)) throw new DOMException(`${name} is not there`, "NotFoundError");
    return file(name);
  } });
}

// Answers the open message box with the button whose text starts with label.
export async function answer(page, label, expect) {
  const dlg = await page.waitForSelector("dialog.box[open]");
  const text = await dlg.evaluate((d) => d.textContent);
  if (expect && !text.includes(expect)) throw new Error(`dialog says "${text}", expected "${expect}"`);
  // Waits for this box's close, not for no box at all: the next question
  // may open at once.
  await dlg.evaluate((d, label) => {
    const closed = new Promise((r) => d.addEventListener("close", r, { once: true }));
    [...d.querySelectorAll("button")].find((b) => b.textContent.replace("&", "").startsWith(label)).click();
    return closed;
  }, label);
  return text;
}

// The colour at the middle of a cell as drawn on the canvas.
export function cellrgb(page, col, row) {
  return page.evaluate((col, row) => {
    const c = document.getElementById("PaintBox1");
    const t = c.width / 58;
    return [...c.getContext("2d").getImageData(Math.floor((col - 0.5) * t), Math.floor((row - 0.5) * t), 1, 1).data.slice(0, 3)];
  }, col, row);
}

export function check(ok, what) {
  if (!ok) throw new Error(`failed: ${what}`);
  console.log(`ok: ${what}`);
}
