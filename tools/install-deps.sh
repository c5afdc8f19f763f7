#!/bin/sh
# Installs every Debian package the player, its asset generator and its tests need.
# Does nothing when they are all present already. Run as root.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config git
 libsdl1.2-dev libglew-dev libegl-dev libegl-mesa0 libglu1-mesa-dev libgl1-mesa-dri libfreeimage-dev libpng-dev zlib1g-dev libgtk-3-dev libxrandr-dev
 libsndfile1-dev libfftw3-dev
 libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
 libgtest-dev xvfb xauth clang libclang-rt-14-dev
 imagemagick lib3ds-dev libassimp-dev linux-perf time
 help2man lintian"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing -- run this script as root (or with sudo)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends $missing
