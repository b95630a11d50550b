#!/usr/bin/env bash
# What a player sees when a file of the game is missing or broken (or a folder, a
# pipe or a file that fails to read stands in its place: each the same as a missing
# file), the options are odd, or the machine cannot give the game its window. Each case runs in a
# runtime folder of its own (the real one is never touched).
#   Fatal cases: the exact message as the last line, exit status 255, no crash,
#   and no hang although standard input is a pipe nobody writes to; with a
#   terminal the game waits for a key first.
#   Recoverable cases: the warning, then the game runs and Escape ends it with 0.
# Usage: failure_paths.sh FROSTLINE_BINARY   (DISPLAY set, cwd = runtime folder)
set -u
source "$(dirname "$0")/lib.sh"
game=$1
real_runtime=$PWD

# Standard input for the fatal cases: a pipe that stays open and empty, so a
# game that waited for a key there would hang (and be caught by the time limit).
mkfifo "$shots/silent"
exec 3<>"$shots/silent"

# fresh NAME: a new runtime copy in $dir.
fresh() {
  dir="$shots/$1"
  make_runtime_copy "$dir" "$game"
}

# fatal NAME EXPECTED [VAR=VALUE...]: runs the game in $dir with the environment
# changes; expects exit status 255 with EXPECTED as the last line of its output.
fatal() {
  local name=$1 expected=$2
  shift 2
  (cd "$dir" && env "$@" timeout -k 5 "$(scaled 60)" ./frostline <&3 >"$dir/out" 2>"$dir/out.err")
  local status=$?
  local last
  last=$(tail -n 1 "$dir/out")
  if [ "$status" = 255 ] && [ "$last" = "$expected" ] && no_sanitizer_report "$dir/out"; then
    pass "$name: \"$expected\", status 255"
  else
    fail "$name: expected \"$expected\" and status 255, got \"$last\" and status $status"
    tail -n 5 "$dir/out.err"
  fi
}

