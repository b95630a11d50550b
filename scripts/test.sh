#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Xvfb,
# then the sanitizer run (scripts/sanitize.sh: build-asan/, every test again and
# a 60-second session of the real game) and a short fuzz run (scripts/fuzz.sh:
# build-fuzz/). FROSTLINE_TEST_SANITIZE=0 or FROSTLINE_TEST_FUZZ=0 leaves one out
# (for a quick run while working; CI runs everything).
# Arguments go to ctest. Every step runs; the status fails if one failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
build_dir=${FROSTLINE_BUILD_DIR:-$root/build}
cd "$build_dir"
failed=()
bash "$root/scripts/with-xvfb.sh" ctest --output-on-failure "$@" || failed+=(tests)
if [ "${FROSTLINE_TEST_SANITIZE:-1}" != 0 ]; then
  bash "$root/scripts/sanitize.sh" "$@" || failed+=(sanitizers)
fi
if [ "${FROSTLINE_TEST_FUZZ:-1}" != 0 ]; then
  bash "$root/scripts/fuzz.sh" || failed+=(fuzzing)
fi
if [ ${#failed[@]} -ne 0 ]; then
  echo "test: failed: ${failed[*]}"
  exit 1
fi
echo "test: everything passed"
