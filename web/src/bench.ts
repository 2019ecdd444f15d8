// SPDX-License-Identifier: MIT
// Timings taken in the page: a full repaint of the level view at tile 48
// against a floor of plain drawImage calls for the same cells, and the
// redraw of one stroke step. The load time is the "pack-shown" mark.

import { Command, Core } from "./core";
import { drawtile, TileSheets } from "./tiles";
import { LevelView } from "./view";

export interface BenchResult { repaint48: number; floor48: number; strokestep: number }

// Milliseconds per round of each run, the runs taking turns in every round
// so that a busy machine slows them alike; each round is settled by reading
// a pixel back so the canvas has really drawn. Returns the medians.
function time(ctx: CanvasRenderingContext2D, rounds: number, ...runs: (() => void)[]): number[] {
  const ms = runs.map(() => [] as number[]);
  for (let k = 0; k < rounds; ++k)
    runs.forEach((run, i) => {
      const t0 = performance.now();
      run();
      ctx.getImageData(0, 0, 1, 1);
      ms[i].push(performance.now() - t0);
    });
  return ms.map((m) => m.sort((a, b) => a - b)[Math.floor(rounds / 2)]);
}

export function runbench(core: Core, view: LevelView, sheets: TileSheets): BenchResult {
  const canvas = document.getElementById("PaintBox1") as HTMLCanvasElement;
  const ctx = canvas.getContext("2d")!;
  const before = view.tile;
  view.settile(48);
  const [repaint48, floor48] = time(ctx, 60, () => view.repaintall(), () => {
    for (let row = 0; row < 22; ++row)
      for (let col = 0; col < 58; ++col) drawtile(ctx, sheets, (row + col) % 44, false, col * 48, row * 48, 48);
  });
  // One move of a rectangle stroke growing by a column, and its redraw.
  core.press(0, false, 5, 5, 2, 0);
  view.putbuffer();
  let col = 5;
  const [strokestep] = time(ctx, 40, () => {
    col = col === 40 ? 6 : col + 1;
    core.move(col, 12);
    view.putbuffer();
  });
  core.move(5, 5);
  view.putbuffer();
  core.release();
  core.command(Command.undo); // the bench's stroke leaves no trace in the history
  view.settile(before);
  return { repaint48, floor48, strokestep };
}
