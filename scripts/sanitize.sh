#!/usr/bin/env bash
# Builds the game and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/, FROSTLINE_ASAN_DIR overrides), runs every test under Xvfb, then a
# 60-second session of random keys against the real game. Any sanitizer report
# fails; LeakSanitizer checks each normal exit, with only the driver's and
# libraries' own leaks suppressed (scripts/sanitizers/lsan.supp says why for each).
# Usage: scripts/sanitize.sh [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${FROSTLINE_ASAN_DIR:-$root/build-asan}

FROSTLINE_BUILD_DIR=$build_dir \
  FROSTLINE_CMAKE_OPTIONS="-DFROSTLINE_SANITIZE=ON -DFROSTLINE_BUILD_BENCH=OFF" \
  bash "$root/scripts/build.sh"

# Libraries stay loaded until exit, so that leak reports can name them (keep_loaded.c).
cc -shared -fPIC -O2 -o "$build_dir/keep_loaded.so" "$root/scripts/sanitizers/keep_loaded.c"
export LD_PRELOAD=$build_dir/keep_loaded.so
export ASAN_OPTIONS=detect_leaks=1:verify_asan_link_order=0:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The instrumented game runs a few times slower: the end-to-end sessions wait longer.
export E2E_SLOWDOWN=${E2E_SLOWDOWN:-3}
# The random rides run the same code every time: a third of them is enough here
# (the plain run rides all 300).
export FROSTLINE_RANDOM_RIDES=${FROSTLINE_RANDOM_RIDES:-100}

cd "$build_dir"
tests=0
# Two sessions are left to the plain run: they steer and listen frame by frame in
# real time (the newcomer aims the sled within a degree, the recording times its
# beeps), which frames three times as long throw off; the sanitizers still see
# the sound and the HUD in the tests and in the session of random keys below.
bash "$root/scripts/with-xvfb.sh" ctest --output-on-failure -E '^e2e_(newcomer|sound)$' "$@" || tests=$?
session=0
FROSTLINE_BUILD_DIR=$build_dir SOAK_MEMORY_CHECK=0 bash "$root/scripts/soak.sh" 60 8 || session=$?
[ "$tests" = 0 ] && [ "$session" = 0 ]
