#!/usr/bin/env bash
# Runs one of the browser tests, or the WebAssembly core tests (core), and
# exits 77 (skipped) when what it needs is not built or not installed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
what=$1
shift
skip() { echo "skipped: $1"; exit 77; }
command -v node >/dev/null || skip "node is not installed"
if [ "$what" = core ]; then
  [ -f "$1/tests/tess_core_tests.js" ] || skip "the wasm preset is not built ($1)"
  exec node --no-experimental-fetch "$1/tests/tess_core_tests.js"
fi
[ -x /usr/bin/chromium ] || skip "Debian's chromium is not installed"
[ -d "$here/../node_modules/puppeteer-core" ] || skip "npm ci has not run in web/"
[ -f "$1/index.html" ] || skip "build/web is not built"
exec node "$here/$what.mjs" "$@"
