#!/usr/bin/env bash
# Builds the browser edition into build/web: the core and its binding in
# WebAssembly (preset wasm, Debian's emscripten), the TypeScript bundle, the
# page, and the tile sheet written by tessaron-pack, the program given as $1.
# The folder is static and uses relative addresses only: any web server can
# serve it as it is, under any path.
set -euo pipefail
cd "$(dirname "$0")/.."
pack_tool=${1:?usage: build-web.sh PATH-TO-TESSARON-PACK}
out=build/web

# Debian's emscripten runs its optimizer under node with Debian's acorn.
export NODE_PATH=/usr/share/nodejs
cmake --preset wasm >/dev/null
cmake --build --preset wasm -- -j2

# npm ci only when the lock file changed since the last install.
if [ ! -f web/node_modules/.tess-installed ] || [ web/package-lock.json -nt web/node_modules/.tess-installed ]; then
  (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  touch web/node_modules/.tess-installed
fi
(cd web && npx tsc --noEmit -p .)

rm -rf "$out.new"
mkdir -p "$out.new"
web/node_modules/.bin/esbuild web/src/main.ts --bundle --minify --format=iife --target=es2020 --loader:.md=text \
  --outfile="$out.new/app.js" --log-level=warning
cp web/index.html web/style.css web/manifest.webmanifest build/wasm/web/core/webcore.js \
  build/wasm/web/core/webcore.wasm "$out.new/"
cp assets/icons/tessaronedit-32.png "$out.new/icon.png"
# The web app's icons: the desktop icons scaled by whole factors.
node web/tools/scaleicon.mjs assets/icons/tessaronedit-48.png 4 "$out.new/icon-192.png"
node web/tools/scaleicon.mjs assets/icons/tessaronedit-256.png 2 "$out.new/icon-512.png"

# The tile sheet of the map files, from a pack of empty levels.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
head -c 170496 /dev/zero >"$tmp/empty.pak"
QT_QPA_PLATFORM=offscreen "$pack_tool" export "$tmp/empty.pak" "$tmp/maps" --level 1 >/dev/null
cp "$tmp/maps/tiles.png" "$out.new/tiles.png"

# The service worker carries the build's id, taken from what it caches: any
# change to the page makes a new worker, which the browser fetches and the
# page offers.
build=$(cd "$out.new" && cat index.html app.js webcore.js webcore.wasm tiles.png style.css manifest.webmanifest \
  icon.png icon-192.png icon-512.png | sha256sum | cut -c1-16)
sed "s/__BUILD__/$build/" web/sw.js >"$out.new/sw.js"

rm -rf "$out"
mv "$out.new" "$out"
echo "Built $out"
