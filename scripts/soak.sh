#!/usr/bin/env bash
# A long session of random key input against the real game: arrows held for a
# while, the command keys, the free camera's keys and the mouse (never Escape),
# then Escape. Passes when the game never crashes, ends with status 0 and
# leaves no sanitizer report, and (unless SOAK_MEMORY_CHECK=0) its resident
# memory after the first minute grows by less than 5 %.
# Usage: scripts/soak.sh [SECONDS [SEED]]   (default 600 seconds, seed 1)
#   FROSTLINE_BUILD_DIR picks the build (default build/); without DISPLAY it runs
#   under its own Xvfb. SOAK_LOG=<file> keeps the game's output there and the
#   actions, each with its second, in <file>.actions. The sound plays into
#   OpenAL's wave writer (to /dev/null) unless ALSOFT_DRIVERS chooses a backend.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec bash "$root/scripts/with-xvfb.sh" bash "$0" "$@"
fi
duration=${1:-600}
RANDOM=${2:-1}
build_dir=${FROSTLINE_BUILD_DIR:-$root/build}
memory_check=${SOAK_MEMORY_CHECK:-1}
log=${SOAK_LOG:-$(mktemp)}
: >"$log.actions"
last_action=""

# Sound on: unless ALSOFT_DRIVERS says otherwise, OpenAL mixes everything the game
# plays (as a device would) into its wave writer, which writes to nowhere.
if [ -z "${ALSOFT_DRIVERS:-}" ]; then
  printf '[wave]\nfile=/dev/null\n' >"$log.alsoft.conf"
  export ALSOFT_DRIVERS=wave ALSOFT_CONF=$log.alsoft.conf
fi

cd "$build_dir/runtime"
./frostline </dev/null >"$log" 2>"$log.err" &
pid=$!
# The game must not outlive the soak, whatever happens to this script.
trap 'kill -9 "$pid" 2>/dev/null || true' EXIT

wid=""
for _ in $(seq 1 600); do
  wid=$(xdotool search --name '^Frostline$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$wid" ] || { echo "soak: no window"; cat "$log" "$log.err"; exit 1; }

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null; }
arrows=(Up Down Left Right)
commands=(F F1 F2 F3 F4 F5 F6 F7 F8 F9 r m)
flight=(w a s d Control_L Alt_L)

# One random action: hold an arrow, press a command key, fly, or move the mouse.
# The action is kept in last_action for the log of actions ($log.actions).
act() {
  local key
  case $((RANDOM % 8)) in
    0 | 1 | 2) key=${arrows[RANDOM % 4]}; last_action="hold $key"
      xdotool keydown "$key" sleep "0.$((RANDOM % 9 + 1))" keyup "$key" ;;
    3 | 4) key=${commands[RANDOM % ${#commands[@]}]}; last_action="press $key"; xdotool key "$key" ;;
    5) key=${flight[RANDOM % ${#flight[@]}]}; last_action="hold $key"; xdotool keydown "$key" sleep 0.3 keyup "$key" ;;
    6) last_action="mouse"; xdotool mousemove_relative -- $((RANDOM % 81 - 40)) $((RANDOM % 61 - 30)) ;;
    7) last_action="wait"; sleep 0.5 ;;
  esac
}

start=$SECONDS
actions=0
samples=()   # "seconds rss_kB"
next_sample=0
crashed=0
while [ $((SECONDS - start)) -lt "$duration" ]; do
  if ! kill -0 "$pid" 2>/dev/null; then crashed=1; break; fi
  elapsed=$((SECONDS - start))
  if [ "$elapsed" -ge "$next_sample" ]; then
    samples+=("$elapsed $(rss)")
    next_sample=$((next_sample + 5))
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
  fi
  act || true
  actions=$((actions + 1))
  echo "$((SECONDS - start)) $last_action" >>"$log.actions"
done
samples+=("$((SECONDS - start)) $(rss)")

status=crashed
if [ "$crashed" = 0 ]; then
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key Escape
  status=hang
  for _ in $(seq 1 600); do
    if ! kill -0 "$pid" 2>/dev/null; then
      set +e; wait "$pid"; status=$?; set -e
      break
    fi
    sleep 0.1
  done
else
  set +e; wait "$pid"; status=$?; set -e
fi
trap - EXIT
kill -9 "$pid" 2>/dev/null || true

echo "soak: $((SECONDS - start)) s, $actions random actions, exit status $status"
printf '%s\n' "${samples[@]}" | awk '{ printf "  t=%4d s  rss=%7d kB\n", $1, $2 }'
ok=1
[ "$status" = 0 ] || { echo "soak: FAIL: the game ended with status $status"; ok=0; }
if grep -q -E 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:' "$log.err"; then
  echo "soak: FAIL: sanitizer report:"; grep -E -A 20 'ERROR: |runtime error:' "$log.err" | head -60; ok=0
fi
if [ "$memory_check" = 1 ] && [ "$duration" -ge 120 ]; then
  # Mean of the samples in the second minute against the mean of the last minute.
  read -r baseline final < <(printf '%s\n' "${samples[@]}" | awk -v end="$duration" '
    $1 >= 60 && $1 < 120 { b += $2; nb++ }
    $1 >= end - 60 { f += $2; nf++ }
    END { printf "%d %d\n", b / nb, f / nf }')
  growth=$(awk -v b="$baseline" -v f="$final" 'BEGIN { printf "%.2f", (f - b) * 100 / b }')
  echo "soak: resident memory ${baseline} kB in the second minute, ${final} kB in the last: ${growth} %"
  awk -v g="$growth" 'BEGIN { exit !(g < 5) }' || { echo "soak: FAIL: memory grew by ${growth} %"; ok=0; }
fi
[ "$ok" = 1 ] && echo "soak: passed"
[ "$ok" = 1 ]
