#!/usr/bin/env bash
# Builds and runs every test: first the release build, then the whole suite
# again under address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh

export QT_QPA_PLATFORM=offscreen

for preset in default sanitize; do
  echo "== $preset: configure, build, test"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -- -j2
  ctest --preset "$preset"
done
