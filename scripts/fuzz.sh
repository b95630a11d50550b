#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/, FROSTLINE_FUZZ_DIR
# overrides) and fuzzes each for FROSTLINE_FUZZ_SECONDS (default 30) under Xvfb:
# options.ini as the INI reader sees it, and malformed .obj models loaded as the
# level loads its scenery. A crash, a sanitizer report or a model refused with
# any other than the import's fatal messages fails; the input is kept in
# build-fuzz/tests/fuzz/ (crash-*, leak-*, timeout-*) to be replayed with
#   cd build-fuzz/runtime && ../tests/fuzz/fuzz_obj <file>
# Usage: scripts/fuzz.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FROSTLINE_FUZZ_DIR:-$root/build-fuzz}
seconds=${FROSTLINE_FUZZ_SECONDS:-30}

CC=clang CXX=clang++ FROSTLINE_BUILD_DIR=$build_dir \
  FROSTLINE_CMAKE_OPTIONS="-DFROSTLINE_FUZZ=ON -DFROSTLINE_FUZZ_SECONDS=$seconds -DFROSTLINE_BUILD_BENCH=OFF" \
  bash "$root/scripts/build.sh" fuzz_ini fuzz_obj

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build_dir"
bash "$root/scripts/with-xvfb.sh" ctest --output-on-failure -R '^fuzz_'
