#!/usr/bin/env bash
# Configures and builds into build/ (FROSTLINE_BUILD_DIR overrides).
# Usage: scripts/build.sh [target...]   (default: everything)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FROSTLINE_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=${FROSTLINE_BUILD_TYPE:-RelWithDebInfo} \
  ${FROSTLINE_CMAKE_OPTIONS:-} >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
