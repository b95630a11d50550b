#!/usr/bin/env bash
# The Debian package as Debian's tools and a player meet it. The package builds
# (target frostline_package) with dependencies computed from the game's
# libraries; lintian finds no error and no warning; the menu entry, the
# AppStream file and the manual page pass their validators and share the
# project's version; the manual page names every key of the README's key table.
# As root with apt, the package then installs with apt, the game starts through
# the launcher on PATH from another folder to its first countdown frames and
# closes with Escape, reading /etc/frostline/options.ini or, when there is one,
# the player's own ~/.config/frostline/options.ini instead; removing keeps only
# the changed conffile, and purging leaves no file of the game behind.
# Usage: package_check.sh BUILD_DIR SOURCE_DIR VERSION   (DISPLAY set)
set -u
source "$(dirname "$0")/lib.sh"
build=$1 source_dir=$2 version=$3
deb="$build/package/frostline_${version}_$(dpkg --print-architecture).deb"

# --- the package is built ---------------------------------------------------------
rm -f "$deb"
if ! cmake --build "$build" --target frostline_package >"$shots/build.log" 2>&1 || [ ! -f "$deb" ]; then
  fail "the package builds"
  tail -n 20 "$shots/build.log"
  finish package_check
fi
pass "the package builds: ${deb##*/}"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ "$depends" == *libglfw3* && "$depends" == *libassimp* && "$depends" == *libc6* && "$depends" != *-dev* ]]
check $? "the dependencies are the game's libraries, found by dpkg-shlibdeps (no development packages)"

# --- Debian's checks --------------------------------------------------------------
lintian --fail-on error,warning --display-info --pedantic "$deb" >"$shots/lintian.log" 2>&1
check $? "lintian finds no error and no warning"
grep -v -e '^N:' -e 'running with root privileges' "$shots/lintian.log"

tree="$shots/tree"
dpkg-deb -x "$deb" "$tree"
absent=""
for file in usr/games/frostline usr/libexec/frostline/frostline usr/share/games/frostline/Shader/basic.vert \
  usr/share/games/frostline/models/terrain.obj usr/share/games/frostline/Models/font1.png etc/frostline/options.ini \
  usr/share/applications/frostline.desktop usr/share/icons/hicolor/scalable/apps/frostline.svg \
  usr/share/man/man6/frostline.6.gz usr/share/doc/frostline/copyright; do
  [ -e "$tree/$file" ] || absent+=" /$file"
done
[ -z "$absent" ]
check $? "launcher, game, data, options, menu entry, icon, manual page and copyright in their places${absent:+ (missing:$absent)}"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles >"$shots/conffiles"
[ "$(cat "$shots/conffiles")" = /etc/frostline/options.ini ]
check $? "/etc/frostline/options.ini is a conffile"

