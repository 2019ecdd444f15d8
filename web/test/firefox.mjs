// SPDX-License-Identifier: MIT
// The page in Debian's firefox-esr, headless: it loads and paints with both
// buttons. Usage: node firefox.mjs WEBDIR TMPDIR
import { existsSync, rmSync } from "node:fs";
import { join, resolve } from "node:path";
import puppeteer from "puppeteer-core";
import { cellrgb, check, drag, needs, openpage, pick, serve } from "./harness.mjs";

const [webdir, tmp] = process.argv.slice(2).map((p) => resolve(p));
needs(webdir);
if (!existsSync("/usr/bin/firefox-esr")) { console.log("skipped: firefox-esr is not installed"); process.exit(77); }
rmSync(tmp, { recursive: true, force: true });
const server = await serve(webdir);
const browser = await puppeteer.launch({ browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
  userDataDir: join(tmp, "profile"), defaultViewport: { width: 1100, height: 760 } });
try {
  const page = await openpage(browser, server.url);
  await drag(page, [3, 3], [5, 4]);
  await pick(page, 4, "right");
  await drag(page, [8, 8], [9, 8], "right");
  check(await page.$eval("#Label4", (e) => e.textContent) === " / 002", "the counter shows the two infotrons");
  check(!(await cellrgb(page, 4, 4)).every((v) => v === 0), "the left-button rectangle is drawn");
} finally {
  await browser.close();
  server.close();
}
