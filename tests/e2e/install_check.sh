#!/usr/bin/env bash
# A packager installs the game into a prefix: the launcher, the binary, the
# data, the desktop entry and the icon land in the standard places; the
# installed game starts from any working folder (also through a link to the
# launcher, and after the whole prefix has been moved), and Escape ends it
# with status 0, leaving nothing in the folder it started from or in TMPDIR.
# The manual page and the AppStream file are installed too. The README's
# uninstall commands then leave nothing behind.
# The build folder's install manifest is put back as it was.
# Usage: install_check.sh BUILD_DIR   (DISPLAY set)
set -u
source "$(dirname "$0")/lib.sh"
build=$1
# No player's own options.ini of this machine takes part.
export XDG_CONFIG_HOME="$shots/config"
manifest="$build/install_manifest.txt"
[ -e "$manifest" ] && cp "$manifest" "$shots/manifest.saved"
restore_manifest() {
  if [ -e "$shots/manifest.saved" ]; then cp "$shots/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
}

prefix="$shots/prefix"
if ! cmake --install "$build" --prefix "$prefix" >"$shots/install.log" 2>&1; then
  fail "cmake --install failed"; cat "$shots/install.log"; restore_manifest; finish install_check
fi
cp "$manifest" "$shots/manifest"
restore_manifest

# --- the standard places ---------------------------------------------------------
[ -x "$prefix/bin/frostline" ] && [ -x "$prefix/libexec/frostline/frostline" ]
check $? "launcher in bin/, game binary in libexec/frostline/"
[ -f "$prefix/share/frostline/options.ini" ] && [ -f "$prefix/share/frostline/Shader/basic.vert" ] &&
  [ -f "$prefix/share/frostline/models/terrain.obj" ] && [ -f "$prefix/share/frostline/Models/font1.png" ]
check $? "options, shaders and models in share/frostline/, with Models/ leading to models/"
sounds=$(ls sounds/ | grep -c '\.wav$')
[ "$sounds" -gt 0 ] && [ "$(ls "$prefix/share/frostline/sounds/" | grep -c '\.wav$')" = "$sounds" ]
check $? "every sound in share/frostline/sounds/"
desktop="$prefix/share/applications/frostline.desktop"
[ -f "$desktop" ] && grep -q '^Exec=frostline$' "$desktop" && grep -q '^Icon=frostline$' "$desktop" &&
  grep -q '^Type=Application$' "$desktop" && grep -q '^Categories=.*Game;' "$desktop"
check $? "desktop entry in share/applications/ starts frostline with its icon, listed as a game"
icon="$prefix/share/icons/hicolor/scalable/apps/frostline.svg"
[ -f "$icon" ] && grep -q '<svg ' "$icon" && grep -q '</svg>' "$icon"
check $? "scalable icon in share/icons/hicolor/scalable/apps/"
grep -q '^\.TH FROSTLINE 6 ' "$prefix/share/man/man6/frostline.6" && grep -q '<launchable type="desktop-id">frostline.desktop<' "$prefix"/share/metainfo/*.metainfo.xml
check $? "manual page in share/man/man6/, AppStream file in share/metainfo/"

play_installed installed "$prefix/bin/frostline"
mkdir -p "$shots/home-bin"
ln -s "$prefix/bin/frostline" "$shots/home-bin/frostline"
play_installed through-a-link "$shots/home-bin/frostline"
mv "$prefix" "$shots/moved"
prefix="$shots/moved"
play_installed moved-prefix "$prefix/bin/frostline"
mv "$prefix" "$shots/prefix"
prefix="$shots/prefix"

# --- uninstall as the README says --------------------------------------------------
xargs -d '\n' rm -f <"$shots/manifest"
rm -rf "$prefix/share/frostline" "$prefix/libexec/frostline"
[ -z "$(find "$prefix" -name '*frostline*')" ]
check $? "uninstall leaves nothing of the game"
finish install_check
