#!/usr/bin/env bash
# A player's race with every command key, in the runtime folder:
#   Up rides the sled on; F enters the free camera (the race waits and the view
#   stands still), where F2 shows the frame-time lines, F3 draws lines, F6 turns
#   motion blur off (under the same sky) and on, F8 culls nothing that is in view
#   and F9 turns blending off (text on solid boxes) and on; F returns to the sled and the
#   race goes on. F1 shows the help and stops the clock, a second F1 hides it
#   and the clock runs again.
#   Once the clock has run out and the sled is braked, the free camera flies
#   away with W and the mouse, and F puts the view back where it was (compared
#   above the sled, where its spray does not reach).
#   Escape ends the game with status 0 after the shutdown.
# Each toggle is checked on the standing view against the same view before it.
# Usage: play_session.sh FROSTLINE_BINARY   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
log="$shots/play.log"

start_game "$log" "$game"
if ! wait_for_window || ! wait_for_level "$log"; then
  fail "the level did not appear"; cat "$log" "$log.err"; finish play_session
fi

# --- the race starts: the clock begins to run after the countdown -----------
shot level
started=1
for _ in $(seq 1 "$(scaled 20)"); do
  sleep 0.5
  shot running
  if [ "$(clock_change level running)" -gt 50 ]; then started=0; break; fi
done
check $started "the clock starts after the countdown"

# --- Up rides the sled on ---------------------------------------------------
shot before_up
hold Up 1.5
shot after_up
keep_shot after_up play-
[ "$(differing before_up after_up "$scene_region")" -gt 20000 ] &&
  [ "$(matching after_up "$sled_region" "$jacket_blue" 12)" -gt 200 ]
check $? "holding Up moves the sled on, the camera stays behind it"

# --- F: the free camera; the race waits and the view stands still ------------
press F
sleep 0.7
shot free1
sleep 1
shot free2
wait_for_line "$log" '^Initializing FreeModeController$' 5
check $? "F says: Initializing FreeModeController"
[ "$(differing free1 free2 "$scene_region")" -eq 0 ] && clock_holds free1 free2
check $? "in the free camera the race waits: view and clock stand still"

# scene_as_before NAME: the standing view is the same as before the toggles.
scene_as_before() { [ "$(differing free1 "$1" "$scene_region" 2)" -eq 0 ]; }
said_something() { [ "$(differing free1 "$1" "$message_band")" -gt 300 ]; }
# eventually NAME CONDITION: screenshots as NAME until CONDITION (shell code reading
# the shot NAME) holds; a slow build draws the frame that shows a change late.
# The status is CONDITION's on the last shot.
eventually() {
  local tries=$(( $(scaled 8) * 4 ))
  for _ in $(seq 1 "$tries"); do
    shot "$1"
    if eval "$2"; then
      keep_shot "$1" play-
      return 0
    fi
    sleep 0.25
  done
  keep_shot "$1" play-
  return 1
}
# toggle KEY NAME CONDITION: presses KEY, then waits for CONDITION as eventually does.
toggle() { press "$1"; sleep 0.6; eventually "$2" "$3"; }

toggle F2 stats_on '[ "$(matching free1 "$stats_region" "$stats_green" 20)" -eq 0 ] &&
  [ "$(matching stats_on "$stats_region" "$stats_green" 20)" -gt 500 ] && said_something stats_on'
check $? "F2 shows the frame-time lines and says so"
toggle F2 stats_off '[ "$(matching stats_off "$stats_region" "$stats_green" 20)" -eq 0 ]'
check $? "a second F2 hides them"

toggle F3 wire_on '[ "$(matching free1 "$ground_region" "$sky" 8)" -lt 1000 ] &&
  [ "$(matching wire_on "$ground_region" "$sky" 8)" -gt 50000 ] && said_something wire_on'
check $? "F3 draws lines: the sky shows through the slope"
toggle F3 wire_off 'scene_as_before wire_off'
check $? "a second F3 fills the slope again"

