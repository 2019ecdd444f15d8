// SPDX-License-Identifier: MIT
// The page as a user works it, in headless chromium with real mouse and key
// events: paint with both buttons, mark and drag, copy and paste across
// levels, fields, level switches with the switch-limit question, undo and
// redo, bad files, save and level list, a longer file, a level to Tiled and
// back, the overview, the replace dialog. The saved bytes must equal the pack
// the reference model computes. In chromium, or in firefox-esr with
// TESS_BROWSER=firefox. Usage: node e2e.mjs WEBDIR TMPDIR [SHOTDIR]
import { execFileSync } from "node:child_process";
import { mkdirSync, readFileSync, readdirSync, rmSync, truncateSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { answer, cellrgb, check, downloadingpage, drag, launch, needs, pick, serve } from "./harness.mjs";
import { fill, levellist, newpack, store } from "../../tests/book/pack.mjs";

const [webdir, tmp, shots] = process.argv.slice(2).map((p) => p && resolve(p));
needs(webdir);
rmSync(tmp, { recursive: true, force: true });
mkdirSync(join(tmp, "downloads"), { recursive: true });
const server = await serve(webdir);
const browser = await launch(join(tmp, "profile"), 1, join(tmp, "downloads"));
try {
  // Without a save picker the page downloads, into the test's own folder.
  const page = await downloadingpage(browser, join(tmp, "downloads"));
  await page.goto(server.url);
  await page.waitForFunction(() => window.tessReady === true);
  const key = (k) => page.keyboard.press(k);
  const field = (id) => page.$eval(`#${id}`, (e) => e.value ?? e.textContent);
  const cells = [1, 2, 3].map(() => new Uint8Array(1440));
  const ctrl = async (k, shift = false) => {
    await page.keyboard.down("Control");
    if (shift) await page.keyboard.down("Shift");
    await key(k);
    if (shift) await page.keyboard.up("Shift");
    await page.keyboard.up("Control");
  };

  // Level 1: a rectangle of 2 with the left button, infotrons with the right.
  await drag(page, [3, 3], [6, 5]);
  fill(cells[0], [3, 3], [6, 5], 2);
  await pick(page, 4, "right");
  await drag(page, [12, 10], [10, 10], "right");
  fill(cells[0], [10, 10], [12, 10], 4);
  check(await field("Label4") === " / 003", "the counter shows the three infotrons");

  // Mark two columns and drag them away with the left button: the source empties.
  await page.click("#ToolButton2");
  await drag(page, [3, 3], [4, 5]);
  await drag(page, [3, 4], [20, 4]);
  fill(cells[0], [3, 3], [4, 5], 0);
  fill(cells[0], [20, 3], [21, 5], 2);
  const [mark, plain] = [await cellrgb(page, 20, 3), await cellrgb(page, 5, 3)];
  check(mark.every((v, i) => v === 255 - plain[i]), "the dragged cells are marked, drawn inverted");
  await ctrl("c");

  // Fields: a title with a character Latin-1 lacks, infotrons needed, gravity.
  // Click, Strg+A, type: firefox selects nothing on a triple click sent this way.
  const retype = async (id, text) => { await page.click(`#${id}`); await ctrl("a"); await page.keyboard.type(text); };
  await retype("Edit2", "Wüste €");
  check(await field("Edit2") === "Wüste ?", "the title keeps Latin-1 only");
  await retype("Edit3", "42");
  await page.click("#CheckBox1");

  // Level 2: the clipboard pastes where it was taken; then 12 ports.
  await page.click("#Edit1");
  await key("ArrowUp");
  await page.waitForFunction(() => document.getElementById("Edit1").value === "2");
  check(await field("Edit2") === "-------LEVEL-002-------", "level 2 shows its own title");
  await page.click("#status"); // out of the level field, whose keys are its own
  await ctrl("v");
  fill(cells[1], [20, 3], [21, 5], 2);
  await page.click("#ToolButton1");
  await pick(page, 13);
  await drag(page, [1, 15], [12, 15]);
  fill(cells[1], [1, 15], [12, 15], 13);
  await page.click("#Edit1");
  await key("ArrowUp");
  await answer(page, "Nein", "maximal 11 Gravitationsschalter");
  check(await field("Edit1") === "2", "answering no keeps level 2");
  await key("ArrowUp");
  await answer(page, "Ja", "maximal 11 Gravitationsschalter");
  await page.waitForFunction(() => document.getElementById("Edit1").value === "3");

  // Level 3: undo and redo with all three key combinations.
  await pick(page, 5);
  await drag(page, [15, 10], [16, 10]);
  await drag(page, [20, 12], [20, 12]);
  const black = async (col, row) => (await cellrgb(page, col, row)).every((v) => v === 0);
  check(!(await black(15, 10)) && !(await black(20, 12)), "both strokes show");
  await ctrl("z"); await ctrl("z");
  check(await black(15, 10), "two undos empty the first stroke's cells");
  await ctrl("y"); await ctrl("z"); await ctrl("z", true);
  fill(cells[2], [15, 10], [16, 10], 5);
  check(!(await black(15, 10)) && await black(20, 12), "redo brings the first stroke back, the second stays undone");

  // The guide with F1 and from the menu: the browser's lines, not the desktop's
  // "Testen", the tile table; "Über" names the version.
  const guide = () => page.$eval("#help", (d) => d.open && [...d.querySelectorAll("h3")].map((h) => h.textContent).join("|") +
    `|${d.querySelectorAll("tbody tr").length}`);
  const viamenu = async (id) => { await page.click(`#${id}Menu .menutitle`); await page.click(`#${id}`); };
  await key("F1");
  const heads = await guide();
  check(/Ohne Netz und als App.*Fenster und Hilfe\|Die Felder\|44$/.test(heads) && !heads.includes("Testen"), `F1 shows the page's guide: ${heads}`);
  await key("Escape");
  check(await guide() === false, "Escape closes the guide");
  await viamenu("Hilfe1");
  check(await guide() === heads, "the menu opens the same guide");
  await answer(page, "Schließen");
  await page.click("#Hilfe1Menu .menutitle");
  await page.click("#berTessaronLevelEditor1");
  await answer(page, "OK", "Tessaron Level - Editor Version 1.0");

  // Bad files: a level list and a short one leave the pack as it is.
  const input = await page.$("#OpenDialog1");
  const bad = [["list.lst", 3108, "Levelliste"], ["short.pak", 10, "10 Bytes"]];
  for (const [name, size, says] of bad) {
    const path = join(tmp, name);
    writeFileSync(path, "");
    truncateSync(path, size);
    await input.uploadFile(path);
    await answer(page, "OK", says);
    rmSync(path);
  }
  check(await field("Edit1") === "3", "the open pack survives the bad files");

  // Save: the pack as a download, then the level list.
  await ctrl("s");
  await answer(page, "Ja", "Levelliste erzeugen?");
  const downloads = join(tmp, "downloads");
  // Both files there and none still being written (chromium's .crdownload, firefox's .part).
  const done = () => { const f = readdirSync(downloads);
    return f.includes("Levelpack.pak") && f.includes("Levelpack.lst") && !f.some((n) => /\.(crdownload|part)$/.test(n)); };
  for (let k = 0; k < 100 && !done(); ++k) await new Promise((r) => setTimeout(r, 100));
  check(await field("status") === "Gespeichert: Levelpack.pak, Levelpack.lst, als Download im Download-Ordner des Browsers",
    "the status bar says where the download went");
  await page.waitForFunction(() => document.getElementById("packstate").title === "Levelpack.pak\nAlles gespeichert");
  const pack = newpack();
  store(pack, 0, cells[0], { title: "Wüste ?", infotrons: 42, gravity: true });
  store(pack, 1, cells[1], { title: "-------LEVEL-002-------" });
  store(pack, 2, cells[2], { title: "-------LEVEL-003-------" });
  const saved = readFileSync(join(downloads, "Levelpack.pak"));
  check(saved.length === pack.length && saved.equals(Buffer.from(pack)), "the saved pack equals the reference pack");
  check(readFileSync(join(downloads, "Levelpack.lst")).equals(Buffer.from(levellist(pack))), "the level list equals the reference list");

  // The saved file with 10 bytes more dropped onto the page opens again at
  // level 1, saying that the 10 bytes were left out.
  await page.evaluate((bytes) => {
    const dt = new DataTransfer();
    dt.items.add(new File([new Uint8Array(bytes)], "Levelpack.pak"));
    window.dispatchEvent(new DragEvent("drop", { dataTransfer: dt, cancelable: true }));
  }, [...saved, ...new Array(10).fill(7)]);
  await answer(page, "OK", "die folgenden 10 Bytes nicht");
  await page.waitForFunction(() => document.getElementById("Edit1").value === "1");
  check(await field("Edit2") === "Wüste ?".padEnd(23) && await field("Edit3") === "42", "the dropped pack shows level 1 as saved");
  if (shots) {
    mkdirSync(shots, { recursive: true });
    await page.screenshot({ path: join(shots, "web-100.png") });
    await key("F1");
    await page.screenshot({ path: join(shots, "guide-100.png") });
    await key("Escape");
    await page.setViewport({ width: 1100, height: 760, deviceScaleFactor: 2 });
    // Emulated pixel ratios send no change event; a zoom step lays the canvas out again.
    const rezoom = async () => { await page.click("#ToolButton5"); await page.click("#ToolButton4"); };
    await rezoom();
    await page.screenshot({ path: join(shots, "web-200.png") });
    await key("F1");
    await page.screenshot({ path: join(shots, "guide-200.png") });
    await key("Escape");
    await page.setViewport({ width: 1100, height: 760, deviceScaleFactor: 1 });
    await rezoom();
  }

  // A title with CR and LF, which a text field cannot show, is saved byte
  // for byte when only the infotrons changed.
  const odd = Buffer.from(saved);
  odd.write("Wüste\r\n", 1446, "latin1");
  await page.evaluate((bytes) => {
    const dt = new DataTransfer();
    dt.items.add(new File([new Uint8Array(bytes)], "Levelpack.pak"));
    window.dispatchEvent(new DragEvent("drop", { dataTransfer: dt, cancelable: true }));
  }, [...odd]);
  await page.waitForFunction(() => document.getElementById("Edit2").value.startsWith("Wüste"));
  await page.$eval("#Edit3", (e) => { e.focus(); e.select(); });
  await page.keyboard.type("43");
  for (const f of readdirSync(downloads)) rmSync(join(downloads, f));
  await ctrl("s");
  for (let k = 0; k < 100 && !readdirSync(downloads).includes("Levelpack.pak"); ++k) await new Promise((r) => setTimeout(r, 100));
  await new Promise((r) => setTimeout(r, 300));
  const again = readFileSync(join(downloads, "Levelpack.pak"));
  check(again.subarray(1446, 1469).equals(odd.subarray(1446, 1469)) && again[1470] === 43,
    "an unedited title is saved byte for byte");

  // Tiled: the map, tileset and sheet as downloads, byte for byte what
  // tessaron-pack exports; the map read back by tessaron-pack import gives
  // the saved record, CR LF in the title too; imported into the emptied
  // level it brings the level back.
  for (const f of readdirSync(downloads)) rmSync(join(downloads, f));
  const menu = async (title, id) => { await page.click(`#${title} .menutitle`); await page.click(`#${id}`); };
  await menu("Datei1", "LevelnachTiledexportieren1");
  const mapfiles = ["level001.tmx", "tiles.tsx", "tiles.png"];
  const exported = () => { const f = readdirSync(downloads);
    return mapfiles.every((n) => f.includes(n)) && !f.some((n) => /\.(crdownload|part)$/.test(n)); };
  for (let k = 0; k < 100 && !exported(); ++k) await new Promise((r) => setTimeout(r, 100));
  await new Promise((r) => setTimeout(r, 300));
  const back = join(tmp, "back.pak");
  writeFileSync(back, newpack());
  execFileSync(process.env.TESS_PACK_TOOL, ["import", downloads, back, "--level", "1"]);
  check(readFileSync(back).subarray(0, 1536).equals(again.subarray(0, 1536)), "tessaron-pack import reads the saved level from the map");
  execFileSync(process.env.TESS_PACK_TOOL, ["export", back, join(tmp, "cli"), "--level", "1"]);
  for (const f of mapfiles) check(readFileSync(join(tmp, "cli", f)).equals(readFileSync(join(downloads, f))), `${f} as tessaron-pack writes it`);
  await menu("Level1", "Levelleeren1");
  await (await page.$("#MapDialog1")).uploadFile(join(downloads, "level001.tmx"));
  await page.waitForFunction(() => document.getElementById("status").textContent === "Importiert: level001.tmx in Level 1");
  check((await field("Edit2")).startsWith("Wüste") && await field("Edit3") === "43", "the imported map brings the emptied level back");

  // A title edit becomes an undo step once the field is left.
  await page.$eval("#Edit2", (e) => { e.focus(); e.select(); });
  await page.keyboard.type("Neu");
  await page.keyboard.press("Tab");
  await page.click("#status");
  await ctrl("z");
  check((await field("Edit2")).startsWith("Wüste") && await field("Edit3") === "43", "undo takes back a title edit");
  await ctrl("s");

  // The overview (F2): a drag with the mouse moves level 1 onto slot 3, the
  // editor following it; Strg+Z takes the move back; End and Enter choose.
  await key("F2");
  const thumb = (n) => page.$eval(`.thumb[data-slot="${n}"] canvas`, (c) => {
    const r = c.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  });
  const [t0, t2, title] = [await thumb(0), await thumb(2), (await field("Edit2")).trim()];
  await page.mouse.move(...t0);
  await page.mouse.down();
  await page.mouse.move(...t2, { steps: 5 });
  await page.mouse.up();
  await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r())));
  check(await field("Edit1") === "3" && (await page.$eval('.thumb[data-slot="2"] .caption', (e) => e.textContent))
    .endsWith(title), "a drag in the overview moves the level, and the editor and its thumbnail follow it");
  await ctrl("z");
  check(await field("Edit1") === "1", "Strg+Z in the overview takes the move back");
  await key("End");
  await key("Enter");
  check(await field("Edit1") === "111", "End and Enter in the overview choose the last level");

  // The replace dialog with the mouse: the level's empty cells by tile 7,
  // counted before replacing; its "Rückgängig" leaves the pack as saved.
  await key("F2");
  await page.click("#status");
  await ctrl("h");
  await page.waitForSelector("#ReplaceDialog[open]");
  for (const [box, code] of [["ComboBox1", 0], ["ComboBox2", 7]]) {
    await page.click(`#${box} .current`);
    await page.click(`#${box} [data-code="${code}"]`);
  }
  await page.click("#RadioButton2");
  check(/^Es werden 1276 /.test(await field("ReplaceLabel1")), "the dialog counts the cells before replacing");
  await page.click("#ReplaceButton1");
  check(await field("ReplaceLabel1") === "1276 Felder ersetzt.", "Ersetzen replaces the level's empty cells");
  await page.click("#ReplaceButton2");
  await page.click("#ReplaceButton3");
  await page.waitForFunction(() => !document.getElementById("packstate").textContent.includes("geändert"), { timeout: 3000 })
    .catch(() => undefined);
  check(!(await field("packstate")).includes("geändert"), "Rückgängig in the dialog takes the replace back");

  let warned = false;
  page.on("dialog", (d) => { warned = true; return d.accept(); });
  await page.close({ runBeforeUnload: true });
  await new Promise((r) => setTimeout(r, 300));
  check(!warned, "closing the tab after the save asks nothing");
} finally {
  await browser.close();
  server.close();
}
