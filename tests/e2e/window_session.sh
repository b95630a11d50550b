#!/usr/bin/env bash
# The built game in its runtime folder: a full-screen window showing the sky,
# closed by Escape and by a close request, each time with exit status 0.
# Usage: window_session.sh FROSTLINE_BINARY CLOSE_REQUEST_TOOL   (DISPLAY set, cwd = runtime folder)
set -u
game=$1
close_request=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

wait_for_window() {
  for _ in $(seq 1 600); do
    wid=$(xdotool search --name '^Frostline$' 2>/dev/null | head -1)
    [ -n "$wid" ] && return 0
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1; sets status to its exit status, or "timeout".
wait_for_exit() {
  for _ in $(seq 1 $(($2 * 10))); do
    if ! kill -0 "$1" 2>/dev/null; then
      wait "$1"; status=$?; return
    fi
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null; wait "$1" 2>/dev/null; status=timeout
}

# --- Escape quits -------------------------------------------------------------
"$game" </dev/null >"$out/escape.log" 2>&1 &
pid=$!
if wait_for_window "$pid"; then
  sleep 1
  import -window root "$out/start.png"
  size=$(identify -format '%wx%h' "$out/start.png")
  [ "$size" = "1024x768" ] || fail "screen is $size, expected the full 1024x768"
  sky=$(convert "$out/start.png" -format '%[pixel:p{4,4}]' info:)
  [ "$sky" = "srgb(125,186,255)" ] || fail "top-left pixel is $sky, expected the sky colour"
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key Escape
  wait_for_exit "$pid" 60
  [ "$status" = "0" ] || fail "Escape: exit status $status"
else
  fail "no window appeared"; cat "$out/escape.log"
fi

# --- a close request quits the same way ---------------------------------------
"$game" </dev/null >"$out/close.log" 2>&1 &
pid=$!
if wait_for_window "$pid"; then
  sleep 1
  "$close_request" Frostline || fail "could not send the close request"
  wait_for_exit "$pid" 60
  [ "$status" = "0" ] || fail "close request: exit status $status"
else
  fail "no window appeared"; cat "$out/close.log"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "window session: 2 passed, 0 failed"