desktop-file-validate "$tree/usr/share/applications/frostline.desktop"
check $? "desktop-file-validate: the menu entry is clean"
metainfo=$(ls "$tree"/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo"
check $? "appstreamcli validate: the AppStream file is clean"
screenshot=$(sed -n 's|.*<image[^>]*>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
[ -n "$screenshot" ] && [ "$(identify -format '%m %wx%h' "$tree/usr/share/doc/frostline/$screenshot" 2>/dev/null)" = "PNG 1024x768" ]
check $? "the AppStream screenshot ($screenshot) is shipped in the package, a 1024 x 768 PNG"

man_page="$tree/usr/share/man/man6/frostline.6.gz"
MANWIDTH=80 man --warnings -l "$man_page" >"$shots/man.txt" 2>"$shots/man.err"
[ $? = 0 ] && [ ! -s "$shots/man.err" ] && grep -q '^KEYS' "$shots/man.txt" && grep -q '^GAMEPAD' "$shots/man.txt"
check $? "man renders the manual page without a warning, with its keys and gamepad buttons"
cat "$shots/man.err"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && grep -q "<release version=\"$version\"" "$metainfo" &&
  grep -q "^Frostline $version " "$shots/man.txt" && zcat "$tree/usr/share/doc/frostline/changelog.gz" | head -1 | grep -q "($version)"
check $? "the package, the AppStream file, the manual page and the changelog share version $version"

# Every key of the README's key table (first column, keys split at "/" and ",",
# parenthesised notes left out) is named in bold in the manual page.
missing=()
while IFS= read -r key; do
  zcat "$man_page" | grep -E '^\.BR? ' | grep -qw -- "$key" || missing+=("$key")
done < <(sed -n '/^## Keys/,/^## /p' "$source_dir/README.md" | grep '^| ' | tail -n +2 |
  cut -d'|' -f2 | sed -e 's/([^)]*)//g' -e 's/`//g' | tr '/,' '\n\n' | sed -e 's/^ *//' -e 's/ *$//' | grep -v '^$')
[ ${#missing[@]} = 0 ]
check $? "the manual page names every key of the README's key table${missing[*]:+ (missing: ${missing[*]})}"

# --- installed with apt, played, removed ----------------------------------------
if [ "$(id -u)" != 0 ] || ! command -v apt-get >/dev/null; then
  echo "SKIPPED: installing the package with apt needs root and apt-get; only the checks above ran"
  finish package_check
fi
if dpkg-query -W -f='${Status}' frostline 2>/dev/null | grep -q 'installed'; then
  fail "frostline is already installed on this machine: remove it (apt-get purge frostline) to run this check"
  finish package_check
fi
# However the session ends, the package does not stay installed.
trap 'cleanup_session; DEBIAN_FRONTEND=noninteractive apt-get purge -y -q frostline >/dev/null 2>&1' EXIT
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >"$shots/apt.log" 2>&1
check $? "apt-get installs the package"
if ! dpkg-query -W -f='${Status}' frostline 2>/dev/null | grep -q 'install ok installed'; then
  tail -n 20 "$shots/apt.log"
  finish package_check
fi
dpkg -L frostline >"$shots/files"

# A player's PATH has /usr/games; the game runs from a home of its own.
player=(env -u XDG_CONFIG_HOME PATH=/usr/local/bin:/usr/bin:/bin:/usr/games HOME="$shots/home")
[ "$("${player[@]}" sh -c 'command -v frostline')" = /usr/games/frostline ]
check $? "frostline is on a player's PATH"
mkdir -p "$shots/home"

# The administrator sets a width out of range: the game says so and keeps 1024 x 768.
sed -i 's/^width=.*/width=20000/' /etc/frostline/options.ini
play_installed package-etc "${player[@]}" frostline
grep -q '^options.ini: width 20000 is out of range' "$shots/package-etc.log"
check $? "the game reads /etc/frostline/options.ini"

# A player's own file is read instead of the system's.
mkdir -p "$shots/home/.config/frostline"
printf '[Window]\nheight=0\n' >"$shots/home/.config/frostline/options.ini"
play_installed package-own "${player[@]}" frostline
grep -q '^options.ini: height 0 is out of range' "$shots/package-own.log" &&
  ! grep -q 'width 20000' "$shots/package-own.log"
check $? "a player's ~/.config/frostline/options.ini is read instead of the system's"

# --- removed, then purged ---------------------------------------------------------
# left_behind: the package's files (not its folders shared with others) and
# folders of its own that still exist, except /etc/frostline/options.ini.
left_behind() {
  local path
  while IFS= read -r path; do
    [ "$path" = /etc/frostline/options.ini ] && [ "${1:-}" = keep-conffile ] && continue
    [ "$path" = /etc/frostline ] && [ "${1:-}" = keep-conffile ] && continue
    if [ -d "$path" ] && [ ! -L "$path" ]; then
      [[ "$path" == *frostline* ]] && [ -e "$path" ] && echo "$path"
    elif [ -e "$path" ] || [ -L "$path" ]; then
      echo "$path"
    fi
  done <"$shots/files"
}
apt-get remove -y -q frostline >>"$shots/apt.log" 2>&1
check $? "apt-get removes the package"
left=$(left_behind keep-conffile)
[ -z "$left" ] && grep -q '^width=20000' /etc/frostline/options.ini
check $? "removing leaves only the changed /etc/frostline/options.ini${left:+ (left: $left)}"
apt-get purge -y -q frostline >>"$shots/apt.log" 2>&1
left=$(left_behind)
[ -z "$left" ] && [ ! -e /etc/frostline ] && ! dpkg-query -W frostline >/dev/null 2>&1
check $? "purging leaves no file of the game${left:+ (left: $left)}"
finish package_check
