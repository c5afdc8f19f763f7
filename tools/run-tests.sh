#!/bin/sh
# Installs what is missing, builds everything and runs every test under a
# virtual X server with Mesa's software renderer. The 3DS model reader is
# fuzzed for a minute first (clang build in build-fuzz/), so that the test
# summary is the last thing printed.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# Any fuzzing finding fails the run.
sh tools/fuzz-models.sh 60
# SDL_VIDEODRIVER=x11: fail clearly instead of falling back to a text-mode driver.
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
# -noreset: the server must not restart between tests, when no client is
# connected, or the next test may fail to open the display.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --test-dir build --output-on-failure -j2
