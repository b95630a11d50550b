# Shared steps of the end-to-end sessions: start the built game, wait for its
# window and its log, press keys, take screenshots and measure them.
# Sourced by the session scripts; needs DISPLAY, xdotool and ImageMagick.
#
# Screenshots are taken as PPM (fast while the game keeps both cores busy) into
# $shots; keep_shot turns one into a PNG in $E2E_KEEP (when set) for a look.

shots=$(mktemp -d)
trap 'cleanup_session' EXIT
failures=0
checks=0
game_pid=""
wid=""

# Xvfb starts afresh when its last client leaves, and a game started in that
# moment cannot open the display: keep one quiet client connected throughout.
display_keeper=""
if [ -n "${DISPLAY:-}" ]; then
  xprop -root -spy >/dev/null 2>&1 &
  display_keeper=$!
fi

# Sanitizer builds run slower: every wait below scales with E2E_SLOWDOWN (default 1).
slowdown=${E2E_SLOWDOWN:-1}

cleanup_session() {
  if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
    kill_game
  fi
  [ -n "$display_keeper" ] && kill "$display_keeper" 2>/dev/null
  rm -rf "$shots"
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); checks=$((checks + 1)); }
pass() { echo "ok: $*"; checks=$((checks + 1)); }
# check CONDITION_STATUS MESSAGE: records a pass when the status is 0, a failure otherwise.
check() { if [ "$1" -eq 0 ]; then pass "$2"; else fail "$2"; fi; }

# Prints the summary and exits with 1 when a check failed.
finish() {
  local name=$1
  if [ "$failures" -ne 0 ]; then
    echo "$name: $failures of $checks checks failed"
    exit 1
  fi
  echo "$name: all $checks checks passed"
  exit 0
}

# Seconds scaled by the slowdown factor (integer result).
scaled() { echo $(($1 * slowdown)); }

