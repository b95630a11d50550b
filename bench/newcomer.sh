#!/usr/bin/env bash
# Rides 100 seeded races with a newcomer's steering (frostline_newcomer: the game's
# own level, physics, rules, camera and gate guide at a fixed 30 frames a second,
# steered only by what the screen shows) under a private Xvfb, and prints one line:
#   Newcomer rider: N of 100 won, median finish X s
# The same build gives the same line every time.
#
# Usage: bench/newcomer.sh [BUILD_DIR]   (default: $FROSTLINE_BUILD_DIR or build/)
# Environment: NEWCOMER_KEEP=FILE keeps the log of every race (one line a race among
# the game's own lines); NEWCOMER_RACES=N rides N races instead of 100.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-${FROSTLINE_BUILD_DIR:-$root/build}}" && pwd)
rider="$build_dir/bench/frostline_newcomer"
[ -x "$rider" ] || { echo "newcomer: $rider is missing; build the frostline_newcomer target" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$build_dir/runtime"
"$root/scripts/with-xvfb.sh" "$rider" "$out/result" "${NEWCOMER_RACES:-100}" > "$out/log" 2>&1 ||
  { tail -20 "$out/log" >&2; exit 1; }
[ -z "${NEWCOMER_KEEP:-}" ] || cp "$out/log" "$NEWCOMER_KEEP"
cat "$out/result"
