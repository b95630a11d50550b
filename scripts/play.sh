#!/usr/bin/env bash
# Sets up a fresh machine, builds the game and starts it from its runtime folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" frostline
build_dir=${FROSTLINE_BUILD_DIR:-$root/build}
cd "$build_dir/runtime"
exec ./frostline
