#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb screen (1024 x 768 by default),
# and stops the server afterwards. FROSTLINE_SCREEN=WxHxD picks another screen.
set -euo pipefail
screen=${FROSTLINE_SCREEN:-1024x768x24}
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
    display=":$n"
    break
  fi
done
[ -n "$display" ] || { echo "with-xvfb: no free display" >&2; exit 1; }
Xvfb "$display" -screen 0 "$screen" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  if DISPLAY=$display xdpyinfo >/dev/null 2>&1; then break; fi
  sleep 0.1
done
DISPLAY=$display "$@"
