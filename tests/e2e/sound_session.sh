#!/usr/bin/env bash
# What a player hears, recorded: OpenAL mixes into a WAV file instead of a
# device (its wave backend), and the recording is measured.
#   The real game, driven by keys: the countdown beeps 3, 2, 1 a second apart and
#   sounds the start a second later, an octave higher; the wind grows while Up is
#   held; the help card (F1) silences everything until it is gone again; after M
#   ("toggle Sound: 0") nothing at all is heard; Escape ends with status 0.
#   The autopilot's ride (frostline_ride, when given), in fixed steps so that
#   every run rides the same ride: the first snowflake touched on the sled's left,
#   a chime within 0.2 s of it, heard from the left; the whole race won, the
#   fanfare after it; the countdown and the wind and runners centred (both
#   channels equal); the race mixed to -24 LUFS integrated (within 2 LU, ITU-R
#   BS.1770 gating) with its true peak below -1 dBTP.
#   Without a sound system (a backend that does not exist): one line
#   "Sound: no device (...), playing silently", and the game plays on and ends
#   with status 0.
# Usage: sound_session.sh FROSTLINE_BINARY SOUNDPROBE [RIDE_BINARY]
#        (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
probe=$2
ride=${3:-}
log="$shots/sound.log"
recording="$shots/session.wav"

# OpenAL's wave backend: two channels of 16-bit samples at 44.1 kHz, no dither (silence is 0).
write_sound_config() {
  printf '[general]\nchannels=stereo\nsample-type=int16\nfrequency=44100\ndither=false\n[wave]\nfile=%s\n' \
    "$1" \
    >"$shots/alsoft-$(basename "$1").conf"
  echo "$shots/alsoft-$(basename "$1").conf"
}
# Seconds recorded so far: the backend writes the file as it mixes, in real time.
recorded() {
  awk -v bytes="$(stat -c %s "$recording" 2>/dev/null || echo 0)" 'BEGIN { printf "%.3f", bytes / 176400 }'
}
# at_least A B / below A B: numeric comparisons of decimals.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
# plus A B: their sum, to the millisecond.
plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }
# rms FROM TO / loudest FROM TO: levels of a span of a recording (dBFS).
rms() { "$probe" "$1" level "$2" "$3" | cut -d' ' -f1; }
loudest() { "$probe" "$1" level "$2" "$3" | cut -d' ' -f2; }
# countdown_heard FILE: four onsets, the first three at the beeps' note and the last
# an octave higher, each about a second after the one before (a number shows on the
# first frame after its second begins: within 0.2 s on a build at full speed); prints
# the first one's time.
countdown_heard() {
  local beeps go
  beeps=$("$probe" "$1" onsets 880 | head -3 | tr '\n' ' ')
  go=$("$probe" "$1" onsets 1760 | head -1)
  echo "countdown: beeps at $beeps, start at $go" >&2
  awk -v b="$beeps" -v go="$go" -v slack="$(awk -v s="$slowdown" 'BEGIN { print 0.2 * s }')" 'BEGIN {
    n = split(b, t, " "); if (n != 3 || go == "") exit 1
    t[4] = go
    for (i = 2; i <= 4; i++) { d = t[i] - t[i - 1]; if (d < 1 - slack || d > 1 + slack) exit 1 }
    print t[1] }'
}

# --- the real game, driven by keys --------------------------------------------
ALSOFT_DRIVERS=wave ALSOFT_CONF=$(write_sound_config "$recording") start_game "$log" "$game"
if ! wait_for_window || ! wait_for_level "$log"; then
  fail "the level did not appear"; cat "$log" "$log.err"; finish sound_session
fi
sleep "$(scaled 5)"  # the countdown is over

up_from=$(recorded)
hold Up 3
up_to=$(recorded)
press F1
help_from=$(recorded)
sleep 2
help_to=$(recorded)
press F1
sleep 1.5
shot before_mute
press m
muted_from=$(recorded)
sleep 0.8
shot muted
keep_shot muted sound-
sleep 1.5
press Escape
wait_for_exit 60
[ "$status" = 0 ]
check $? "Escape ends the recorded game with status 0 (status $status)"

