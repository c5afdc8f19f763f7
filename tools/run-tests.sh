#!/bin/sh
# Installs what is missing, builds everything and runs every test under a
# virtual X server with Mesa's software renderer, then fuzzes the 3DS
# model reader for a minute (clang build in build-fuzz/).
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build --output-on-failure -j2
# The 3DS reader is fuzzed for a minute on every run; any finding fails.
sh tools/fuzz-models.sh 60
