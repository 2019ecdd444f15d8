// SPDX-License-Identifier: MIT
// Plays the scenario book (tests/book/book.json) on the page in headless
// chromium with real mouse and key events at the cells' positions, saves,
// and compares the saved bytes with the pack the book's model computes.
// Usage: node book.mjs WEBDIR TMPDIR [PART-OF-A-NAME]
import { readFileSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { answer, cellxy, fakepicker, launch, needs, pick, serve } from "./harness.mjs";
import { play } from "../../tests/book/model.mjs";

const [webdir, tmp] = process.argv.slice(2, 4).map((p) => resolve(p));
const only = process.argv[4] ?? "";
needs(webdir);
const bookdir = fileURLToPath(new URL("../../tests/book/", import.meta.url));
const scenarios = JSON.parse(readFileSync(join(bookdir, "book.json"), "utf8")).scenarios.filter((s) => s.name.includes(only));

// Where two packs first differ, in the book's words.
export function difference(want, got) {
  if (got.length !== want.length) return `the saved file has ${got.length} bytes, not ${want.length}`;
  const i = want.findIndex((v, k) => v !== got[k]);
  if (i < 0) return "";
  const b = i % 1536;
  const where = b < 1440 ? `cell (${b % 60},${Math.trunc(b / 60)})` : `record byte ${b}`;
  return `first difference at byte ${i}: level ${Math.trunc(i / 1536) + 1}, ${where}: expected ${want[i]}, got ${got[i]}`;
}

const limit = "maximal 11 Gravitationsschalter";
const field = (page, id) => page.$eval(`#${id}`, (e) => e.value);
// The message box on top: a question may open over the replace dialog.
const question = (page) => page.evaluate(() => [...document.querySelectorAll("dialog.box[open]")].pop()?.textContent ?? "");

async function step(page, s) {
  const at = (c) => cellxy(page, ...c);
  const withctrl = async (ctrl, fn) => {
    if (ctrl) await page.keyboard.down("Control");
    await fn();
    if (ctrl) await page.keyboard.up("Control");
  };
  if (s.drag) {
    for (const t of [{ press: s.drag, at: s.from, ctrl: s.ctrl }, { move: s.to }, { release: s.drag }]) await step(page, t);
  } else if (s.press) {
    const [x, y] = await at(s.at);
    await page.mouse.move(x, y);
    await withctrl(s.ctrl, () => page.mouse.down({ button: s.press }));
  } else if (s.move) {
    await page.mouse.move(...(await at(s.move)));
  } else if (s.release) {
    await page.mouse.up({ button: s.release });
  } else if (s.key) {
    const [ctrl, k] = s.key.startsWith("Ctrl+") ? [true, s.key.slice(5).toLowerCase()] : [false, s.key];
    await withctrl(ctrl, () => page.keyboard.press(k));
  } else if (s.point) {
    await page.mouse.move(...(await at(s.point)));
  } else if (s.menu) {
    // The menu's title, then the item, clicked as a user would.
    const item = await page.evaluateHandle((caption) => [...document.querySelectorAll("#MainMenu1 .items button")]
      .find((b) => b.querySelector(".label")?.textContent === caption), s.menu);
    if (!(await item.evaluate((b) => b !== undefined))) return `no menu item "${s.menu}"`;
    await (await item.evaluateHandle((b) => b.closest(".menu").querySelector(".menutitle"))).click();
    const greyed = await item.evaluate((b) => b.disabled);
    // Where the browser can read the system clipboard, the page cannot know
    // before reading it that nothing is there to paste: it keeps these two
    // enabled where the desktop, which sees the clipboard, greys them.
    const unknowable = s.greyed === true && !greyed && ["Einfügen", "Level einfügen"].includes(s.menu) &&
      await page.evaluate(() => typeof navigator.clipboard?.readText === "function");
    if (greyed || unknowable) await page.keyboard.press("Escape");
    if (greyed !== (s.greyed === true) && !unknowable) return `"${s.menu}" is ${greyed ? "" : "not "}greyed`;
    if (greyed || unknowable) return "";
    if (s.menu.startsWith("Level aus Tiled")) {
      // The map exported last, picked in the browser's file chooser.
      const [name, bytes] = await page.evaluate(() => Object.entries(window.bookfolder).find(([n]) => n.endsWith(".tmx")));
      writeFileSync(join(tmp, name), Uint8Array.from(bytes));
      await page.$eval("#status", (e) => { e.textContent = ""; });
      const [chooser] = await Promise.all([page.waitForFileChooser(), item.click()]);
      await chooser.accept([join(tmp, name)]);
      // The map is read after the pick; the next step waits for it, or for a question.
      await page.waitForFunction(() => document.getElementById("status").textContent.startsWith("Importiert") ||
        document.querySelector("dialog.box[open]"));
    } else await item.click();
    await asked(page, s.answer);
    if (s.unsaved) await answer(page, s.unsaved === "discard" ? "Verwerfen" : "Abbrechen", "geändert");
    if (s.refused) await answer(page, "OK", "rückgängig");
    const left = await question(page);
    if (left) return `unexpected message: ${left}`;
  } else if (s.replace) {
    // Strg+H, the two lists, the scope, "Ersetzen", then "Schließen".
    await withctrl(true, () => page.keyboard.press("h"));
    await page.waitForSelector("#ReplaceDialog[open]");
    for (const [box, code] of [["ComboBox1", s.replace[0]], ["ComboBox2", s.replace[1]]]) {
      await page.click(`#${box} .current`);
      await page.click(`#${box} [data-code="${code}"]`);
    }
    await page.click(`#RadioButton${{ marks: 1, level: 2, levels: 3 }[s.in]}`);
    await page.click("#ReplaceButton1");
    await asked(page, s.answer);
    await page.click("#ReplaceButton3");
  } else if (s.tool) {
    await page.click(s.tool === "select" ? "#ToolButton2" : "#ToolButton1");
  } else if (s.palette) {
    await pick(page, s.tile, s.palette);
  } else if (s.level) {
    const before = Number(await field(page, "Edit1"));
    const to = before + Number(s.level);
    await page.click("#Edit1");
    await page.keyboard.press(to > before ? "ArrowUp" : "ArrowDown");
    await page.waitForFunction((to) => document.getElementById("Edit1").value === String(to) ||
      document.querySelector("dialog.box[open]"), {}, to);
    await asked(page, s.answer);
    const now = Number(await field(page, "Edit1"));
    if (now !== (s.answer === "no" ? before : to)) return `the level is ${now} after the step`;
  } else if (s.title !== undefined || s.infotrons !== undefined) {
    await page.click(s.title !== undefined ? "#Edit2" : "#Edit3", { clickCount: 3 });
    await page.keyboard.type(String(s.title ?? s.infotrons));
  } else if (s.overview) {
    await overview(page, s);
  } else if (s.gravity) {
    await page.click("#CheckBox1");
  } else {
    return `unknown step ${JSON.stringify(s)}`;
  }
  return "";
}

// The level overview, opened with F2 when it is not open: a drag from one
// level's thumbnail onto another's with the mouse, or keys pressed in it.
async function overview(page, s) {
  const frame = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r())));
  if (await page.$eval("#Levelbersicht", (e) => e.hidden)) await page.keyboard.press("F2");
  await frame();
  if (s.overview === "drag") {
    const centre = (n) => page.$eval(`.thumb[data-slot="${n - 1}"] canvas`, (c) => {
      const r = c.getBoundingClientRect();
      return [r.left + r.width / 2, r.top + r.height / 2];
    });
    const [from, to] = [await centre(s.from), await centre(s.to)];
    await page.mouse.move(...from);
    await page.mouse.down();
    await page.mouse.move(from[0] + 20, from[1], { steps: 2 });
    await page.mouse.move(...to, { steps: 4 });
    await page.mouse.up();
  } else {
    await page.focus(".thumbs");
    for (const k of s.keys) await page.keyboard.press({ Right: "ArrowRight", Left: "ArrowLeft", Return: "Enter" }[k] ?? k);
  }
  await asked(page, s.answer);
  await frame();
}

