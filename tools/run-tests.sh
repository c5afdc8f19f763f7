#!/bin/sh
# Installs what is missing, builds everything and runs every test with Mesa's
# software renderer: the GL tests offscreen with no X server, then the ones
# labelled x11 (and the golden frames once more, in an SDL window) under a
# virtual X server. The 3DS, script, picture and
# video readers are fuzzed for 40 s each first (clang build in build-fuzz/), and the tests that
# need no GL run a second time built with AddressSanitizer and UBSan
# (build-asan/), failing on any report, as does a sanitized render of the
# whole default show. ctest's install_test installs the player into a
# temporary root and builds, unpacks and lints the Debian package.
set -e
cd "$(dirname "$0")/.."
sh tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
# Each reader is fuzzed for 40 s; any finding fails the run.
sh tools/fuzz.sh 40

# SDL_VIDEODRIVER=x11: fail clearly instead of falling back to a text-mode driver.
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
# -noreset: the server must not restart between tests, when no client is
# connected, or the next test may fail to open the display.
XVFB="xvfb-run -a -s"
SCREEN="-screen 0 1024x768x24 -noreset"

# The sanitizer pass: the tests labelled nogl, with leak checking and without
# a display, which also shows that they need none.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_SANITIZE=ON -DDEMO_ASSETS=OFF >/dev/null
cmake --build build-asan --target nogl_tests player
echo "Sanitizer pass (AddressSanitizer, UBSan, LeakSanitizer):"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$(pwd)/tools/lsan.supp":print_suppressions=0 \
    env -u DISPLAY ctest --test-dir build-asan --output-on-failure -j2 -L nogl

# The whole default show, sanitized and leak-checked, to its end. The GL driver
# is preloaded so that it is never unloaded: its own leftovers then show up
# under its name (and are suppressed) instead of as unnamed frames.
echo "Sanitized render of the default show:"
ASAN_LIB=$(ldd build-asan/player | awk '/libasan/ { print $3 }')
GL_DRIVER=$(find /usr/lib -name swrast_dri.so | head -n 1)
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$(pwd)/tools/lsan.supp":print_suppressions=0 \
    $XVFB "$SCREEN" env LD_PRELOAD="$ASAN_LIB $GL_DRIVER" \
    build-asan/player --no-gui --size 64x48 --render 0:170000:500 --out /dev/null 2>build-asan/render.log ||
    { tail -n 60 build-asan/render.log; exit 1; }

echo "Without X (the GL tests offscreen):"
env -u DISPLAY ctest --test-dir build --output-on-failure -j2 -LE x11
echo "Under Xvfb (the X window, the dialog, a live run):"
$XVFB "$SCREEN" ctest --test-dir build --output-on-failure -j2 -L x11
