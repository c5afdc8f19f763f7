#!/bin/sh
# Runs the golden-frame test the way the test command does. With --update it
# remakes the reference strips in tests/golden/ from this tree's frames: only
# after checking by eye that the frames are right (see build/tests/golden-failures/).
set -e
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
cmake --build "$BUILD" --target golden_frames_test beatrings assets
if [ "$1" = "--update" ]; then
    export GOLDEN_UPDATE=1
    mkdir -p tests/golden
fi
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
cd "$BUILD/tests"
DEMO_SOURCE_DIR="$OLDPWD" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ./golden_frames_test
