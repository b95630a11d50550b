#!/usr/bin/env bash
# A newcomer's races, played with keys and read from the screen:
#   at the start the next gate's sign stands amber on the slope, with its number;
#   turned away from it, an arrow at the screen's edge points back to it;
#   when the clock runs out the fail panel shows;
#   Enter starts a second race (clock at 10.00 again, the level built anew);
#   aimed by the arrow at gate 2 instead of gate 1, the sled rides through the
#   wrong gate: the message line says which gate and which was next, the fail
#   panel shows, the console keeps its line;
#   Escape ends the game with status 0.
# Usage: newcomer_session.sh FROSTLINE_BINARY   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
log="$shots/newcomer.log"

# The HUD's arrow (drawn flat, exactly this colour) and the next gate's sign in the sun.
arrow_amber='rgb(255,153,5)'
sign_amber='rgb(217,176,6)'
right_edge=150x420+874+150   # where the arrow stands while the gate is off the right edge

# arrow_at NAME REGION: "PIXELS ROW" of the arrow's colour in REGION of a
# screenshot: how many, and the middle row of their box (screen pixels).
arrow_at() {
  local n box
  convert "$shots/$1.ppm" -crop "$2" +repage -fuzz 4% -fill white -opaque "$arrow_amber" \
    -fill black +opaque white "$shots/$1.arrow.pbm"
  n=$(convert "$shots/$1.arrow.pbm" -format '%[fx:round(mean*w*h)]' info:)
  box=$(convert "$shots/$1.arrow.pbm" -format '%@' info:)  # WxH+X+Y of the white pixels
  local h=${box#*x}; h=${h%%+*}; local y=${box##*+}
  local top=${2##*+}
  echo "$n $((top + y + h / 2))"
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
[ "$(matching start "$landscape_region" "$sign_amber" 12)" -gt 150 ]
check $? "the next gate's sign stands amber on the slope"
[ "$(arrow_at start 1024x550+0+110 | cut -d' ' -f1)" -lt 50 ]
check $? "no arrow while the next gate is in sight"

# --- turned away, the arrow points back -------------------------------------
wait_for_start race1
check $? "the first race starts"
hold Left 2.5
paused_shot behind
keep_shot behind newcomer-
read -r arrow_pixels _ < <(arrow_at behind 1024x550+0+110)
[ "$arrow_pixels" -gt 800 ] && [ "$(arrow_at behind "$centre_region" | cut -d' ' -f1)" -lt 20 ]
check $? "with gate 1 behind, an amber arrow stands at the screen's edge ($arrow_pixels pixels)"

# --- the clock runs out: the message line says so over the fail panel --------
until_shot timeup 30 '[ "$(matching timeup "$fail_panel_region" "$fail_red" 10)" -gt 5000 ]'
check $? "the clock runs out: the fail panel"
keep_shot timeup newcomer-

# --- Enter: a second race ---------------------------------------------------
press Return
built_twice() { [ "$(grep -c '^Importing file: Models/right.obj' "$log")" -eq 2 ]; }
for _ in $(seq 1 "$(scaled 100)"); do built_twice && break; sleep 0.1; done
built_twice
check $? "Enter builds the level again"
until_shot second 10 '[ "$(clock_change start second)" -eq 0 ]'
check $? "the second race's clock reads 10.00"
keep_shot second newcomer-
[ "$(matching second "$fail_panel_region" "$fail_red" 10)" -lt 500 ]
check $? "the second race starts without the fail panel"

# --- aimed by the arrow at gate 2: the wrong gate ----------------------------
# Gate 2 lies about 73 degrees left of the start's heading; turned that far, gate 1
# stands off the right edge and the arrow there points at it from rows 409 to 418.
# The sled turns on the spot: R puts it back at the start at rest, Down holds it
# there. A turn of one tap may be a frame or none: taps grow while the arrow stands
# still and shrink when it overshoots.
xdotool keydown Down
wait_for_start race2
press r
hold Left 1.0
aimed=1
tap=0.05
last_key=""
last_row=""
for step in $(seq 1 40); do
  paused_shot "aim$step"
  read -r n row < <(arrow_at "aim$step" "$right_edge")
  if [ "$n" -lt 200 ]; then
    hold Left 0.08   # gate 1 still in sight: turn on
    continue
  fi
  if [ "$row" -ge 409 ] && [ "$row" -le 418 ]; then
    aimed=0
    break
  fi
  key=$([ "$row" -lt 409 ] && echo Left || echo Right)
  if [ -n "$last_key" ] && [ "$key" != "$last_key" ]; then
    tap=$(awk -v t="$tap" 'BEGIN { t /= 2; print (t < 0.02 ? 0.02 : t) }')
  elif [ "$row" = "$last_row" ]; then
    tap=$(awk -v t="$tap" 'BEGIN { t *= 2; print (t > 0.4 ? 0.4 : t) }')
  fi
  hold "$key" "$tap"
  last_key=$key
  last_row=$row
done
check $aimed "turned by the arrow toward gate 2 (arrow at row ${row:-none})"
xdotool keyup Down
xdotool keydown Up
wait_for_line "$log" '^Verloren! Checkpoint verpasst$' 12
check $? "riding on, the sled goes through a gate out of turn (console line)"
shot wrong
xdotool keyup Up
keep_shot wrong newcomer-
wrong_ink=$(matching wrong "$message_band" "$text_black" 20)
[ "$wrong_ink" -gt 400 ] && [ "$(matching wrong "$fail_panel_region" "$fail_red" 10)" -gt 5000 ]
check $? "the wrong gate's message on the line (${wrong_ink} dark pixels) and the fail panel"

# --- Escape ------------------------------------------------------------------
press Escape
wait_for_exit 30
[ "$status" = 0 ]
check $? "Escape ends the game with status 0 (status $status)"
no_sanitizer_report "$log"
check $? "no sanitizer report"

finish newcomer_session
