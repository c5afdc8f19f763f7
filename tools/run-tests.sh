#!/bin/sh
# Installs what is missing, builds everything and runs every test under a
# virtual X server with Mesa's software renderer.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# SDL_VIDEODRIVER=x11: fail clearly instead of falling back to a text-mode driver.
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build --output-on-failure -j2
