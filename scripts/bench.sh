#!/usr/bin/env bash
# Builds and runs the drawing benchmark (release with debug info, headless).
# Extra arguments go to the benchmark, e.g. --benchmark_filter=FullRepaint.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
tess_ensure_packages
cmake --preset default >/dev/null
cmake --build --preset default --target tess_bench -- -j2
QT_QPA_PLATFORM=offscreen exec ./build/default/bench/tess_bench "$@"
