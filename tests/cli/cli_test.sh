#!/usr/bin/env bash
# tessaron-pack as a user calls it: exit status and output of every verb,
# an import that meets a bad map writes nothing, and no command writes over
# its input or anything but a regular file.
#   cli_test.sh TESSARON-PACK TESTPACKS [WORKDIR]   (default: a new folder in $TMPDIR)
set -uo pipefail
pack=$1 testpacks=$2 work=${3:-$(mktemp -d)}
rm -rf "$work" && mkdir -p "$work" && cd "$work" && "$testpacks" . || exit 1
failures=0
# expect STATUS TEXT COMMAND...: the command exits with STATUS and TEXT is in its output.
expect() {
  local status=$1 text=$2; shift 2
  local output; output=$("$@" 2>&1); local got=$?
  if [ $got -ne "$status" ] || [[ "$output" != *"$text"* ]]; then
    echo "FAIL: $* -> $got (want $status, '$text'):"; echo "$output" | head -5; failures=$((failures + 1))
  fi
}
head -c 170497 /dev/zero >long.pak
"$pack" export edited.pak maps >/dev/null
cp edited.pak target.pak
sed -i '0,/^[0-9]*,/s//0,/' maps/level057.tmx
sed -i "s#</map>#$(printf '<group>%.0s' {1..65})$(printf '</group>%.0s' {1..65})</map>#" maps/level058.tmx
rm maps/level059.tmx && mkfifo maps/level059.tmx
mkdir percent && cp maps/level002.tmx percent/ && sed -i 's/name="title" value="[^"]*"/name="title" value="A%1B"/' percent/level002.tmx
cp edited.pak percent.pak && "$pack" import percent percent.pak --level 2 >/dev/null

expect 0 "Aufruf: " "$pack" --help
expect 0 "tessaron-pack 1.0" "$pack" --version
expect 2 "Es fehlt ein Befehl" "$pack"
expect 2 "„info“ mit 2 Argumenten ist kein gültiger Aufruf" "$pack" info a.pak b.pak
expect 2 "Unbekannter Befehl „merge“" "$pack" merge a.pak
expect 2 "--level braucht" "$pack" export edited.pak out --level 112
expect 2 "--scale braucht" "$pack" render edited.pak 1 x.png --scale 9
expect 2 "von 1 bis 111" "$pack" render edited.pak 0 x.png
expect 1 "fehlt.pak" "$pack" info fehlt.pak
expect 0 "001  Grüße & <Ebene> \"1\"      Infotrons   0/  0  Schwerkraft nein  Schalter 11" "$pack" info edited.pak
expect 0 "002  A%1B                     Infotrons" "$pack" info percent.pak
expect 0 "Warnung: „long.pak“: Die Datei ist 170497 Bytes lang, ein Levelpack hat 170496 Bytes: geladen sind die ersten 170496, die folgenden 1 Bytes nicht." "$pack" info long.pak
[ "$("$pack" info new.pak 2>&1 | grep -c Warnung)" -eq 0 ] ||
  { echo "FAIL: info warns about the levels of a new pack"; failures=$((failures + 1)); }
expect 2 "--counts gilt nur für info" "$pack" diff edited.pak edited.pak --counts
expect 2 "„render“ mit 1 Argument ist" "$pack" render edited.pak
expect 0 "1 Karte nach" "$pack" export edited.pak one --level 1
expect 0 " × Code 0: leer (schwarz)" "$pack" info foreign.pak --counts
# Every level's counts cover its 58 by 22 interior.
[ "$("$pack" info foreign.pak --counts 2>/dev/null | awk '/^[0-9][0-9][0-9]  / { if (n && s != 1276) bad++; s = 0; n++ } / × Code [0-9]+: / { s += $1 } END { if (s != 1276) bad++; print n - bad }')" -eq 111 ] ||
  { echo "FAIL: info --counts does not count 1276 cells in every level"; failures=$((failures + 1)); }
