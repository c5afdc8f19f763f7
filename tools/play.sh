#!/bin/sh
# Installs what is missing, builds the player and its assets, and plays the default show.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/player "$@"
