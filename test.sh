#!/usr/bin/env bash
# Builds and runs every test: the release build's suite (with the map round
# trip through Tiled's own tools, the Debian package checks and the editor
# killed and recovered under a real X server), a minute of fuzzing pack files,
# maps, journals, settings and clipboard blocks with clang's libFuzzer after
# replaying the saved inputs, the whole suite again under address and
# undefined-behaviour sanitizers, and the browser edition in headless
# chromium and firefox-esr. Ends with how long each part took.
# Here every tool the tests need is installed, so a test that reports itself
# skipped fails the run.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
# tiled: its tessaron-pack round trip; appstream, lintian, dpkg-dev: the package
# check; xvfb, xdotool: the editor killed and recovered under a real X server;
# emscripten, chromium, firefox-esr, node and npm: the browser edition and its tests.
tess_ensure_packages clang-14 libclang-rt-14-dev tiled appstream lintian dpkg-dev xvfb xdotool \
  firefox-esr $(tess_web_packages)

export QT_QPA_PLATFORM=offscreen TESS_NO_SKIP=1

parts=()
report() {
  echo "== how long each part took"
  printf '   %s\n' "${parts[@]}"
}
trap report EXIT
# part NAME COMMAND...: runs the command and notes how long it took.
part() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  parts+=("$(printf '%-18s %3d min %02d s' "$name:" $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)))")
}
# tests PRESET [CTEST-ARG...]: runs the preset's tests; a skipped one fails.
tests() {
  local log
  log=$(mktemp)
  ctest --preset "$@" | tee "$log"
  if grep -q "(Skipped)\|\*\*\*Not Run" "$log"; then
    echo "FAILED: a test was skipped or did not run (see above); under ./test.sh every test must run"
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}
build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -- -j2
}

start=$SECONDS
part "release build" build default
part "release suite" tests default -LE web
part "browser tests" tests default -L web
part "fuzzing" scripts/fuzz.sh 60
part "sanitizer build" build sanitize
part "sanitizer suite" tests sanitize
parts+=("$(printf '%-18s %3d min %02d s' "all:" $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)))")