expect 0 "Warnung Level 002: Einträge laut Schaltertabelle" "$pack" info foreign.pak
expect 0 "" "$pack" diff edited.pak edited.pak
expect 1 "Level 011: 22 Zellen, Titel, Schwerkraft, Schalter, reservierte Bytes" "$pack" diff edited.pak foreign.pak
expect 2 "fehlt.pak" "$pack" diff edited.pak fehlt.pak
expect 1 "level057.tmx“ ist keine gültige Karte: Zelle 0,0 ist leer (gid 0)" "$pack" import maps target.pak
expect 1 "Zelle 0,0 ist leer" "$pack" import maps target.pak --level 57
expect 1 "level058.tmx“ ist keine gültige Karte: Die Elemente sind tiefer als 64 Ebenen" "$pack" import maps target.pak --level 58
expect 1 "level059.tmx“ konnte nicht gelesen werden: Sie ist keine gewöhnliche Datei" "$pack" import maps target.pak --level 59
cmp edited.pak target.pak || { echo "FAIL: a rejected import changed the pack"; failures=$((failures + 1)); }
expect 0 "1 Level nach „new.pak“" "$pack" import maps new.pak --level 5
expect 1 "Level 004: 209 Zellen, Titel, Infotrons benötigt, Schalter" "$pack" diff new.pak edited.pak
[ "$("$pack" diff new.pak edited.pak | grep -c "^Level")" -eq 110 ] ||
  { echo "FAIL: import --level 5 did not replace just level 5"; failures=$((failures + 1)); }
cp maps/level001.tmx maps/level001.tmj
expect 1 "es sind beide" "$pack" import maps new.pak --level 1
expect 0 "" "$pack" render edited.pak 3 x.png --scale 2
[ "$(head -c 24 x.png | tail -c 8 | od -An -tx1 | tr -d ' \n')" = "00000740000002c0" ] ||
  { echo "FAIL: render --scale 2 is not 1856 x 704"; failures=$((failures + 1)); }
expect 2 "Das 1. Argument von „info“ ist leer" "$pack" info ""

# Every writing command refuses, before it writes, an input as output, a FIFO, a device (a node of
# our own as root, else a link to /dev/null), a folder, and an earlier export of another pack with a
# folder where level 50 goes; an export stopped half way by a file size limit leaves the earlier
# maps as they were (its tiles.tsx differs, so rewriting it shows); an import onto a file longer
# than a pack is refused, since what follows the pack would be lost.
mkdir guard && cd guard && cp ../edited.pak self.pak && cp ../long.pak . && mkfifo fifo && mkdir folder xfifo xdev &&
  { mknod dev c 1 3 2>/dev/null || ln -s /dev/null dev; } && mkfifo xfifo/level050.tmx && ln -s ../dev xdev/level050.tmx &&
  "$pack" export self.pak maps >/dev/null && cp -r maps xself && cp self.pak xself/level001.tmx &&
  "$pack" export ../foreign.pak xdir >/dev/null && rm xdir/level050.tmx && mkdir xdir/level050.tmx &&
  cp -r maps full && echo >>full/tiles.tsx || exit 1
state() { find . -printf '%p %y %l %m\n' | sort; find . -type f -exec md5sum {} + | sort; }
before=$(state)
while read -r limit word args; do
  expect 1 "$word" bash -c 'trap "" XFSZ; ulimit -f "$0"; exec "$@"' "$limit" "$pack" $args
  [ "$(state)" = "$before" ] || { echo "FAIL: $args changed files"; failures=$((failures + 1)); before=$(state); }
done <<'EOF'
unlimited dieselbe render self.pak 1 self.pak
unlimited gewöhnliche render self.pak 1 fifo
unlimited gewöhnliche render self.pak 1 dev
unlimited Ordner render self.pak 1 folder
unlimited dieselbe import maps maps/level002.tmx
unlimited gewöhnliche import maps fifo
unlimited gewöhnliche import maps dev
unlimited Ordner import maps folder
unlimited dieselbe export xself/level001.tmx xself
unlimited gewöhnliche export self.pak xfifo
unlimited gewöhnliche export self.pak xdev
unlimited Ordner export self.pak xdir
8 „full/tiles.png“ export ../foreign.pak full
unlimited länger import maps long.pak
EOF
cd ..
echo "$failures failed"
[ $failures -eq 0 ]
