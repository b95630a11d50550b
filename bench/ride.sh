#!/usr/bin/env bash
# Rides the race once with the real game (frostline_ride: the game's start-up and
# main loop, an autopilot on the arrow keys) under a private Xvfb, and reports:
#   - frames per second over the ride, median and 5th percentile, from Mesa's own
#     once-a-second figure (GALLIUM_HUD=fps, dumped to a file),
#   - the median frame time, from Mesa's per-frame figure (GALLIUM_HUD=frametime),
#   - the time from the start of the process to the first countdown frame on screen,
#   - the peak resident memory (/usr/bin/time -v),
#   - the render scale the frames were drawn at, median and 5th percentile,
# and the same frame figures from the ride's own log as a cross-check. The first
# second of Mesa's dump and the first two frames (loading screen and first
# countdown frame) hold the start-up, not the ride, and are left out.
# Mesa's own overlay stays hidden (GALLIUM_HUD_VISIBLE=false): hidden, it still
# dumps its figures, while drawing its graphs over every frame would add about
# 2 ms to each frame of the game being measured.
#
# Usage: bench/ride.sh [BUILD_DIR]   (default: $FROSTLINE_BUILD_DIR or build/)
# Environment: RIDE_KEEP=DIR keeps the raw files in DIR; RIDE_HUD_VISIBLE=true
# draws Mesa's overlay as well; RIDE_RENDER_SCALE=PERCENT rides with the render scale
# fixed (50 to 100) in a private folder of links to the runtime folder, with its own
# copy of options.ini (the runtime folder is not touched); RIDE_GHOST=0 rides without the
# ghost rider.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-${FROSTLINE_BUILD_DIR:-$root/build}}" && pwd)
ride="$build_dir/bench/frostline_ride"
[ -x "$ride" ] || { echo "ride: $ride is missing; build the frostline_ride target" >&2; exit 1; }
out=${RIDE_KEEP:-$(mktemp -d)}
mkdir -p "$out"
rm -f "$out"/fps "$out"/frametime_* "$out"/ride.log

# The process is started by exec right after the start time is taken.
cd "$build_dir/runtime"
if [ -n "${RIDE_RENDER_SCALE:-}" ]; then
  folder="$out/runtime"
  rm -rf "$folder"
  mkdir -p "$folder"
  for entry in "$build_dir"/runtime/*; do
    [ "${entry##*/}" = options.ini ] || ln -s "$entry" "$folder/"
  done
  { [ -f options.ini ] && grep -v -i '^[[:space:]]*renderScale[[:space:]]*=' options.ini;
    printf '[Graphics]\nrenderScale=%s\n' "$RIDE_RENDER_SCALE"; } > "$folder/options.ini"
  cd "$folder"
fi
GALLIUM_HUD=fps,frametime GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_VISIBLE=${RIDE_HUD_VISIBLE:-false} GALLIUM_HUD_DUMP_DIR="$out" \
  "$root/scripts/with-xvfb.sh" bash -c \
  'date +%s%N > "$1/start-ns"; exec /usr/bin/time -v -o "$1/time" "$2" "$1/ride.log" > "$1/stdout"' \
  ride "$out" "$ride"

# Median and p-th percentile (nearest rank) of the numbers on stdin.
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else printf "%.1f\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
percentile() { sort -g | awk -v p="$1" '{ v[NR] = $1 } END { if (NR == 0) { print "n/a"; exit } r = int(p / 100 * NR + 0.999999); if (r < 1) r = 1; printf "%.1f\n", v[r] }'; }

frametime_file=$(ls "$out"/frametime_* 2>/dev/null | head -1)
start_ns=$(cat "$out/start-ns")
first_ns=$(awk '$1 == "first-countdown-frame-ns" { print $2 }' "$out/ride.log")
ride_fps() { tail -n +2 "$out/fps"; }
ride_frametimes() { tail -n +3 "$frametime_file"; }
log_frametimes() { awk '$1 == "frame" { print $3 }' "$out/ride.log" | tail -n +2; }
log_cputimes() { awk '$1 == "frame" { print $4 }' "$out/ride.log" | tail -n +2; }
log_scales() { awk '$1 == "frame" && NF >= 5 { print $5 * 100 }' "$out/ride.log" | tail -n +2; }

echo "Ride: $(awk '$1 == "decided" { print "race " $2 " after " $3 " s, " $5 " points" }' "$out/ride.log")" \
  "$(awk '$1 == "frame" { n++ } END { print "(" n " frames)" }' "$out/ride.log")"
echo "Frames per second (Mesa, once a second): median $(ride_fps | median), 5th percentile $(ride_fps | percentile 5)"
echo "Frame time (Mesa, every frame): median $(ride_frametimes | median) ms, 95th percentile $(ride_frametimes | percentile 95) ms"
echo "Frame time (ride log): median $(log_frametimes | median) ms, 95th percentile $(log_frametimes | percentile 95) ms"
echo "Processor time a frame, all threads (ride log): median $(log_cputimes | median) ms" \
  "(over 2 cores; more than the frame time when other programs leave them free)"
echo "Render scale (ride log): median $(log_scales | median) %, 5th percentile $(log_scales | percentile 5) %"
echo "Start to first countdown frame: $(( (first_ns - start_ns) / 1000000 )) ms" \
  "($(awk '$1 == "first-countdown-frame-cpu-ms" { printf "%.0f", $2 }' "$out/ride.log") ms processor time)"
echo "  steps (ms): $(awk '$1 == "step" { printf "%s %.0f, ", $2, $3 }' "$out/ride.log" | sed 's/, $//')"
echo "Peak resident memory: $(awk -F': ' '/Maximum resident set size/ { printf "%.0f MB", $2 / 1024 }' "$out/time")"
[ -n "${RIDE_KEEP:-}" ] || rm -rf "$out"
