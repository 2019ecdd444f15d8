// SPDX-License-Identifier: MIT
// The page without network, served from a sub-path: one visit, the server
// stopped, a reload opens the editor and it paints; then a changed build
// served: it is offered only once the unsaved work is saved, and takes over
// on "Ja". Usage: node offline.mjs WEBDIR TMPDIR [SHOTDIR]
import { cpSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { answer, cellrgb, check, downloadingpage, drag, launch, needs, serve } from "./harness.mjs";

const [webdir, tmp, shots] = process.argv.slice(2).map((p) => p && resolve(p));
needs(webdir);
rmSync(tmp, { recursive: true, force: true });
const site = join(tmp, "site");
cpSync(webdir, site, { recursive: true });
mkdirSync(join(tmp, "downloads"));
const base = "/ein/pfad/";
let server = await serve(site, base);
const browser = await launch(join(tmp, "profile"), 1, join(tmp, "downloads"));
try {
  // Without a save picker the page downloads, into the test's own folder.
  const page = await downloadingpage(browser, join(tmp, "downloads"));
  const ready = () => page.waitForFunction(() => window.tessReady === true);
  await page.goto(server.url);
  await ready();
  await page.evaluate(() => navigator.serviceWorker.ready);

  server.close();
  await page.reload();
  await ready();
  await drag(page, [4, 4], [6, 5]);
  check(!(await cellrgb(page, 5, 5)).every((v) => v === 0), "with the server gone the page opens again and paints");

  // A new build: another worker beside the same files.
  const sw = join(site, "sw.js");
  writeFileSync(sw, readFileSync(sw, "utf8").replace('const build = "', 'const build = "neu-'));
  server = await serve(site, base, server.port);
  await page.evaluate(async () => {
    const reg = await navigator.serviceWorker.getRegistration();
    await reg.update();
    while (!reg.waiting) await new Promise((r) => setTimeout(r, 50));
  });
  await new Promise((r) => setTimeout(r, 500));
  const offered = () => page.$eval("#update", (e) => !e.hidden);
  check(!(await offered()), "the new build is not offered while work is unsaved");
  await page.keyboard.down("Control");
  await page.keyboard.press("s");
  await page.keyboard.up("Control");
  await answer(page, "Nein", "Levelliste erzeugen?");
  await page.waitForSelector("#update:not([hidden])");
  check(await offered(), "once saved, the new build is offered");
  if (shots) {
    mkdirSync(shots, { recursive: true });
    for (const scale of [1, 2]) {
      await page.setViewport({ width: 1100, height: 760, deviceScaleFactor: scale });
      await page.click("#ToolButton5");
      await page.click("#ToolButton4");
      await page.screenshot({ path: join(shots, `offline-update-${scale * 100}.png`) });
    }
  }
  await Promise.all([page.waitForNavigation(), page.click("#update button")]);
  await ready();
  const caches = await page.evaluate(() => window.caches.keys());
  check(caches.length === 1 && caches[0].startsWith("tessaron-neu-"), "\"Ja\" reloads into the new build; the old cache is gone");
} finally {
  await browser.close();
  server.close();
}
