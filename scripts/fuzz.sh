#!/usr/bin/env bash
# Builds the pack-file, map, recovery-journal, settings-file and clipboard fuzzers with
# clang, replays each one's seeds and saved regressions, then fuzzes for
# SECONDS in all (default 60): a sixth for journals, a twelfth each for
# settings and the clipboard, half the rest each for maps and packs.
#   scripts/fuzz.sh [SECONDS]
# Exits non-zero when a replay fails or the fuzzer finds something; prints a
# note and exits 0 when clang or its fuzzer runtime is not installed (1 with
# TESS_NO_SKIP set, as ./test.sh does, which installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-60}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "usage: scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi

cc="" cxx=""
for v in "" -14; do
  if command -v "clang$v" >/dev/null && command -v "clang++$v" >/dev/null; then
    cc=$(command -v "clang$v") cxx=$(command -v "clang++$v")
    break
  fi
done
if [[ -z $cxx ]]; then
  echo "fuzz.sh: skipped: clang is not installed (Debian: apt-get install clang-14 libclang-rt-14-dev)."
  exit $((${TESS_NO_SKIP:+1}+0))
fi

# The fuzzer runtime ships separately from the compiler on Debian; a one-line
# program shows whether it links.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  >"$probe/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
  >"$probe/log" 2>&1; then
  echo "fuzz.sh: skipped: $cxx cannot link a libFuzzer program; the fuzzer runtime"
  echo "  (libclang_rt.fuzzer-x86_64.a, Debian package libclang-rt-14-dev) is probably missing:"
  sed 's/^/    /' "$probe/log" | head -5
  exit $((${TESS_NO_SKIP:+1}+0))
fi

build=$root/build/fuzz
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
echo "== configure and build ($cxx)"
CC=$cc CXX=$cxx cmake -S fuzz -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" --target pack_fuzzer map_fuzzer journal_fuzzer settings_fuzzer clip_fuzzer cliptext_fuzzer -- -j2

# fuzz NAME SECONDS CORPUS REGRESSIONS [libFuzzer options...]: replays the
# saved inputs, then fuzzes a copy of them (the fuzzer adds what it finds to
# its first corpus folder; the saved inputs in the repository stay as they are).
fuzz() {
  local name=$1 secs=$2 corpus=$3 regressions=$4
  shift 4
  local fuzzer=$build/$name inputs=() dir f
  echo "== $name: replay $corpus and $regressions"
  for dir in "$corpus" "$regressions"; do
    [[ -d $dir ]] || continue
    while IFS= read -r -d '' f; do inputs+=("$f"); done \
      < <(find "$dir" -maxdepth 1 -type f ! -name '*.md' -print0 | sort -z)
  done
  if ((${#inputs[@]} == 0)); then
    echo "fuzz.sh: no inputs to replay in $corpus" >&2
    return 1
  fi
  if ! "$fuzzer" "${inputs[@]}" >"$build/$name-replay.log" 2>&1; then
    cat "$build/$name-replay.log"
    echo "fuzz.sh: $name replay FAILED" >&2
    return 1
  fi
  echo "replayed ${#inputs[@]} inputs: all passed"

  echo "== $name: fuzz for $secs s"
  local scratch=$build/$name-corpus-run artifacts=$build/$name-artifacts status=0
  rm -rf "$scratch"
  mkdir -p "$scratch" "$artifacts"
  cp "${inputs[@]}" "$scratch/"
  "$fuzzer" "$scratch" -max_total_time="$secs" -timeout=60 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$@" >"$build/$name.log" 2>&1 || status=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units|^stat::peak_rss_mb|^stat::new_units_added' \
    "$build/$name.log" || true
  if ((status != 0)); then
    tail -n 60 "$build/$name.log"
    echo "fuzz.sh: $name found a failure (exit $status); input saved in $artifacts/" >&2
    echo "  minimise it with: $fuzzer -minimize_crash=1 -runs=10000 <input>," >&2
    echo "  then add it to $regressions/" >&2
    return "$status"
  fi
  echo "no findings; full log: $build/$name.log"
}

# The same minute as one fuzzer had: a sixth for recovery journals (a fixed
# layout behind a check sum), a twelfth for the settings file (Qt's own INI
# reader under a few limits of ours), a twelfth for the clipboard blocks (two
# fixed layouts) and one for their text form, the rest shared by maps and packs.
journalseconds=$((seconds / 6 > 0 ? seconds / 6 : 1))
settingsseconds=$((seconds / 12 > 0 ? seconds / 12 : 1))
clipseconds=$settingsseconds
rest=$((seconds - journalseconds - settingsseconds - 2 * clipseconds))
mapseconds=$((rest / 2 > 0 ? rest / 2 : 1))
packseconds=$((rest - mapseconds > 0 ? rest - mapseconds : 1))
fuzz pack_fuzzer "$packseconds" fuzz/corpus fuzz/regressions
fuzz map_fuzzer "$mapseconds" fuzz/corpus-maps fuzz/regressions-maps -dict=fuzz/map.dict -max_len=65536
fuzz journal_fuzzer "$journalseconds" fuzz/corpus-journals fuzz/regressions-journals -max_len=345300
fuzz settings_fuzzer "$settingsseconds" fuzz/corpus-settings fuzz/regressions-settings -max_len=4096
fuzz clip_fuzzer "$clipseconds" fuzz/corpus-clip fuzz/regressions-clip -max_len=2048
fuzz cliptext_fuzzer "$clipseconds" fuzz/corpus-cliptext fuzz/regressions-cliptext -max_len=8192