start=$(countdown_heard "$recording")
check $? "the countdown beeps 3, 2, 1 and the start, a second apart"

quiet=$(rms "$recording" "$up_from" "$(plus "$up_from" 0.5)")
loud=$(rms "$recording" "$(plus "$up_to" -0.5)" "$up_to")
echo "wind: $quiet dBFS as Up went down, $loud dBFS 3 s later"
at_least "$loud" "$(plus "$quiet" 3)"
check $? "the wind grows while Up is held"

help_peak=$(loudest "$recording" "$(plus "$help_from" 0.3)" "$help_to")
after_help=$(rms "$recording" "$(plus "$help_to" 0.4)" "$(plus "$help_to" 1.2)")
echo "help: loudest $help_peak dBFS while shown, $after_help dBFS after"
below "$help_peak" -50 && at_least "$after_help" -50
check $? "the help card silences the race, which is heard again after it"

length=$("$probe" "$recording" length)
muted_peak=$(loudest "$recording" "$(plus "$muted_from" 0.3)" "$length")
echo "muted: loudest $muted_peak dBFS from $muted_from s to the end at $length s"
at_least "$length" "$(plus "$muted_from" 1.5)" && below "$muted_peak" -90
check $? "after M nothing at all is heard"
[ "$(differing before_mute muted "$message_band")" -gt 300 ]
check $? "M says so on the message line"

# --- the autopilot's ride: a snowflake, the won race, the mix ------------------
# ride NAME ARGUMENTS...: records frostline_ride LOG ARGUMENTS... into $shots/NAME.wav;
# sets recording, ride_log and start (when the first beep was heard, in the first frame).
ride() {
  local name=$1
  shift
  recording="$shots/$name.wav"
  ride_log="$shots/$name.log"
  ALSOFT_DRIVERS=wave ALSOFT_CONF=$(write_sound_config "$recording") \
    start_game "$log.$name" "$ride" "$ride_log" "$@"
  wait_for_exit 400
  check "$([ "$status" = 0 ] && echo 0 || echo 1)" "$name: the autopilot's ride ends (status $status)"
  # The ride's cues sound when its steps run, in bursts a frame apart on a busy machine: the
  # beeps' spacing is the real game's check above; here the first beep sets the clock.
  start=$("$probe" "$recording" onsets 880 | head -1)
  [ -n "$start" ]
  check $? "$name: the countdown's first beep is heard (at ${start:-no time} s)"
}
# heard_at NS: recording time of the frame that began at NS (wall clock): the first
# beep sounded in the first frame.
heard_at() {
  awk -v ns="$1" -v f="$(awk '$1 == "first-frame-start-ns" { print $2 }' "$ride_log")" -v s="$start" \
    'BEGIN { printf "%.3f", s + (ns - f) / 1e9 }'
}

