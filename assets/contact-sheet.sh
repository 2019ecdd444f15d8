#!/usr/bin/env bash
# Renders every tile and tool picture at 4x onto one labelled PNG, for
# checking the art by eye.
#
#   assets/contact-sheet.sh OUT.png
#
# Needs ImageMagick 6 or 7 (convert + montage, or magick).  Tiles 13..16 and
# 40..43 have no files of their own: like the editor, this script draws tile
# 9..12 and puts badge_down.xpm (13..16) or badge_up.xpm (40..43) over
# columns 9..15, rows 0..6.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 OUT.png" >&2
    exit 2
fi
out=$1

here=$(cd "$(dirname "$0")" && pwd)
tiles=$here/tiles
tools=$here/tools

if command -v magick >/dev/null 2>&1; then
    convert=(magick)
    montage=(magick montage)
elif command -v convert >/dev/null 2>&1 && command -v montage >/dev/null 2>&1; then
    convert=(convert)
    montage=(montage)
else
    echo "$0: ImageMagick (convert and montage) is needed" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bg='#c8c8c8'
scale='400%'

# 16x16 picture of tile CODE -> $work/tNN.png
tile_png() {
    local code=$1 nn src badge
    nn=$(printf '%02d' "$code")
    if [ "$code" -ge 13 ] && [ "$code" -le 16 ]; then
        src=$tiles/tile$(printf '%02d' $((code - 4))).xpm
        badge=$tiles/badge_down.xpm
    elif [ "$code" -ge 40 ] && [ "$code" -le 43 ]; then
        src=$tiles/tile$(printf '%02d' $((code - 31))).xpm
        badge=$tiles/badge_up.xpm
    else
        src=$tiles/tile$nn.xpm
        badge=
    fi
    if [ -n "$badge" ]; then
        "${convert[@]}" "$src" "$badge" -geometry +9+0 -composite "$work/t$nn.png"
    else
        "${convert[@]}" "$src" "$work/t$nn.png"
    fi
}

big() {  # big IN OUT: pixel repetition, no smoothing
    "${convert[@]}" "$1" -filter point -scale "$scale" "$2"
}

caption() {  # caption TEXT OUT
    "${convert[@]}" -background "$bg" -fill black -pointsize 18 \
        label:"$1" "$2"
}

# --- all 44 tiles ---------------------------------------------------------
args=()
for code in $(seq 0 43); do
    nn=$(printf '%02d' "$code")
    tile_png "$code"
    big "$work/t$nn.png" "$work/big$nn.png"
    args+=(-label "$code" "$work/big$nn.png")
done
"${montage[@]}" "${args[@]}" -tile 11x -geometry +6+6 -background "$bg" \
    -pointsize 14 "$work/sheet_tiles.png"

# --- unknown, badges and tools ---------------------------------------------
args=()
big "$tiles/unknown.xpm" "$work/unknown.png"
args+=(-label unknown "$work/unknown.png")
big "$tiles/badge_down.xpm" "$work/badge_down.png"
args+=(-label "badge down" "$work/badge_down.png")
big "$tiles/badge_up.xpm" "$work/badge_up.png"
args+=(-label "badge up" "$work/badge_up.png")
for t in 0 1 2 3 4 5; do
    big "$tools/tool$t.xpm" "$work/tool$t.png"
    args+=(-label "tool $t" "$work/tool$t.png")
done
"${montage[@]}" "${args[@]}" -tile x1 -geometry "96x96>+8+6" -background "$bg" \
    -pointsize 14 "$work/sheet_misc.png"

# --- the two-tile chips, and a few tiles inverted --------------------------
"${convert[@]}" "$work/t26.png" "$work/t27.png" +append "$work/pair_26_27.png"
"${convert[@]}" "$work/t38.png" "$work/t39.png" -append "$work/pair_38_39.png"
big "$work/pair_26_27.png" "$work/big_26_27.png"
big "$work/pair_38_39.png" "$work/big_38_39.png"
args=(-label "26|27" "$work/big_26_27.png" -label "38 over 39" "$work/big_38_39.png")
for code in 4 6 13 29; do
    nn=$(printf '%02d' "$code")
    "${convert[@]}" "$work/big$nn.png" -negate "$work/neg$nn.png"
    args+=(-label "$code inverted" "$work/neg$nn.png")
done
"${montage[@]}" "${args[@]}" -tile x1 -geometry "128x128>+8+6" -background "$bg" \
    -pointsize 14 "$work/sheet_pairs.png"

# --- put it together -----------------------------------------------------
caption "Tiles 0..43 (4x)" "$work/cap1.png"
caption "Unknown tile, badges, tools (4x)" "$work/cap2.png"
caption "Two-tile chips and inverted tiles (4x)" "$work/cap3.png"
"${convert[@]}" -background "$bg" \
    "$work/cap1.png" "$work/sheet_tiles.png" \
    "$work/cap2.png" "$work/sheet_misc.png" \
    "$work/cap3.png" "$work/sheet_pairs.png" \
    -gravity west -append +repage -bordercolor "$bg" -border 8 "$out"
echo "wrote $out"
