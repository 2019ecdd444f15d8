// SPDX-License-Identifier: MIT
// A small reference model of the pack bytes the editor must write, kept
// apart from the core: new-pack records, and a level stored back from its
// cells and properties (switch table in scan order, border ring 6).
export const reclen = 1536, levellen = 1440;

export function newpack() {
  const pack = new Uint8Array(111 * reclen);
  for (let i = 0; i < 111; ++i) {
    pack[i * reclen + 1445] = 0x20;
    const title = `-------LEVEL-${String(i + 1).padStart(3, "0")}-------`;
    for (let k = 0; k < 23; ++k) pack[i * reclen + 1446 + k] = title.charCodeAt(k);
  }
  return pack;
}

// The record a working level (editor codes 0..43, maybe marked) stores back
// as, and whether the switch-limit question is asked on the way.
export function storeback(cells, { title = "", infotrons = 0, gravity = false } = {}) {
  const rec = new Uint8Array(reclen);
  for (let i = 0; i < levellen; ++i) rec[i] = cells[i] & 0x7f;
  let n = 0;
  for (let row = 1; row <= 22; ++row)
    for (let col = 0; col <= 58; ++col) {
      const i = row * 60 + col;
      const port1 = rec[i] >= 13 && rec[i] <= 16, port0 = rec[i] >= 40 && rec[i] <= 43;
      if (!port1 && !port0) continue;
      if (n < 11) {
        const e = 1472 + 6 * n;
        rec[e] = (i * 2) >> 8;
        rec[e + 1] = (i * 2) & 0xff;
        rec[e + 2] = port1 ? 1 : 0;
      }
      if (port0) rec[i] -= 27;
      ++n;
    }
  rec[1471] = Math.min(n, 11);
  rec[1470] = infotrons & 0xff;
  rec[1444] = gravity ? 1 : 0;
  rec[1445] = 0x20;
  for (let k = 0; k < 23; ++k) rec[1446 + k] = k < title.length ? title.charCodeAt(k) : 0x20;
  for (let c = 0; c < 60; ++c) rec[c] = rec[23 * 60 + c] = 6;
  for (let r = 1; r < 23; ++r) rec[r * 60] = rec[r * 60 + 59] = 6;
  return { record: rec, asks: n >= 12 };
}

// Stores level index from cells and properties, as answering yes would.
export function store(pack, index, cells, fields) {
  pack.set(storeback(cells, fields).record, index * reclen);
}

export function levellist(pack) {
  const list = new Uint8Array(111 * 28);
  for (let i = 0; i < 111; ++i) {
    list.set([0x2d, 0x2d], i * 28);
    list.set(pack.subarray(i * reclen + 1446, i * reclen + 1469), i * 28 + 2);
    list.set([0x2d, 0x2d, 0], i * 28 + 25);
  }
  return list;
}

// Sets the rectangle of cells between two corners (inclusive) to code.
export function fill(cells, [c0, r0], [c1, r1], code) {
  for (let r = Math.min(r0, r1); r <= Math.max(r0, r1); ++r)
    for (let c = Math.min(c0, c1); c <= Math.max(c0, c1); ++c) cells[r * 60 + c] = code;
}
