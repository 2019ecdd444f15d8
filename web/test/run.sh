#!/usr/bin/env bash
# Runs one of the browser tests, or the WebAssembly core tests (core), and
# exits 77 (skipped) when what it needs is not built or not installed.
#   run.sh core WASM-BUILD-DIR
#   run.sh e2e|recovery|bench|book|offline|saveinplace|firefox|firefox_NAME WEBDIR [WORKDIR [ARG...]]
# WORKDIR (the browser's profile, downloads) defaults to a new folder in $TMPDIR.
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
browser=chromium
if [ "${what%%_*}" = firefox ]; then
  # The same steps as in chromium, in Debian's firefox-esr.
  what=${what#firefox_} browser=firefox
  [ "$what" = firefox ] && what=e2e
  [ -x /usr/bin/firefox-esr ] || skip "Debian's firefox-esr is not installed"
fi
[ -x /usr/bin/chromium ] || skip "Debian's chromium is not installed"
[ -d "$here/../node_modules/puppeteer-core" ] || skip "npm ci has not run in web/"
[ -f "$1/index.html" ] || skip "build/web is not built"
webdir=$1 work=${2:-$(mktemp -d)}
shift $(($# < 2 ? $# : 2))
TESS_BROWSER=$browser exec node "$here/$what.mjs" "$webdir" "$work" "$@"