ride_session() {
  # The whole race in fixed steps, by way of the snowflake below the start.
  ride race 2 snowflake fixed
  local outcome
  outcome=$(grep -E '^(points|decided)' "$ride_log" | tr '\n' ' ')
  grep -q '^decided won' "$ride_log"
  check $? "the autopilot collects the snowflake and wins the race ($outcome)"

  # A chime within 0.2 s of every snowflake collected; one touched well to a side (more than
  # about 3 degrees off the camera's axis) is heard louder on that side.
  local chimes snowflakes=0 missed=0 placed=0 misplaced=0 expected stereo
  chimes=$("$probe" "$recording" onsets 1568 | tr '\n' ' ')
  while read -r _ gained _ ns _ side; do
    [ "$gained" = 50 ] || [ "$gained" = 100 ] || continue
    snowflakes=$((snowflakes + 1))
    expected=$(heard_at "$ns")
    if awk -v e="$expected" -v c="$chimes" 'BEGIN {
      n = split(c, t, " ")
      for (i = 1; i <= n; i++) if (t[i] - e < 0.2 && e - t[i] < 0.2) exit 0
      exit 1 }'; then
      echo "snowflake collected at $expected s: chimed"
    else
      echo "snowflake collected at $expected s: no chime near it"
      missed=$((missed + 1))
    fi
    stereo=$("$probe" "$recording" stereo "$expected" "$(plus "$expected" 0.3)")
    echo "snowflake at $side of the camera's side:" \
      "channels differ by ${stereo% *} dB, left ${stereo#* } dB over right"
    if awk -v s="$side" 'BEGIN { exit !(s > 0.05 || s < -0.05) }'; then
      placed=$((placed + 1))
      awk -v s="$side" -v lr="${stereo#* }" 'BEGIN { exit !((s < 0 && lr > 0.5) || (s > 0 && lr < -0.5)) }' ||
        misplaced=$((misplaced + 1))
    fi
  done < <(grep '^points ' "$ride_log")
  echo "snowflakes collected: $snowflakes; chimes at $chimes"
  [ "$snowflakes" -gt 0 ] && [ "$missed" -eq 0 ]
  check $? "a chime within 0.2 s of every snowflake collected"
  [ "$placed" -gt 0 ] && [ "$misplaced" -eq 0 ]
  check $? "a snowflake touched on one side is heard from there ($placed to a side, $misplaced elsewhere)"

  # The fanfare after the won race.
  local won_at fanfare_start held_note
  won_at=$(heard_at "$(awk '$1 == "decided" { print $NF }' "$ride_log")")
  fanfare_start=$("$probe" "$recording" onsets 523.25 |
    awk -v w="$won_at" '$1 > w + 0.1 && $1 < w + 0.7 { print; exit }')
  held_note=$("$probe" "$recording" present 1046.5 "$(plus "$won_at" 0.9)" "$(plus "$won_at" 1.5)")
  echo "won at $won_at s: fanfare from ${fanfare_start:-nowhere} s," \
    "its last note heard in $held_note of its span"
  [ -n "$fanfare_start" ] && at_least "$held_note" 0.7
  check $? "the fanfare sounds after the race is won"

  # Centred: the countdown (the sled stands, only the beeps sound), and the wind and the runners,
  # which run the whole ride: most of its half seconds have both channels equal.
  local countdown_stereo equal=0 spans=0 at difference
  countdown_stereo=$("$probe" "$recording" stereo "$start" "$(plus "$start" 3.4)" | cut -d' ' -f1)
  for at in $(awk -v s="$(plus "$start" 3.5)" -v e="$won_at" \
    'BEGIN { for (t = s; t + 0.5 <= e; t += 0.5) print t }'); do
    spans=$((spans + 1))
    difference=$("$probe" "$recording" stereo "$at" "$(plus "$at" 0.5)" | cut -d' ' -f1)
    below "$difference" -80 && equal=$((equal + 1))
  done
  echo "centred: the countdown's channels differ by $countdown_stereo dB;" \
    "$equal of the ride's $spans half seconds equal"
  below "$countdown_stereo" -80 && [ "$((equal * 2))" -ge "$spans" ] && [ "$equal" -lt "$spans" ]
  check $? "the countdown, the wind and the runners are centred, the ride's pick-ups and gates are not"

  # The race's loudness, from the first beep to the end of the recording.
  local loudness
  loudness=$("$probe" "$recording" loudness "$start" "$("$probe" "$recording" length)")
  echo "the race: ${loudness%% *} LUFS integrated, peaks $(echo "$loudness" | cut -d' ' -f2) dBFS," \
    "true peak ${loudness##* } dBTP"
  at_least "${loudness%% *}" -26 && below "${loudness%% *}" -22 && below "${loudness##* }" -1
  check $? "the race is mixed to -24 LUFS (within 2 LU), its true peak below -1 dBTP"
}
if [ -n "$ride" ]; then
  ride_session
else
  echo "no ride binary: the ride's snowflake, fanfare, stereo and loudness are not checked"
fi

# --- no sound system at all ---------------------------------------------------
ALSOFT_DRIVERS=no-such-backend start_game "$log.silent" "$game"
if wait_for_window && wait_for_level "$log.silent"; then
  press Escape
  wait_for_exit 60
fi
[ "$(grep -c '^Sound: no device (.*), playing silently$' "$log.silent")" = 1 ] &&
  [ "$(grep -c '^Sound' "$log.silent")" = 1 ]
check $? "without a sound system one line says the game plays silently"
check "$([ "${status:-}" = 0 ] && echo 0 || echo 1)" "and the silent game ends with status 0"

finish sound_session
