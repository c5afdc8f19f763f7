#!/bin/sh
# Damages every file that the default show reads, one at a time and in every
# way (removed, emptied, random bytes, cut in half), and renders the whole
# show headless each time: each run must end with the file's message and
# exit 1, or run clean; a crash, a hang or a sanitizer report fails. The test
# suite damages one file of each kind; this damages them all. With --asan the
# player of the sanitizer build (build-asan/) renders.
# Usage: tools/asset-matrix.sh [--asan]   (after a normal build)
set -e
cd "$(dirname "$0")/.."
player=$(pwd)/build/player
if [ "$1" = "--asan" ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_SANITIZE=ON -DDEMO_ASSETS=OFF >/dev/null
    cmake --build build-asan --target player
    player=$(pwd)/build-asan/player
fi
cmake --build build --target asset_matrix_test
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
# Leaks are checked elsewhere; here any other report fails the run.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export DEMO_ASSET_MATRIX=full DEMO_PLAYER="$player" DEMO_SOURCE_DIR="$(pwd)"
cd build/tests
time xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ./asset_matrix_test
