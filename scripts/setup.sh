#!/usr/bin/env bash
# Installs every Debian package that the build, the game, the asset generator
# and the tests need. Idempotent and non-interactive; runs as root or via sudo.
# apt-get update runs only when something is missing.
set -euo pipefail

packages=(
  build-essential g++ cmake pkg-config git
  libglfw3-dev libglew-dev libgl-dev libassimp-dev libfreeimage-dev
  libbullet-dev libglm-dev libfreetype-dev fonts-dejavu-core libopenal-dev libsndfile1-dev
  libebur128-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils libgl1-mesa-dri mesa-utils imagemagick xdotool
  clang libclang-rt-14-dev
  dpkg-dev file lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "setup: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
