#!/usr/bin/env bash
# Builds the pack-file fuzzer with clang, replays the seed packs and the
# saved regressions, then fuzzes for SECONDS (default 60); then the same for
# the settings-file fuzzer, for a quarter of that (at least 10 s).
#   scripts/fuzz.sh [SECONDS]
# Exits non-zero when a replay fails or the fuzzer finds something; prints a
# note and exits 0 when clang or its fuzzer runtime is not installed.
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
  exit 0
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
  exit 0
fi

build=$root/build/fuzz
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
echo "== configure and build ($cxx)"
CC=$cc CXX=$cxx cmake -S fuzz -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" --target pack_fuzzer settings_fuzzer -- -j2
fuzzer=$build/pack_fuzzer

echo "== replay fuzz/corpus and fuzz/regressions"
inputs=()
for dir in fuzz/corpus fuzz/regressions; do
  [[ -d $dir ]] || continue
  while IFS= read -r -d '' f; do inputs+=("$f"); done \
    < <(find "$dir" -maxdepth 1 -type f ! -name '*.md' -print0 | sort -z)
done
if ((${#inputs[@]} == 0)); then
  echo "fuzz.sh: no inputs to replay in fuzz/corpus" >&2
  exit 1
fi
if ! "$fuzzer" "${inputs[@]}" >"$build/replay.log" 2>&1; then
  cat "$build/replay.log"
  echo "fuzz.sh: replay FAILED" >&2
  exit 1
fi
echo "replayed ${#inputs[@]} inputs: all passed"

# The fuzzer adds what it finds to its first corpus folder, so it works on a
# copy; the saved inputs in the repository stay as they are.
echo "== fuzz for $seconds s"
scratch=$build/corpus-run
artifacts=$build/artifacts
rm -rf "$scratch"
mkdir -p "$scratch" "$artifacts"
cp "${inputs[@]}" "$scratch/"
status=0
"$fuzzer" "$scratch" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" >"$build/fuzz.log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+DONE|^stat::' "$build/fuzz.log" || true
if ((status != 0)); then
  tail -n 60 "$build/fuzz.log"
  echo "fuzz.sh: the fuzzer found a failure (exit $status); input saved in $artifacts/" >&2
  echo "  minimise it with: $fuzzer -minimize_crash=1 -runs=10000 <input>" >&2
  exit "$status"
fi
echo "no findings; full log: $build/fuzz.log"

echo "== settings: replay fuzz/settings-corpus, then fuzz for $((seconds / 4 > 10 ? seconds / 4 : 10)) s"
sfuzzer=$build/settings_fuzzer
if ! "$sfuzzer" fuzz/settings-corpus/* >"$build/settings-replay.log" 2>&1; then
  cat "$build/settings-replay.log"
  echo "fuzz.sh: settings replay FAILED" >&2
  exit 1
fi
sscratch=$build/settings-corpus-run
rm -rf "$sscratch"
mkdir -p "$sscratch"
cp fuzz/settings-corpus/* "$sscratch/"
"$sfuzzer" "$sscratch" -max_total_time=$((seconds / 4 > 10 ? seconds / 4 : 10)) -max_len=4096 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$artifacts/settings-" >"$build/settings-fuzz.log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+DONE|^stat::number_of_executed_units' "$build/settings-fuzz.log" || true
if ((status != 0)); then
  grep -v 'QVariant::load' "$build/settings-fuzz.log" | tail -n 40
  echo "fuzz.sh: the settings fuzzer found a failure (exit $status); input saved in $artifacts/" >&2
  exit "$status"
fi
echo "no findings; full log: $build/settings-fuzz.log"