# start_game LOG [COMMAND...]: starts the game (default ./frostline in the current
# folder) with standard input not a terminal; sets game_pid.
start_game() {
  local log=$1
  shift
  [ $# -eq 0 ] && set -- ./frostline
  "$@" </dev/null >"$log" 2>"$log.err" &
  game_pid=$!
}

# wait_for_window [SECONDS]: waits for the window named Frostline; sets wid.
wait_for_window() {
  local limit=$(( $(scaled ${1:-60}) * 10 ))
  for _ in $(seq 1 "$limit"); do
    wid=$(xdotool search --name '^Frostline$' 2>/dev/null | head -1)
    [ -n "$wid" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# wait_for_line LOG REGEX [SECONDS]: waits until a line of LOG matches REGEX.
wait_for_line() {
  local limit=$(( $(scaled ${3:-60}) * 10 ))
  for _ in $(seq 1 "$limit"); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    kill -0 "$game_pid" 2>/dev/null || { grep -q -- "$2" "$1" 2>/dev/null; return; }
    sleep 0.1
  done
  return 1
}

# wait_for_exit [SECONDS]: waits for the game to end; sets status to its exit
# status, or to "hang" after killing it when the time is up.
wait_for_exit() {
  local limit=$(( $(scaled ${1:-60}) * 10 ))
  for _ in $(seq 1 "$limit"); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid"
      status=$?
      game_pid=""
      return
    fi
    sleep 0.1
  done
  kill_game
  game_pid=""
  status=hang
}

# kill_game: ends the game at once; started through a launcher, the game is the
# launcher's child and ends first.
kill_game() {
  pkill -9 -P "$game_pid" 2>/dev/null
  kill -9 "$game_pid" 2>/dev/null
  wait "$game_pid" 2>/dev/null
}

# The game's window gets the keyboard; then press KEYS... (xdotool key names).
press() {
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key "$@"
}

# hold KEY SECONDS: keeps KEY down for SECONDS.
hold() {
  xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

# shot NAME: the whole screen into $shots/NAME.ppm.
shot() { import -window root "$shots/$1.ppm"; }

# keep_shot NAME [PREFIX]: a PNG copy of a screenshot in $E2E_KEEP, for a look.
keep_shot() {
  [ -n "${E2E_KEEP:-}" ] || return 0
  mkdir -p "$E2E_KEEP"
  convert "$shots/$1.ppm" "$E2E_KEEP/${2:-}$1.png"
}

# --- screen regions (1024 x 768 window) as ImageMagick geometries -----------
clock_region=330x100+0+0        # race time, top left
message_band=640x60+192+108     # message line, centred below the clock
stats_region=260x90+764+0       # frame-time labels, top right
scene_region=1024x495+0+165     # the 3D view between the HUD lines (below the message line)
landscape_region=1024x275+0+165 # its upper part: slope and mountain, above the sled's spray
centre_region=300x200+362+284   # middle of the screen (panels)
left_strip=60x600+0+110         # left edge of the 3D view, beside the help card
sled_region=200x160+412+440     # where the chase camera shows the sled
ground_region=1024x200+0+460    # lower part of the 3D view, snow near the sled

# differing NAME_A NAME_B REGION [FUZZ%]: number of pixels of REGION that differ
# between two screenshots by more than FUZZ (default 4 %).
differing() {
  compare -metric AE -fuzz "${4:-4}%" "$shots/$1.ppm[$3]" "$shots/$2.ppm[$3]" null: 2>&1 | cut -d' ' -f1
}

# matching NAME REGION COLOUR [FUZZ%]: number of pixels of REGION within FUZZ
# (default 10 %) of COLOUR.
matching() {
  local size=${2%%+*}
  local total=$(( ${size%x*} * ${size#*x} ))
  convert -size "$size" "xc:$3" "$shots/colour.ppm"
  local other
  other=$(compare -metric AE -fuzz "${4:-10}%" "$shots/$1.ppm[$2]" "$shots/colour.ppm" null: 2>&1 | cut -d' ' -f1)
  echo $((total - ${other%.*}))
}

# Colours of the game and its generated art.
sky='rgb(125,186,255)'          # clear colour (0.49, 0.73, 1.0)
clock_orange='rgb(252,74,3)'    # race time and points (0.99, 0.29, 0.01)
stats_green='rgb(0,255,0)'      # frame-time labels
text_black='rgb(0,0,0)'         # message line
jacket_blue='rgb(21,87,180)'    # the rider's jacket
snow='rgb(210,228,237)'         # lit snow near the sled
help_navy='rgb(26,46,75)'       # the help card
fail_red='rgb(149,34,34)'       # the fail panel's ribbon
fail_panel_region=660x90+182+338

# make_runtime_copy DIR BINARY: a runtime folder of our own to break things in:
# copies of options.ini and the shaders, links to the binary and each asset.
make_runtime_copy() {
  local dir=$1 binary=$2 file
  mkdir -p "$dir/Shader" "$dir/models"
  cp Shader/* "$dir/Shader/"
  for file in models/*; do ln -s "$PWD/$file" "$dir/models/"; done
  ln -s models "$dir/Models"
  [ -e options.ini ] && cp options.ini "$dir/"
  ln -s "$binary" "$dir/frostline"
}

# lines_in_order LOG EXPECTED...: every EXPECTED line occurs in LOG, in this
# order (other lines may come between); prints the first one missing.
lines_in_order() {
  local log=$1
  shift
  local next=1 line
  local expected=("$@")
  while IFS= read -r line; do
    [ "$next" -le ${#expected[@]} ] || break
    [ "$line" = "${expected[$((next - 1))]}" ] && next=$((next + 1))
  done <"$log"
  if [ "$next" -le ${#expected[@]} ]; then
    echo "missing or out of order: '${expected[$((next - 1))]}'"
    return 1
  fi
}

# wait_for_level LOG [SECONDS]: the last model of the level is imported and frames are drawn.
wait_for_level() {
  local log=$1
  wait_for_line "$log" '^Importing file: Models/right.obj' "${2:-60}" || return 1
  sleep "$(scaled 1)"
}

# wait_for_rider NAME [SECONDS]: screenshots NAME until the rider is seen in the
# middle of the screen, as the level's first frames (the countdown) show it; 1
# when the time runs out or the game ends first.
wait_for_rider() {
  local limit=$(( $(scaled ${2:-10}) * 10 ))
  for _ in $(seq 1 "$limit"); do
    shot "$1"
    [ "$(matching "$1" "$sled_region" "$jacket_blue" 12)" -gt 200 ] && return 0
    kill -0 "$game_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# play_installed NAME COMMAND...: starts an installed game through COMMAND (its
# launcher) from an empty folder elsewhere, with a TMPDIR of its own, until its
# first countdown frames, and quits with Escape; the game's output is in
# $shots/NAME.log. Checks that the rider is shown, that Escape ends it with
# status 0, and that neither the folder it was started from nor TMPDIR keeps
# anything (the launcher removes the folder it ran the game in).
play_installed() {
  local name=$1 log="$shots/$1.log"
  shift
  rm -rf "$shots/elsewhere" "$shots/tmp"
  mkdir -p "$shots/elsewhere" "$shots/tmp"
  cd "$shots/elsewhere" || return
  TMPDIR="$shots/tmp" start_game "$log" "$@"
  cd - >/dev/null || return
  if wait_for_window && wait_for_line "$log" '^Importing file: Models/right.obj' && wait_for_rider "$name"; then
    keep_shot "$name" install-
    pass "$name: the rider is shown as the countdown starts"
    press Escape
    wait_for_exit 60
    [ "$status" = 0 ]
    check $? "$name: Escape ends it with status 0 (got $status)"
  else
    fail "$name: the level did not appear"
    tail -n 5 "$log" "$log.err"
    wait_for_exit 5
  fi
  [ -z "$(find "$shots/elsewhere" "$shots/tmp" -mindepth 1)" ]
  check $? "$name: nothing is left in the folder it was started from or in TMPDIR"
}

# wait_until_settled NAME REGION PIXELS [SECONDS] [FUZZ%]: screenshots NAME until two,
# one second apart, differ in fewer than PIXELS of REGION (after the race the
# braked sled still creeps down the slope a little), by more than FUZZ (default
# 2 %); 1 when time runs out.
wait_until_settled() {
  local limit=$(scaled ${4:-30})
  local start=$SECONDS
  shot "$1"
  while [ $((SECONDS - start)) -lt "$limit" ]; do
    sleep 1
    cp "$shots/$1.ppm" "$shots/$1.prev.ppm"
    shot "$1"
    [ "$(differing "$1.prev" "$1" "$2" "${5:-2}")" -lt "$3" ] && return 0
  done
  return 1
}

# clock_mask NAME: the race time's digits of a screenshot as a black and white
# mask ($shots/NAME.clock.pbm); prints the left edge of its first digit (pixels).
# The digits' soft edges take some of the picture behind them (snow and
# mountains), which moves with the view: the mask is thinned by a pixel all
# round, so that only the digits' solid strokes count.
clock_mask() {
  convert "$shots/$1.ppm" -crop "$clock_region" +repage -fuzz 15% \
    -fill magenta -opaque "$clock_orange" -fill black +opaque magenta -fill white -opaque magenta \
    -morphology Erode Diamond:1 "$shots/$1.clock.pbm"
  local left
  left=$(convert "$shots/$1.clock.pbm" -trim -format '%X' info:)
  echo "${left#+}"
}

# clock_change NAME_A NAME_B: number of pixels in which the race time's digits
# of two screenshots differ (whatever lies behind them).
clock_change() {
  clock_mask "$1" >/dev/null
  clock_mask "$2" >/dev/null
  compare -metric AE "$shots/$1.clock.pbm" "$shots/$2.clock.pbm" null: 2>&1 | cut -d' ' -f1
}

# clock_holds NAME_A NAME_B: the race time reads the same in both screenshots. A
# stray pixel at a stroke's edge may flip with the picture behind it; a digit
# that changes flips hundreds.
clock_holds() {
  [ "$(clock_change "$1" "$2")" -le 10 ]
}

# clock_reads_zero START_NAME NAME: the clock of NAME reads 00.00, given START_NAME
# showing the starting 10.00: the two texts differ only in their first digit,
# and that digit is the same "0" as the second one. Digits are 64 pixels apart.
# A few pixels at each glyph's edges may flip with the mountains and firs behind
# them (up to 40 over the four glyphs of "0.00" in our runs); two different
# digits differ in several hundred (570 between "0" and "6").
clock_reads_zero() {
  local left
  left=$(clock_mask "$2")
  clock_mask "$1" >/dev/null
  local first="64x100+$left+0" second="64x100+$((left + 64))+0" rest="256x100+$((left + 64))+0"
  local same_digit same_rest
  same_digit=$(compare -metric AE "$shots/$2.clock.pbm[$first]" "$shots/$2.clock.pbm[$second]" null: 2>&1 | cut -d' ' -f1)
  same_rest=$(compare -metric AE "$shots/$2.clock.pbm[$rest]" "$shots/$1.clock.pbm[$rest]" null: 2>&1 | cut -d' ' -f1)
  echo "clock: the first digit differs from the second in $same_digit pixels, the rest from the start's in $same_rest" >&2
  [ "$same_digit" -le 20 ] && [ "$same_rest" -le 80 ]
}

# no_sanitizer_report LOG: standard error holds no sanitizer or runtime-error report.
no_sanitizer_report() {
  ! grep -q -E 'ERROR: (Address|Leak|Undefined)Sanitizer|runtime error:|SUMMARY: .*Sanitizer' "$1.err" 2>/dev/null
}
