// SPDX-License-Identifier: MIT
// Writes the pack each scenario of the book must give, as NN.pak (NN its
// 1-based place in the book), for runners that cannot run the model.
// Usage: node expect.mjs BOOK OUTDIR
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { play } from "./model.mjs";

const [book, out] = process.argv.slice(2);
const { scenarios } = JSON.parse(readFileSync(book, "utf8"));
mkdirSync(out, { recursive: true });
scenarios.forEach((s, i) => {
  try {
    writeFileSync(join(out, `${String(i + 1).padStart(2, "0")}.pak`), play(s));
  } catch (e) {
    console.error(`book: scenario "${s.name}": ${e.message}`);
    process.exitCode = 1;
  }
});
console.log(`${scenarios.length} expected packs in ${out}`);
