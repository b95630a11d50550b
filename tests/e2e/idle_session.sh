#!/usr/bin/env bash
# A player who starts the game and touches nothing: after the countdown the
# clock runs out, reads 00.00 and the fail panel shows; Escape still ends the
# game with status 0.
# Usage: idle_session.sh FROSTLINE_BINARY   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
log="$shots/idle.log"

start_game "$log" "$game"
if ! wait_for_window || ! wait_for_line "$log" '^Importing file: Models/right.obj'; then
  fail "the level did not appear"; cat "$log" "$log.err"; finish idle_session
fi
built=$SECONDS
sleep 0.5
shot start

# The countdown (3 s) and the whole race time (10 s) pass before the race is lost.
lost=1
for _ in $(seq 1 "$(scaled 60)"); do
  shot end
  if [ "$(matching end "$fail_panel_region" "$fail_red" 8)" -gt 10000 ]; then lost=0; break; fi
  sleep 0.5
done
elapsed=$((SECONDS - built))
keep_shot end idle-
check $lost "the fail panel shows"
[ "$elapsed" -ge 12 ]; check $? "not before the clock could run out (after ${elapsed} s)"
clock_reads_zero start end; check $? "the clock reads 00.00"
sleep 1
shot later
clock_reads_zero start later; check $? "the clock stays at 00.00"

press Escape
wait_for_exit 60
[ "$status" = 0 ]; check $? "Escape after the lost race: exit status 0 (got $status)"
no_sanitizer_report "$log"; check $? "no sanitizer report"
finish idle_session