# fatal_with_log NAME PREFIX: like fatal, for the messages that are followed by
# the driver's log: a line starts with PREFIX and the log after it is not empty.
fatal_with_log() {
  local name=$1 prefix=$2
  (cd "$dir" && timeout -k 5 "$(scaled 60)" ./frostline <&3 >"$dir/out" 2>"$dir/out.err")
  local status=$?
  # The driver's log: the rest of the line after PREFIX and the lines below it.
  local log
  log=$(awk -v p="$prefix" 'found { print; next }
    index($0, p) == 1 { found = 1; print substr($0, length(p) + 1) }
    END { exit !found }' "$dir/out")
  local found=$?
  if [ "$status" = 255 ] && [ "$found" = 0 ] && [ -n "$(printf '%s' "$log" | tr -d '[:space:]')" ] &&
    no_sanitizer_report "$dir/out"; then
    pass "$name: \"$prefix\" with the driver's log, status 255"
  else
    fail "$name: expected a line \"$prefix...\" with a log and status 255, got status $status:"
    tail -n 3 "$dir/out"
  fi
}

# runs NAME: starts the game in $dir, waits for the level, keeps a screenshot.
runs() {
  local name=$1
  cd "$dir"
  start_game "$dir/out"
  if wait_for_window && wait_for_level "$dir/out"; then
    shot "$name"
    keep_shot "$name" failure-
    cd "$real_runtime"
    return 0
  fi
  cd "$real_runtime"
  fail "$name: the level did not appear"
  tail -n 5 "$dir/out" "$dir/out.err"
  wait_for_exit 5
  return 1
}

# quits NAME: Escape ends the running game with status 0.
quits() {
  press Escape
  wait_for_exit 60
  [ "$status" = 0 ] && no_sanitizer_report "$dir/out"
  check $? "$1: Escape ends the game with status 0 (got $status)"
}

said() { grep -q -F -x -e "$1" "$dir/out"; }

# --- shader programs: missing, empty, broken -----------------------------------
for program in basic particlesystem motionblur postprocess DepthRTT textshader panelshader; do
  fresh "$program-missing"
  rm "$dir/Shader/$program.vert"
  fatal "missing $program.vert" "Failed to open shader file: Shader/$program.vert"

  fresh "$program-empty"
  : >"$dir/Shader/$program.frag"
  fatal "empty $program.frag" "Failed to open shader file: Shader/$program.frag"

  fresh "$program-broken"
  printf '#version 330 core\nthis is not a shader\n' >"$dir/Shader/$program.frag"
  fatal_with_log "broken $program.frag" "Shader/$program.frag - Failed to compile shader: "
done
fresh basic-unlinkable
printf '#version 330 core\nvoid helper() {}\n' >"$dir/Shader/basic.vert"
fatal_with_log "basic.vert without main" "Failed to link shader program"
# The GLSL that the lit programs share is read like every shader file.
fresh shared-missing
rm "$dir/Shader/winterlight.glsl"
fatal "missing winterlight.glsl" "Failed to open shader file: Shader/winterlight.glsl"

# --- models --------------------------------------------------------------------
fresh model-missing
rm "$dir/models/torso.obj"
fatal "missing Models/torso.obj" "Could not import the model Models/torso.obj"
# The line before names the importer's reason; an empty reason leaves the player guessing.
grep -q -E "^Error parsing 'Models/torso.obj': '.+'$" "$dir/out"
check $? "missing model: Assimp's reason is given ($(grep '^Error parsing' "$dir/out"))"

fresh model-garbage
rm "$dir/models/cow.obj"
printf 'this is no model\n\001\002\003\n' >"$dir/models/cow.obj"
fatal "garbage models/cow.obj" "The model models/cow.obj holds no mesh"

fresh model-bad-index
rm "$dir/models/cow.obj"
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n' >"$dir/models/cow.obj"
fatal "models/cow.obj with a face past its vertices" "Could not import the model models/cow.obj"

# A material file that starts with a texture before naming its first material.
fresh material-out-of-order
rm "$dir/models/cow.mtl"
printf 'map_Kd models/palette.png\nnewmtl palette\nKd 1 1 1\n' >"$dir/models/cow.mtl"
fatal "models/cow.mtl with a texture before its first material" "Could not import the model models/cow.obj"

fresh model-no-triangles
rm "$dir/models/terrain.obj"
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2\nl 2 3\n' >"$dir/models/terrain.obj"
fatal "models/terrain.obj with lines only" "Could not build the collision mesh of models/terrain.obj"

# --- font: without it nothing can be shown, so it is fatal -------------------------
fresh font-missing
rm "$dir/models/font1.png"
fatal "missing font" "Failed to load the font image: Models/font1.png"

fresh font-broken
rm "$dir/models/font1.png"
printf 'not an image' >"$dir/models/font1.png"
fatal "broken font" "Failed to load the font image: Models/font1.png"

# With a terminal the fatal path waits for a key before it ends the game.
mkfifo "$dir/keys"
(cd "$dir" && script -qfec ./frostline /dev/null <"$dir/keys" >"$dir/tty" 2>&1; echo $? >"$dir/tty.status") &
exec 4>"$dir/keys"
prompt=1
for _ in $(seq 1 "$(scaled 300)"); do
  grep -q 'Press any key to continue' "$dir/tty" 2>/dev/null && { prompt=0; break; }
  sleep 0.1
done
sleep 1
[ "$prompt" = 0 ] && [ ! -e "$dir/tty.status" ]
check $? "missing font at a terminal: the game waits for a key"
printf 'x' >&4
for _ in $(seq 1 50); do [ -s "$dir/tty.status" ] && break; sleep 0.1; done
[ "$(cat "$dir/tty.status" 2>/dev/null)" = 255 ]
check $? "after the key: exit status 255"
exec 4>&-

# --- textures and panels: a warning, and the game goes on ---------------------------
fresh texture-missing
rm "$dir/models/snow.png"
if runs texture-missing; then
  said "Failed to load texture: models/snow.png! Falling back to default texture" &&
    [ "$(matching texture-missing "$sled_region" "$jacket_blue" 12)" -gt 200 ]
  check $? "missing snow texture: the warning, and the level is drawn with the plain white one"
  quits "missing snow texture"
fi

fresh panel-missing
rm "$dir/models/help.png"
if runs panel-missing; then
  press F1
  sleep 0.7
  shot panel-missing-help
  said "Failed to load panel image: models/help.png (the panel stays blank)" &&
    [ "$(matching panel-missing-help "$centre_region" "$help_navy" 8)" -lt 500 ]
  check $? "missing help image: the warning, and F1 shows no card"
  quits "missing help image"
fi

fresh panel-broken
rm "$dir/models/failtext.png"
printf 'not an image' >"$dir/models/failtext.png"
if runs panel-broken; then
  said "Failed to load panel image: models/failtext.png (the panel stays blank)"
  check $? "broken fail image: the warning"
  quits "broken fail image"
fi

fresh guide-broken
rm "$dir/models/guide.ghost"
printf 'frostline ghost 1\nrate 20\nfinish nothing\n' >"$dir/models/guide.ghost"
if runs guide-broken; then
  said "Ghost: no guide (models/guide.ghost is missing or broken)"
  check $? "broken guide run: one line, and the race goes on without a ghost"
  quits "broken guide run"
fi

# --- a folder, a pipe, or a file that fails to read, where a file belongs: as if missing ---
# The same fatal message as the missing file: shaders, models, the font.
fresh shader-folder
rm "$dir/Shader/basic.vert"
mkdir "$dir/Shader/basic.vert"
fatal "a folder for Shader/basic.vert" "Failed to open shader file: Shader/basic.vert"
fresh shader-pipe
rm "$dir/Shader/textshader.vert"
mkfifo "$dir/Shader/textshader.vert"  # nobody writes to it: reading it would wait for ever
fatal "a pipe for Shader/textshader.vert" "Failed to open shader file: Shader/textshader.vert"
fresh shader-read-error
rm "$dir/Shader/panelshader.frag"
ln -s /proc/self/mem "$dir/Shader/panelshader.frag"  # opens, but reading it fails
fatal "Shader/panelshader.frag failing to read" "Failed to open shader file: Shader/panelshader.frag"
fresh model-folder
rm "$dir/models/cow.obj"
mkdir "$dir/models/cow.obj"
fatal "a folder for models/cow.obj" "Could not import the model models/cow.obj"
fresh model-read-error
rm "$dir/models/rock.obj"
ln -s /proc/self/mem "$dir/models/rock.obj"
fatal "Models/rock.obj failing to read" "Could not import the model Models/rock.obj"
fresh font-folder
rm "$dir/models/font1.png"
mkdir "$dir/models/font1.png"
fatal "a folder for the font" "Failed to load the font image: Models/font1.png"

# The same warning as the missing file, and the game runs: a material file, a
# texture, a panel image.
fresh material-folder
rm "$dir/models/cow.mtl"
mkdir "$dir/models/cow.mtl"
if runs material-folder; then
  [ "$(grep -c -x 'No texture found! Falling back to default texture' "$dir/out")" = 1 ]
  check $? "a folder for models/cow.mtl: the cows fall back to the default texture, as without the file"
  quits "a folder for models/cow.mtl"
fi

fresh texture-folder
rm "$dir/models/snow.png"
mkdir "$dir/models/snow.png"
if runs texture-folder; then
  said "Failed to load texture: models/snow.png! Falling back to default texture" &&
    [ "$(matching texture-folder "$sled_region" "$jacket_blue" 12)" -gt 200 ]
  check $? "a folder for the snow texture: the warning, and the level is drawn with the plain white one"
  quits "a folder for the snow texture"
fi

fresh panel-folder
rm "$dir/models/wintext.png"
mkdir "$dir/models/wintext.png"
if runs panel-folder; then
  said "Failed to load panel image: models/wintext.png (the panel stays blank)"
  check $? "a folder for the win image: the warning"
  quits "a folder for the win image"
fi

# --- options.ini: no case stops the game --------------------------------------------
# options NAME CONTENT EXPECTED_LINE...: the game runs full screen with CONTENT as
# its options (no file when CONTENT is "-", a folder for "@folder") and prints
# exactly the EXPECTED lines about them.
options() {
  local name=$1 content=$2
  shift 2
  fresh "options-$name"
  rm -f "$dir/options.ini"
  case $content in
    -) ;;
    @folder) mkdir "$dir/options.ini" ;;
    *) printf '%b' "$content" >"$dir/options.ini" ;;
  esac
  runs "options-$name" || return
  local size
  size=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
  [ "$size" = 1024x768 ] && [ "$(matching "options-$name" 60x768+964+0 'rgb(0,0,0)' 2)" -lt 20000 ]
  check $? "options $name: the picture fills the 1024x768 screen (window $size)"
  [ "$(grep -c '^options.ini: ' "$dir/out")" = $# ]
  local said_all=$?
  local line
  for line in "$@"; do said "$line" || said_all=1; done
  check $said_all "options $name: says ${*:-nothing}"
  quits "options $name"
}
options missing -
options folder @folder
options width-only '[Window]\nwidth=800\n'
options larger-than-the-screen '[Window]\nwidth=4096\nheight=4096\n'
options garbage '[Window]\nwidth=wide\nheight=@@@\n' \
  "options.ini: width 0 is out of range (1 to 16384), using 1024" \
  "options.ini: height 0 is out of range (1 to 16384), using 768"