# The view stands still, so the blur changes nothing in it: drawn without, the land,
# the mountains and whatever sky shows look the same (no black where the sky was).
toggle F6 blur_off 'said_something blur_off && [ "$(matching blur_off "$sled_region" "$jacket_blue" 12)" -gt 200 ] &&
  [ "$(differing free1 blur_off "$landscape_region" 3)" -lt 2000 ]'
check $? "F6 turns motion blur off and says so; the world is still drawn, under the same sky"
toggle F6 blur_on 'scene_as_before blur_on'
check $? "a second F6 turns it on: the view is as before"

toggle F8 cull_on 'said_something cull_on && scene_as_before cull_on'
check $? "F8 turns culling on and says so; nothing in view goes missing"
toggle F8 cull_off 'scene_as_before cull_off'
check $? "a second F8 turns it off"

toggle F9 blend_off '[ "$(matching blend_off "$clock_region" "$clock_orange" 15)" -gt \
  $(( 2 * $(matching free1 "$clock_region" "$clock_orange" 15) )) ]'
check $? "F9 turns blending off: the clock's digits sit on solid boxes"
orange_before=$(matching free1 "$clock_region" "$clock_orange" 15)
toggle F9 blend_on 'orange_after=$(matching blend_on "$clock_region" "$clock_orange" 15)
  [ $((orange_after - orange_before)) -le 100 ] && [ $((orange_before - orange_after)) -le 100 ] &&
  scene_as_before blend_on'
check $? "a second F9 turns blending on again"

toggle F back '[ "$(matching back "$sled_region" "$jacket_blue" 12)" -gt 200 ]'
check $? "F returns to the view behind the sled"
sleep 0.5
eventually back2 '[ "$(clock_change back back2)" -gt 50 ]'
check $? "the race goes on"

# --- F1: help, and the clock stops -------------------------------------------
toggle F1 help1 '[ "$(matching help1 "$centre_region" "$help_navy" 8)" -gt 40000 ]'
check $? "F1 shows the help card"
sleep 1.5
shot help2
# The card hides most of the clock; its seconds digit shows at the card's edge.
clock_holds help1 help2 && [ "$(differing help1 help2 "$left_strip")" -eq 0 ]
check $? "the clock and the sled stand still while the help is shown"
toggle F1 unhelp1 '[ "$(matching unhelp1 "$centre_region" "$help_navy" 8)" -lt 2000 ]' &&
  sleep 0.5 && eventually unhelp2 '[ "$(clock_change unhelp1 unhelp2)" -gt 50 ]'
check $? "a second F1 hides the help and the clock runs again"

# --- after the race: the free camera flies, F puts the view back -------------
over=1
for _ in $(seq 1 "$(scaled 40)"); do
  shot over
  if [ "$(matching over "$fail_panel_region" "$fail_red" 8)" -gt 10000 ]; then over=0; break; fi
  sleep 1
done
check $over "the race ends with the fail panel when the clock runs out"
# (At 6 %: the snow's grain and the mountains behind change more than 2 % where
# the view shifts by a pixel, and the sled may still creep a little.)
wait_until_settled standing "$landscape_region" 3000 30 6
check $? "the sled is braked after the race"
toggle F flying0 true
hold w 1
xdotool mousemove_relative 60 40
sleep 0.7
shot flying1
keep_shot flying1 play-
[ "$(differing flying0 flying1 "$scene_region")" -gt 50000 ]
check $? "W and the mouse fly the free camera away"
toggle F landed '[ "$(differing flying0 landed "$landscape_region" 6)" -lt 3000 ]'
check $? "F puts the camera back where it was"

# --- Escape -------------------------------------------------------------------
press Escape
wait_for_exit 60
[ "$status" = 0 ]; check $? "Escape: exit status 0 (got $status)"
no_sanitizer_report "$log"; check $? "no sanitizer report"
finish play_session
