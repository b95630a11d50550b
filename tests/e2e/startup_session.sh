#!/usr/bin/env bash
# A player starts the game. The start-up lines come in their order; the loading
# message stays on the sky while the level is built; then the level is seen
# from behind the sled, the countdown runs on the message line while the clock
# holds at 10.00, and the clock runs once the countdown is over. Closing the
# window (the desktop's close button) ends the game with status 0.
# The level build is held back by the sound, which opens before it: OpenAL's wave
# writer writes into a pipe that is read only once the loading screen has been
# looked at (opening a pipe waits for its reader), so no timing decides the test.
# Usage: startup_session.sh FROSTLINE_BINARY CLOSE_REQUEST_TOOL   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
close_request=$2

hold="$shots/hold.wav"
mkfifo "$hold"
printf '[wave]\nfile=%s\n' "$hold" >"$shots/alsoft.conf"
log="$shots/startup.log"

ALSOFT_DRIVERS=wave ALSOFT_CONF="$shots/alsoft.conf" start_game "$log" "$game"
if ! wait_for_window; then
  fail "no window appeared"; cat "$log" "$log.err"; finish startup_session
fi

# --- the loading screen, while the sound waits for its pipe's reader ---------
size=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
[ "$size" = "1024x768" ]; check $? "full-screen window of 1024x768 (got $size)"
# The window is black until the first swap: wait for the sky with the message on it.
scene_pixels=$((1024 * 495))
loading=1
for _ in $(seq 1 "$(scaled 100)"); do
  shot loading
  if [ "$(matching loading "$scene_region" "$sky" 3)" -eq "$scene_pixels" ]; then loading=0; break; fi
  sleep 0.1
done
keep_shot loading startup-
check $loading "the loading screen shows the sky, and only the sky, while the level is built"
[ "$(matching loading "$message_band" "$text_black" 20)" -gt 1500 ]
check $? "the loading message is written on the message line"
! grep -q 'Initialize PhysX' "$log"; check $? "the world is built after the loading message is shown"

# --- the level arrives: the countdown (3 s from the first frame) ---------------
cat "$hold" >/dev/null &
wait_for_line "$log" '^Importing file: Models/right.obj'; check $? "the level is built"
for _ in $(seq 1 "$(scaled 100)"); do
  shot countdown1
  [ "$(matching countdown1 "$sled_region" "$jacket_blue" 12)" -gt 200 ] && break
  sleep 0.1
done
first_frame=$SECONDS
sleep 1
shot countdown2
keep_shot countdown1 startup-
[ "$(matching countdown1 "$sled_region" "$jacket_blue" 12)" -gt 200 ]
check $? "the rider is seen from behind in the middle of the screen"
[ "$(matching countdown1 "$ground_region" "$snow" 12)" -gt 50000 ]
check $? "snow around the sled"
[ "$(matching countdown1 "$clock_region" "$clock_orange" 15)" -gt 2000 ] && clock_holds countdown1 countdown2
check $? "the clock is shown and holds during the countdown"
[ "$(matching countdown1 "$message_band" "$text_black" 20)" -gt 100 ] &&
  [ "$(differing countdown1 countdown2 "$message_band")" -gt 50 ]
check $? "the countdown counts down on the message line"

wait_more=$((first_frame + 4 - SECONDS))
[ "$wait_more" -gt 0 ] && sleep "$wait_more"
shot race1
sleep 1
shot race2
keep_shot race2 startup-
[ "$(clock_change race1 race2)" -gt 50 ]
check $? "the clock runs after the countdown"

# --- start-up lines, in order -----------------------------------------------
lines_in_order "$log" \
  "init panel" \
  "Loading Texture: Models/font1.png" \
  "Loading Texture: models/wintext.png" \
  "Loading Texture: models/failtext.png" \
  "Loading Texture: models/help.png" \
  "Initialize PhysX" \
  "Initialize PhysX scene" \
  "Importing file: models/terrain.obj" \
  "Importing file: Models/rock.obj" \
  "Importing file: Models/tree_fallen.obj" \
  "Importing file: Models/tree_stump.obj" \
  "Importing file: Models/billboard.obj" \
  "Importing file: Models/tree.obj" \
  "Importing file: models/checkpoint.obj" \
  "Importing file: models/cow.obj" \
  "Importing file: models/snowflake.obj" \
  "Importing file: Models/torso.obj" \
  "Importing file: Models/left.obj" \
  "Importing file: Models/right.obj"
check $? "start-up lines: text resources, panels, physics, then the level's models"

# --- the close button ends the game like Escape ------------------------------
"$close_request" Frostline; check $? "close request sent"
wait_for_exit 60
[ "$status" = 0 ]; check $? "close request: exit status 0 (got $status)"
no_sanitizer_report "$log"; check $? "no sanitizer report"
finish startup_session
