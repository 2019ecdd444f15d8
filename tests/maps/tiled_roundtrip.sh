#!/usr/bin/env bash
# The map files judged by Tiled's own tools, for a new, an edited and a
# foreign pack: every map and tiles.tsx re-saved by Tiled is the same file;
# every map saved by Tiled as JSON imports back to the same pack; and
# tmxrasterizer draws the levels as tessaron-pack render does.
#   tiled_roundtrip.sh TESSARON-PACK TESTPACKS [WORKDIR]   (default: a new folder in $TMPDIR)
set -euo pipefail
pack=$1 testpacks=$2 work=${3:-$(mktemp -d)}
if ! command -v tiled >/dev/null || ! command -v tmxrasterizer >/dev/null; then
  echo "SKIPPED: tiled and tmxrasterizer are not installed (apt-get install tiled)"
  exit 77
fi
export QT_QPA_PLATFORM=offscreen
rm -rf "$work" && mkdir -p "$work" && cd "$work"
"$testpacks" .
quiet() { "$@" 2>/dev/null; }

for p in new edited foreign; do
  "$pack" export $p.pak $p >/dev/null
  quiet tiled --export-tileset tsx $p/tiles.tsx $p/resaved.tsx
  cmp $p/tiles.tsx $p/resaved.tsx
  mkdir $p-json
  for map in $p/level*.tmx; do
    quiet tiled --export-map tmx "$map" $p/resaved.tmx
    cmp "$map" $p/resaved.tmx
    quiet tiled --export-map json "$map" $p-json/"$(basename "$map" .tmx)".tmj
  done
  "$pack" import $p-json $p-back.pak >/dev/null 2>&1
  cmp $p.pak $p-back.pak
  for n in 1 5 12 23 34 45 56 67 78 89 100 111; do
    quiet tmxrasterizer --no-smoothing $p/level$(printf %03d $n).tmx $p-tiled-$n.png
    "$pack" render $p.pak $n $p-render-$n.png
    "$testpacks" $p-tiled-$n.png $p-render-$n.png
  done
  echo "$p: 111 maps and tiles.tsx unchanged by Tiled, JSON import gives the same pack, 12 levels drawn alike"
done