options zero '[Window]\nwidth=0\nheight=768\n' \
  "options.ini: width 0 is out of range (1 to 16384), using 1024"
options negative '[Window]\nwidth=-640\nheight=-480\n' \
  "options.ini: width -640 is out of range (1 to 16384), using 1024" \
  "options.ini: height -480 is out of range (1 to 16384), using 768"
options render-scale-text '[Graphics]\nrenderScale=high\n' \
  "options.ini: renderScale \"high\" is not a percent from 50 to 100 (or 0), adapting the render scale to the frame time"
options huge '[Window]\nwidth=99999\nheight=99999999999999999999\n' \
  "options.ini: width 99999 is out of range (1 to 16384), using 1024" \
  "options.ini: height 2147483647 is out of range (1 to 16384), using 768"

# --- the machine: no display, or no OpenGL 3.3 ----------------------------------------
fresh no-display
fatal "no display (DISPLAY unset)" "GLFW failed :-(" -u DISPLAY
fatal "no display (nothing at DISPLAY)" "GLFW failed :-(" DISPLAY=:999
fresh old-gl
fatal "OpenGL 3.2 only" "No window..." MESA_GL_VERSION_OVERRIDE=3.2
fatal "OpenGL 3.0 only" "No window..." MESA_GL_VERSION_OVERRIDE=3.0

exec 3>&-
finish failure_paths
