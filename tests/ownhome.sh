#!/usr/bin/env bash
# Runs one test in a home of its own: a private folder below /tmp that holds
# its settings, data, caches and temporary files, and is removed afterwards.
# It lies outside the clone, so a browser's sockets fit into a socket path and
# no tool meets spaces or umlauts, wherever the clone lies.
# Under ./test.sh (TESS_NO_SKIP set) a test that reports itself skipped (77)
# fails the run: there every tool it needs is installed.
#   ownhome.sh COMMAND [ARG...]
set -u
home=$(mktemp -d /tmp/tess.XXXXXXXX) || exit 1
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/tmp" "$home/.config" "$home/.local/share" "$home/.local/state" "$home/.cache"
export HOME=$home TMPDIR=$home/tmp XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_STATE_HOME=$home/.local/state XDG_CACHE_HOME=$home/.cache
"$@"
rc=$?
if [ "$rc" = 77 ] && [ -n "${TESS_NO_SKIP-}" ]; then
  echo "FAILED: the test skipped itself (see above for what is missing); under ./test.sh every test must run"
  rc=1
fi
exit "$rc"
