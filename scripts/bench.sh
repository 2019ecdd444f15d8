#!/usr/bin/env bash
# Builds and runs the drawing benchmark (release with debug info, headless),
# once at each device pixel ratio in TESS_BENCH_RATIOS (default "1 1.5 2").
# Extra arguments go to the benchmark, e.g. --benchmark_filter=FullRepaint.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
tess_ensure_packages
cmake --preset default >/dev/null
cmake --build --preset default --target tess_bench -- -j2
for ratio in ${TESS_BENCH_RATIOS:-1 1.5 2}; do
  echo "== device pixel ratio $ratio"
  QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$ratio ./build/default/bench/tess_bench "$@"
done
