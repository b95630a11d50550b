#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
build_dir=${FROSTLINE_BUILD_DIR:-$root/build}
cd "$build_dir"
bash "$root/scripts/with-xvfb.sh" ctest --output-on-failure "$@"
