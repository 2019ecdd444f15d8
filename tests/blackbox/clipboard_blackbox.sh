#!/usr/bin/env bash
# The menus and pasting while another program owns the desktop's clipboard
# and never answers, as a user meets it: a real editor under Xvfb driven
# with xdotool, its own cells copied, then HUNG (hungclipboard.cpp) takes
# the clipboard and sleeps.
#   1. the editor reads the changed clipboard once, waiting for Qt's own
#      timeout at most;
#   2. then "Bearbeiten" and "Level" open within a second, every time;
#   3. Strg+V gives up within a second, saying so in the status bar, and
#      the menus still open at once.
#   clipboard_blackbox.sh EDITOR HUNG
set -euo pipefail
editor=$(readlink -f "$1")
hung=$(readlink -f "$2")
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display") XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config HOME=$work
export QT_LOGGING_RULES="tessaron.status.info=true" # what the status bar says, also in the log
unset QT_QPA_PLATFORM

fail() {
  echo "FAILED: $*"
  grep -v XDG_RUNTIME_DIR "$work/editor.log" | tail -n 20 || true
  exit 1
}
now() { date +%s%N; }
ms() { echo $((($(now) - $1) / 1000000)); }

"$editor" >"$work/editor.log" 2>&1 &
editorpid=$!
pids+=("$editorpid")
# The editor's shown windows: the main window, and an open menu beside it.
shown() { xdotool search --onlyvisible --pid "$editorpid" 2>/dev/null | wc -l; }
main=
for _ in $(seq 150); do
  main=$(xdotool search --onlyvisible --pid "$editorpid" --name 'Tessaron Level - Editor' 2>/dev/null | head -1) || true
  [[ -n $main ]] && break
  sleep 0.1
done
[[ -n $main ]] || fail "the editor shows no window"
sleep 0.5
xdotool windowfocus --sync "$main"
# Own cells on the clipboard: a cell painted, all marked, copied.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 60)) $((Y + 60)) click 1
sleep 0.3
xdotool key ctrl+a ctrl+c
sleep 0.5

"$hung" >"$work/hung.out" 2>&1 &
pids+=("$!")
for _ in $(seq 100); do grep -q '^bereit$' "$work/hung.out" && break; sleep 0.1; done
grep -q '^bereit$' "$work/hung.out" || fail "the hanging program does not take the clipboard"
changed=$(now)

# KEY LIMIT: presses KEY in the main window; fails unless a menu shows
# within LIMIT milliseconds. Closes it again; the time taken in $took.
opens() {
  local start
  xdotool windowfocus --sync "$main"
  start=$(now)
  xdotool key "$1"
  until (($(shown) > 1)); do
    (($(ms "$start") < $2)) || fail "$1 shows no menu within $2 ms"
    sleep 0.02
  done
  took=$(ms "$start")
  xdotool key Escape
  for _ in $(seq 100); do (($(shown) == 1)) && break; sleep 0.05; done
}

# 1. Qt waits 5 s for an answer; reading once is over well within 9 s.
opens alt+b 30000
(($(ms "$changed") < 9000)) || fail "the editor answered only $(ms "$changed") ms after the clipboard changed"
echo "ok: the changed clipboard read once; the first menu opened $(ms "$changed") ms after the change"

# 2. Every menu opens at once.
for key in alt+b alt+l alt+b alt+l; do
  opens "$key" 1000
  echo "ok: $key opened in $took ms"
done

# 3. Strg+V says at once that the clipboard does not answer.
xdotool windowfocus --sync "$main"
start=$(now)
xdotool key ctrl+v
until grep -q 'tessaron.status: Zwischenablage antwortet nicht' "$work/editor.log"; do
  (($(ms "$start") < 1000)) || fail "Strg+V does not give up within a second"
  sleep 0.02
done
echo "ok: Strg+V gave up after $(ms "$start") ms: Zwischenablage antwortet nicht"
opens alt+b 1000
echo "ok: alt+b opened in $took ms after the paste"
