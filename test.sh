#!/usr/bin/env bash
# Builds and runs every test: the release build's suite (with the map round
# trip through Tiled's own tools, the Debian package checks and the browser
# edition in headless chromium), a minute of
# fuzzing pack files and maps with clang's libFuzzer after replaying the saved inputs,
# then the whole suite again under address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
# tiled: its tessaron-pack round trip; appstream, lintian, dpkg-dev: the package
# check; xvfb, xdotool: the editor killed and recovered under a real X server;
# emscripten, chromium, node and npm: the browser edition and its web_ tests.
tess_ensure_packages clang-14 libclang-rt-14-dev tiled appstream lintian dpkg-dev xvfb xdotool $(tess_web_packages)

export QT_QPA_PLATFORM=offscreen

suite() {
  echo "== $1: configure, build, test"
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -- -j2
  ctest --preset "$1"
}

suite default
echo "== fuzz: replay the saved packs and maps, then fuzz both for a minute in all"
scripts/fuzz.sh 60
suite sanitize
