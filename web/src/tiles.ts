// SPDX-License-Identifier: MIT
// The tile pictures: the map tile sheet the command-line program writes
// (16 by 16 pixels per tile, 16 tiles a row), and the same sheet inverted for
// marked cells.

export interface TileSheets { plain: HTMLCanvasElement; inverted: HTMLCanvasElement }

export async function loadtiles(url: string): Promise<TileSheets> {
  const img = new Image();
  img.src = url;
  await img.decode();
  const plain = document.createElement("canvas");
  plain.width = img.width;
  plain.height = img.height;
  plain.getContext("2d")!.drawImage(img, 0, 0);
  const inverted = document.createElement("canvas");
  inverted.width = img.width;
  inverted.height = img.height;
  const ictx = inverted.getContext("2d")!;
  const px = plain.getContext("2d")!.getImageData(0, 0, img.width, img.height);
  for (let i = 0; i < px.data.length; i += 4) {
    px.data[i] = 255 - px.data[i];
    px.data[i + 1] = 255 - px.data[i + 1];
    px.data[i + 2] = 255 - px.data[i + 2];
  }
  ictx.putImageData(px, 0, 0);
  return { plain, inverted };
}

// Draws tile code at (x, y) in a square of size pixels.
export function drawtile(ctx: CanvasRenderingContext2D, sheets: TileSheets, code: number, inverted: boolean,
                         x: number, y: number, size: number): void {
  ctx.drawImage(inverted ? sheets.inverted : sheets.plain, (code & 15) * 16, (code >> 4) * 16, 16, 16, x, y, size, size);
}

// Gives canvas a CSS size of w by h and a backing store of as many device
// pixels, drawn in CSS pixels without smoothing, so tiles stay crisp.
export function sizecanvas(canvas: HTMLCanvasElement, ctx: CanvasRenderingContext2D, w: number, h: number): void {
  const dpr = window.devicePixelRatio || 1;
  canvas.style.width = `${w}px`;
  canvas.style.height = `${h}px`;
  canvas.width = Math.round(w * dpr);
  canvas.height = Math.round(h * dpr);
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.imageSmoothingEnabled = false;
}
