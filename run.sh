#!/usr/bin/env bash
# Builds the editor and the command-line program tessaron-pack (release with
# debug info, both in build/default) and starts the editor.
#   ./run.sh --web   builds the browser edition into build/web and serves it
#                    on http://127.0.0.1:8080 (this machine only).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
if [ "${1:-}" = --web ]; then
  tess_ensure_packages $(tess_web_packages)
  cmake --preset default >/dev/null
  cmake --build --preset default --target tessaron-pack -- -j2
  scripts/build-web.sh build/default/tessaron-pack
  echo "Der Editor im Browser: http://127.0.0.1:8080/  (beenden mit Strg+C)"
  exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build/web
fi
tess_ensure_packages
cmake --preset default >/dev/null
cmake --build --preset default --target tessaronedit tessaron-pack -- -j2
echo "Gebaut: build/default/tessaronedit und build/default/tessaron-pack"
exec ./build/default/tessaronedit "$@"