// Answers the switch-limit question as the book says; throws when the book
// and the page disagree on whether it is asked.
async function asked(page, said) {
  const text = await question(page);
  if (text.includes(limit) !== (said !== undefined))
    throw new Error(said ? "the switch-limit question was not asked" : `unexpected question: ${text}`);
  if (!said) return;
  // Another question may follow at once, so wait for this one to close.
  const dlg = await page.evaluateHandle(() => [...document.querySelectorAll("dialog.box[open]")].pop());
  await dlg.evaluate((d, label) => [...d.querySelectorAll("button")].find((b) => b.textContent.startsWith(label)).click(),
    said === "yes" ? "Ja" : "Nein");
  await page.waitForFunction((d) => !d.open, {}, dlg);
}

const server = await serve(webdir);
const browser = await launch(join(tmp, "profile"));
const failures = [];
const started = Date.now();
try {
  // A fresh page for each scenario; a fresh browser context (no kept work to
  // recover) only after a scenario that did not save.
  let context, page, cdp, name;
  for (const [n, sc] of scenarios.entries()) {
    name = sc.name;
    try {
      if (!page) {
        context = await browser.createBrowserContext();
        page = await context.newPage();
        page.on("pageerror", (e) => failures.push(`book, web, "${name}": page error ${e.message}`));
        await page.evaluateOnNewDocument(fakepicker);
        cdp = await page.createCDPSession();
        await page.goto(server.url);
      } else {
        // No work kept from the scenario before: a late journal write must not
        // offer a recovery on the new page.
        await cdp.send("Storage.clearDataForOrigin", { origin: new URL(server.url).origin, storageTypes: "indexeddb" });
        await page.reload();
      }
      await page.waitForFunction(() => window.tessReady === true || document.querySelector("dialog[open]"));
      const opened = await question(page);
      if (opened) throw new Error(`the new page asks: ${opened}`);
      await fitgrid(page);
      let failed = "";
      for (const [i, s] of sc.steps.entries()) {
        failed = await step(page, s);
        if (failed) { failed = `step ${i + 1}: ${failed}`; break; }
      }
      if (!failed) {
        await page.keyboard.down("Control");
        await page.keyboard.press("s");
        await page.keyboard.up("Control");
        await page.waitForFunction(() => document.querySelector("dialog.box[open]"));
        await asked(page, sc.saveanswer);
        await answer(page, "Nein", "Levelliste erzeugen?");
        const saved = Uint8Array.from(await page.evaluate(() => window.booksaved ?? []));
        failed = difference(play(sc), saved);
      }
      if (failed) throw new Error(failed);
      console.log(`ok ${n + 1}: ${sc.name}`);
    } catch (e) {
      failures.push(`book, web, "${sc.name}": ${e.message}`);
      await context.close();
      page = undefined;
    }
  }
} finally {
  await browser.close();
  server.close();
}
for (const f of failures) console.log(`FAIL ${f}`);
console.log(`${scenarios.length - failures.length} of ${scenarios.length} scenarios pass on the page (${((Date.now() - started) / 1000).toFixed(1)} s)`);
process.exit(failures.length ? 1 : 0);

// Zooms out until the whole grid is in sight in its frame and the book's
// cells beyond its right and bottom edges lie inside the viewport; cells left of and above it are reached with
// positions left of and above the viewport, which the left button's capture follows.
async function fitgrid(page) {
  for (let k = 0; k < 8; ++k) {
    const fits = await page.evaluate(() => {
      const r = document.getElementById("PaintBox1").getBoundingClientRect();
      const frame = document.getElementById("Panel5");
      const seen = frame.getBoundingClientRect();
      const t = r.width / 58;
      return r.right <= seen.left + frame.clientLeft + frame.clientWidth &&
        r.bottom <= seen.top + frame.clientTop + frame.clientHeight &&
        r.right + 7 * t <= innerWidth && r.bottom + 6 * t <= innerHeight;
    });
    if (fits) return;
    await page.click("#ToolButton5");
  }
  throw new Error("the grid does not fit the viewport at any zoom");
}
