#!/usr/bin/env bash
# The recovery journal from the outside, as a user meets it: a real editor
# under Xvfb driven with xdotool, killed with SIGKILL, started again.
#   1. paint, wait, kill -9, restart, "Wiederherstellen", save: the file is
#      what saving just before the kill would have written (a second editor
#      doing the same and saving shows what that is); the same after a title
#      typed into the title field;
#   2. two editors at once, one killed: only the dead one's journal is
#      offered, and only to the next editor that starts;
#   3. a full and a read-only data folder (root only, in a mount namespace
#      of its own): editing and saving still work and the notice shows.
#   recovery_blackbox.sh EDITOR
set -euo pipefail
editor=$(readlink -f "$1")
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
# Xvfb picks a free display itself and writes its number once it is ready.
# Without -noreset it resets when its last client goes (an editor killed
# between two starts), and an editor connecting meanwhile fails.
Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display") XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config HOME=$work
unset QT_QPA_PLATFORM

fail() {
  echo "FAILED: $*"
  tail -n 20 "$work/editor.log" 2>/dev/null | grep -v XDG_RUNTIME_DIR || true
  exit 1
}
# Windows shown now, by title, one a line.
windows() { xdotool search --onlyvisible --name '.' 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done; }
# The newest shown window with exactly that title. Compared here, not by
# xdotool's own pattern, which a C locale cannot match against "ä".
winid() {
  local w id=
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    [[ $(xdotool getwindowname "$w" 2>/dev/null) == "$1" ]] && id=$w
  done
  echo "$id"
}
waitfor() { # TITLE [SECONDS]: waits until a window with exactly that title shows, and gives it the keys
  for _ in $(seq $((${2:-15} * 10))); do
    if windows | grep -qx "$1"; then
      sleep 0.4
      xdotool windowfocus --sync "$(winid "$1")" 2>/dev/null || true
      return 0
    fi
    sleep 0.1
  done
  fail "no window \"$1\" (shown: $(windows | tr '\n' '|'))"
}
# TITLE [TEXT] KEY...: focuses the window, types TEXT over its field when
# given, and presses the keys, until the window goes; a window that shows
# before it takes the keyboard gets another try.
press() {
  local title=$1 text=
  shift
  if [[ $1 == text=* ]]; then text=${1#text=}; shift; fi
  for _ in 1 2 3 4 5; do
    xdotool windowfocus --sync "$(winid "$title")" 2>/dev/null || true
    if [[ -n $text ]]; then xdotool key ctrl+a; xdotool type --delay 20 "$text"; fi
    xdotool key "$@"
    for _ in $(seq 30); do windows | grep -qx "$title" || return 0; sleep 0.1; done
  done
  fail "window \"$title\" does not take $*"
}
waitgone() {
  for _ in $(seq 100); do windows | grep -qx "$1" || return 0; sleep 0.1; done
  fail "window \"$1\" stays"
}
start() { # starts an editor with ARGS; its pid in $last
  "$editor" "$@" >>"$work/editor.log" 2>&1 &
  last=$!
  pids+=("$last")
}
mainwindow() { winid "Tessaron Level - Editor"; }
focusmain() { xdotool windowfocus --sync "$(mainwindow)" 2>/dev/null || true; }
# A stroke in the level view, at a position relative to the main window.
paint() {
  eval "$(xdotool getwindowgeometry --shell "$(mainwindow)")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  sleep 0.3
}
retitle() { focusmain; xdotool key Tab ctrl+a; xdotool type --delay 30 "$1"; xdotool key Tab; sleep 0.3; }
# Datei > Beenden (the last item, one up from the first), then answer the
# unsaved-work question with "Speichern": a pack with a file of its own is
# saved there at once; a new pack is saved to FILE, with no level list.
saveandquit() {
  for _ in 1 2 3; do
    focusmain
    xdotool key alt+d; sleep 0.4; xdotool key Up Return
    for _ in $(seq 30); do windows | grep -qx "Bestätigung" && break 2; sleep 0.1; done
    xdotool key Escape Escape
  done
  waitfor "Bestätigung"; press "Bestätigung" Return
  if [[ -n ${1:-} ]]; then
    waitfor "Levelpack speichern"; press "Levelpack speichern" "text=$1" Return
    waitfor "Bestätigung"; press "Bestätigung" Escape   # "Levelliste erzeugen?": no
  fi
  waitgone "Tessaron Level - Editor"
}
journals() { find "$XDG_DATA_HOME" -name '*.journal' 2>/dev/null | wc -l; }
waitjournals() { for _ in $(seq 50); do [[ $(journals) == "$1" ]] && return 0; sleep 0.1; done; fail "$(journals) journals, not $1"; }

# What a pack with a known first level looks like: a new pack saved once.
start; waitfor "Tessaron Level - Editor"; paint 60 60; saveandquit "$work/base.pak"

# 1. A kill after a stroke, and after a typed title.
for change in stroke title; do
  edit() { paint 120 120; paint 200 150; [[ $change == title ]] && retitle "Nach dem Absturz"; true; }
  cp "$work/base.pak" "$work/ref.pak"
  start "$work/ref.pak"; waitfor "Tessaron Level - Editor"; edit; saveandquit # into its own file
  cp "$work/base.pak" "$work/own.pak"
  start "$work/own.pak"; waitfor "Tessaron Level - Editor"; edit
  sleep 2
  [[ $(journals) == 1 ]] || fail "$change: no journal two seconds after the change"
  kill -9 "$last"; wait "$last" 2>/dev/null || true
  start; waitfor "Bestätigung"; press "Bestätigung" Return   # "Wiederherstellen" is the default
  waitfor "Tessaron Level - Editor"
  saveandquit # into the recovered pack's own file
  cmp "$work/ref.pak" "$work/own.pak" || fail "$change: the recovered save differs from the saved one"
  waitjournals 0
  echo "ok: $change killed, recovered and saved as saving would have"
done

# 2. Two editors, one killed; the next editor is asked about the dead one only,
# and an editor starting while that question is open is asked nothing.
cp "$work/base.pak" "$work/eins.pak"; cp "$work/base.pak" "$work/zwei.pak"
start "$work/eins.pak"; eins=$last; waitfor "Tessaron Level - Editor"; paint 120 120
start "$work/zwei.pak"; zwei=$last; sleep 1.5; paint 150 150
waitjournals 2
kill -9 "$eins"; wait "$eins" 2>/dev/null || true
start; drei=$last; waitfor "Bestätigung"
start; vier=$last; sleep 3
[[ $(windows | grep -cx "Bestätigung") == 1 ]] || fail "more than one editor asks"
kill -9 "$vier" "$zwei"; wait "$vier" "$zwei" 2>/dev/null || true
press "Bestätigung" Escape # "Später": kept
[[ $(journals) == 2 ]] || fail "the dead editor's journal was not kept for later"
echo "ok: only the dead editor's journal was offered, to one editor"
kill -9 "$drei"; wait "$drei" 2>/dev/null || true
rm -rf "$XDG_DATA_HOME"

# 3. A data folder on a full file system, and one mounted read-only.
# Only the mounts below the mount point that holds the work folder are made
# private: in a chroot "/" is no mount point, and unshare's default of making
# all of "/" private fails there.
private=$(findmnt -no TARGET -T "$work" 2>/dev/null || true)
if [[ $(id -u) != 0 || -z $private ]] || ! unshare -m --propagation unchanged true 2>/dev/null; then
  [[ -z ${TESS_NO_SKIP-} ]] || fail "the full and read-only data folders need root and mount namespaces"
  echo "ok: skipped the full and read-only data folders (needs root and mount namespaces)"
  exit 0
fi
for fault in full readonly; do
  mkdir -p "$XDG_DATA_HOME"
  cp "$work/base.pak" "$work/$fault.pak"
  if [[ $fault == full ]]; then
    # Room for the lock file, none for a journal.
    mount="mount -t tmpfs -o size=64k tmpfs '$XDG_DATA_HOME'"
  else
    mount="mount --bind '$XDG_DATA_HOME' '$XDG_DATA_HOME' && mount -o remount,bind,ro '$XDG_DATA_HOME'"
  fi
  unshare -m --propagation unchanged sh -c "mount --make-rprivate '$private' && $mount && exec '$editor' '$work/$fault.pak'" \
    >>"$work/editor.log" 2>&1 &
  last=$!; pids+=("$last")
  waitfor "Tessaron Level - Editor"; paint 120 120; sleep 2
  before=$(md5sum <"$work/$fault.pak")
  saveandquit
  [[ $(md5sum <"$work/$fault.pak") != "$before" ]] || fail "$fault: the pack was not saved"
  echo "ok: $fault data folder: edited and saved"
done
