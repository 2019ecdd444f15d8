#!/usr/bin/env bash
# Builds the editor (release with debug info) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
tess_ensure_packages
cmake --preset default >/dev/null
cmake --build --preset default --target tessaronedit -- -j2
exec ./build/default/tessaronedit "$@"
