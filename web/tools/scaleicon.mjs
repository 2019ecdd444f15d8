// SPDX-License-Identifier: MIT
// Scales an 8-bit RGB or RGBA PNG by a whole factor, each pixel becoming a
// square of pixels, so the pixel art keeps its hard edges. The web app's
// icons are made this way from the desktop icons at build time.
// Usage: node scaleicon.mjs IN.png FACTOR OUT.png
import { readFileSync, writeFileSync } from "node:fs";
import { deflateSync, inflateSync } from "node:zlib";

// zlib's CRC-32 as PNG chunks need it (node:zlib only has it from node 20.15;
// Debian 12 ships node 18).
const crctable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = crctable[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

const [input, factorarg, output] = process.argv.slice(2);
const factor = Number(factorarg);
const png = readFileSync(input);
const magic = png.subarray(0, 8);
if (png.length > 1 << 20 || !Number.isInteger(factor) || factor < 1 || factor > 16) throw new Error("usage: IN.png FACTOR(1..16) OUT.png");

let width = 0, height = 0, channels = 0;
const data = [];
for (let at = 8; at + 12 <= png.length;) {
  const len = png.readUInt32BE(at);
  const type = png.toString("latin1", at + 4, at + 8);
  const body = png.subarray(at + 8, at + 8 + len);
  if (type === "IHDR") {
    width = body.readUInt32BE(0); height = body.readUInt32BE(4);
    channels = { 2: 3, 6: 4 }[body[9]] ?? 0;
    if (body[8] !== 8 || !channels || body[12] !== 0 || width > 1024 || height > 1024) throw new Error(`${input}: not an 8-bit RGB(A) PNG without interlace`);
  } else if (type === "IDAT") data.push(body);
  at += 12 + len;
}
const raw = inflateSync(Buffer.concat(data), { maxOutputLength: height * (width * channels + 1) });
const stride = width * channels;
const pixels = Buffer.alloc(height * stride);
// Undoes the five PNG row filters.
for (let y = 0; y < height; ++y) {
  const filter = raw[y * (stride + 1)];
  for (let x = 0; x < stride; ++x) {
    const v = raw[y * (stride + 1) + 1 + x];
    const a = x >= channels ? pixels[y * stride + x - channels] : 0;
    const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
    const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
    const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    const pred = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
    if (pred === undefined) throw new Error(`${input}: unknown row filter ${filter}`);
    pixels[y * stride + x] = (v + pred) & 255;
  }
}
const outstride = stride * factor;
const out = Buffer.alloc(height * factor * (outstride + 1));
for (let y = 0; y < height * factor; ++y)
  for (let x = 0; x < width * factor; ++x)
    pixels.copy(out, y * (outstride + 1) + 1 + x * channels, Math.floor(y / factor) * stride + Math.floor(x / factor) * channels,
      Math.floor(y / factor) * stride + Math.floor(x / factor) * channels + channels);
const chunk = (type, body) => {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(body.length);
  head.write(type, 4, "latin1");
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])));
  return Buffer.concat([head, body, crc]);
};
const ihdr = Buffer.alloc(13);
ihdr.writeUInt32BE(width * factor, 0);
ihdr.writeUInt32BE(height * factor, 4);
ihdr[8] = 8; ihdr[9] = channels === 4 ? 6 : 2;
writeFileSync(output, Buffer.concat([magic, chunk("IHDR", ihdr), chunk("IDAT", deflateSync(out, { level: 9 })), chunk("IEND", Buffer.alloc(0))]));
