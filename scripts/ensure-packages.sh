#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the editor
# need, when any of them is missing. Sourced by run.sh, test.sh and
# scripts/bench.sh, which then call tess_ensure_packages [EXTRA-PACKAGE...].
set -euo pipefail

tess_ensure_packages() {
  tess_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
    libgl-dev fonts-dejavu-core fonts-liberation2
    libgtest-dev libbenchmark-dev desktop-file-utils
    zlib1g-dev nlohmann-json3-dev libstb-dev
    "$@"
  )

  tess_missing=()
  for p in "${tess_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      tess_missing+=("$p")
    fi
  done

  if ((${#tess_missing[@]})); then
    echo "Installing missing packages: ${tess_missing[*]}"
    tess_sudo=()
    if [ "$(id -u)" -ne 0 ]; then tess_sudo=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    tess_log=$(mktemp)
    if ! { "${tess_sudo[@]}" apt-get update -qq &&
           "${tess_sudo[@]}" apt-get install -y -qq --no-install-recommends "${tess_missing[@]}"; } >"$tess_log" 2>&1; then
      cat "$tess_log"
      echo "Installing the packages failed." >&2
      exit 1
    fi
    rm -f "$tess_log"
  fi
}

# What the browser edition needs: Debian's emscripten, chromium for its tests,
# and node with npm. A node that is not Debian's (with its own npm) is used as
# it is, since Debian's npm would not install beside it.
tess_web_packages() {
  echo emscripten chromium
  command -v node >/dev/null || echo nodejs
  command -v npm >/dev/null || echo npm
}

