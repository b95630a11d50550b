#!/usr/bin/env bash
# A newcomer's races, played with keys and read from the screen:
#   at the start the next gate's sign stands amber on the slope, with its number;
#   turned away from it, an arrow at the screen's edge points back to it;
#   when the clock runs out the fail panel shows;
#   Enter starts a second race (clock at 10.00 again, the level built anew);
#   Escape ends the game with status 0.
# Then a newcomer who rides for gate 2 instead of gate 1, on the game's own start-up
# and main loop with an autopilot on the arrow keys (frostline_ride, when given),
# simulated in steps of 1/60 s so that the ride is the same on any machine under
# any load: the sled rides through the wrong gate, the message line says which gate and
# which was next, the fail panel shows, the console keeps its line; Escape ends it
# with status 0.
# Usage: newcomer_session.sh FROSTLINE_BINARY [FROSTLINE_RIDE]   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
ride=${2:-}
log="$shots/newcomer.log"

# The HUD's arrow (drawn flat, exactly this colour) and the next gate's sign in the sun.
arrow_amber='rgb(255,153,5)'
sign_amber='rgb(205,160,6)'

# arrow_at NAME REGION: how many pixels of REGION of a screenshot have the arrow's colour.
arrow_at() {
  convert "$shots/$1.ppm" -crop "$2" +repage -fuzz 4% -fill white -opaque "$arrow_amber" \
    -fill black +opaque white "$shots/$1.arrow.pbm"
  convert "$shots/$1.arrow.pbm" -format '%[fx:round(mean*w*h)]' info:
}

# paused_shot NAME: a screenshot with the race waiting in the free camera, which
# starts exactly where the chase camera was; the race goes on afterwards.
paused_shot() {
  press F
  sleep "$(scaled 1)"
  shot "$1"
  press F
}

# until_shot NAME SECONDS CONDITION: screenshots as NAME until CONDITION (shell code
# reading the shot NAME) holds; 1 when time runs out.
until_shot() {
  local start=$SECONDS
  while [ $((SECONDS - start)) -lt "$(scaled "$2")" ]; do
    shot "$1"
    eval "$3" && return 0
    sleep 0.2
  done
  return 1
}

# wait_for_start NAME: screenshots until the clock has left 10.00 (the countdown is over).
wait_for_start() {
  shot "$1.before"
  for _ in $(seq 1 "$(scaled 40)"); do
    sleep 0.3
    shot "$1"
    [ "$(clock_change "$1.before" "$1")" -gt 50 ] && return 0
  done
  return 1
}

start_game "$log" "$game"
if ! wait_for_window || ! wait_for_level "$log"; then
  fail "the level did not appear"; cat "$log" "$log.err"; finish newcomer_session
fi

# --- the start: gate 1's sign in amber ahead --------------------------------
shot start
keep_shot start newcomer-
# (Within 15 %: a picture drawn at a lower render scale blends the sign's colour; no
# other part of the start's view comes near it.)
[ "$(matching start "$landscape_region" "$sign_amber" 15)" -gt 150 ]
check $? "the next gate's sign stands amber on the slope"
[ "$(arrow_at start 1024x550+0+110)" -lt 50 ]
check $? "no arrow while the next gate is in sight"

# --- turned away, the arrow points back -------------------------------------
wait_for_start race1
check $? "the first race starts"
hold Left 2.5
paused_shot behind
keep_shot behind newcomer-
arrow_pixels=$(arrow_at behind 1024x550+0+110)
[ "$arrow_pixels" -gt 800 ] && [ "$(arrow_at behind "$centre_region")" -lt 20 ]
check $? "with gate 1 behind, an amber arrow stands at the screen's edge ($arrow_pixels pixels)"

# --- the clock runs out: the message line says so over the fail panel --------
until_shot timeup 30 '[ "$(matching timeup "$fail_panel_region" "$fail_red" 10)" -gt 5000 ]'
check $? "the clock runs out: the fail panel"
keep_shot timeup newcomer-

# --- Enter: a second race ---------------------------------------------------
press Return
built_twice() { [ "$(grep -c '^Loading Texture: models/snow.png' "$log")" -eq 2 ]; }
for _ in $(seq 1 "$(scaled 100)"); do built_twice && break; sleep 0.1; done
built_twice
check $? "Enter builds the level again"
# As every clock check: a few stray pixels at the digits' edges may flip with the
# mountains and firs behind them; another reading flips hundreds.
until_shot second 10 'clock_holds start second'
check $? "the second race's clock reads 10.00"
keep_shot second newcomer-
[ "$(matching second "$fail_panel_region" "$fail_red" 10)" -lt 500 ]
check $? "the second race starts without the fail panel"

# --- Escape ------------------------------------------------------------------
press Escape
wait_for_exit 30
[ "$status" = 0 ]
check $? "Escape ends the game with status 0 (status $status)"
no_sanitizer_report "$log"
check $? "no sanitizer report"

# --- riding for gate 2 first: the wrong gate ---------------------------------
if [ -z "$ride" ]; then
  echo "skipped: the ride through the wrong gate (no frostline_ride: the benchmarks are not built)"
  finish newcomer_session
fi
log="$shots/wrong.log"
start_game "$log" "$ride" "$shots/wrong.ride" 600 wrong-gate fixed
wait_for_window && wait_for_line "$log" '^Verloren! Checkpoint verpasst$' 300
check $? "riding for gate 2 first, the sled rides through a gate out of turn (console line)"
# The line is printed while the frame is worked out; its picture follows.
until_shot wrong 10 '[ "$(matching wrong "$fail_panel_region" "$fail_red" 10)" -gt 5000 ]'
keep_shot wrong newcomer-
wrong_ink=$(matching wrong "$message_band" "$text_black" 20)
[ "$wrong_ink" -gt 400 ] && [ "$(matching wrong "$fail_panel_region" "$fail_red" 10)" -gt 5000 ]
check $? "the wrong gate's message on the line (${wrong_ink} dark pixels) and the fail panel"
press Escape
wait_for_exit 30
[ "$status" = 0 ]
check $? "Escape ends the ride with status 0 (status $status)"
no_sanitizer_report "$log"
check $? "no sanitizer report"

finish newcomer_session
