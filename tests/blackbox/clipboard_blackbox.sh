#!/usr/bin/env bash
# A real editor under Xvfb, its own cells copied, then HUNG takes the
# clipboard and never answers: after one read of the change (Qt waits 5 s)
# every menu opens within a second, and Strg+V gives up within a second,
# saying so in the status bar.   clipboard_blackbox.sh EDITOR HUNG
set -euo pipefail
for tool in Xvfb xdotool; do command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }; done
work=$(mktemp -d)
Xvfb -displayfd 3 -noreset -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids=($!)
trap 'for p in "${pids[@]}"; do kill -9 "$p"; wait "$p"; done 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display") HOME=$work XDG_DATA_HOME=$work XDG_CONFIG_HOME=$work
export QT_LOGGING_RULES="tessaron.status.info=true" # the status bar's lines also in the log
unset QT_QPA_PLATFORM
fail() { echo "FAILED: $*"; exit 1; }
now() { date +%s%N; }
ms() { echo $((($(now) - $1) / 1000000)); }

"$1" >"$work/editor.log" 2>&1 &
pids+=($!) editor=$!
for _ in $(seq 150); do main=$(xdotool search --onlyvisible --pid "$editor" 2>/dev/null) && break; sleep 0.1; done
[[ -n ${main:-} ]] || fail "the editor shows no window"
sleep 0.5
xdotool windowfocus --sync "$main"
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 60)) $((Y + 60)) click 1 sleep 0.3 key ctrl+a ctrl+c sleep 0.5 # a cell painted, marked, copied
"$2" >"$work/hung.out" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q bereit "$work/hung.out" && break; sleep 0.1; done || fail "HUNG does not take the clipboard"
changed=$(now)

# KEY LIMIT: a menu shows within LIMIT ms of KEY; closed again.
opens() {
  xdotool windowfocus --sync "$main"
  local start=$(now)
  xdotool key "$1"
  until (($(xdotool search --onlyvisible --pid "$editor" | wc -l) > 1)); do
    (($(ms "$start") < $2)) || fail "$1 shows no menu within $2 ms"
  done
  echo "ok: $1 opened in $(ms "$start") ms"
  xdotool key Escape sleep 0.3
}
opens alt+b 30000
(($(ms "$changed") < 9000)) || fail "the editor answered $(ms "$changed") ms after the clipboard changed"
for key in alt+b alt+l alt+b alt+l; do opens "$key" 1000; done
start=$(now)
xdotool key ctrl+v
until grep -q 'tessaron.status: Zwischenablage antwortet nicht' "$work/editor.log"; do
  (($(ms "$start") < 1000)) || fail "Strg+V does not give up within a second"
done
echo "ok: Strg+V gave up after $(ms "$start") ms"
opens alt+b 1000
