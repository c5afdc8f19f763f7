#!/bin/sh
# The benchmark (not a test): prints markdown tables of the figures that
# matter, for docs/benchmarks.md. Needs the packages of tools/install-deps.sh
# (lib3ds and assimp for the model comparison) and an otherwise quiet machine.
#
#   tools/bench.sh [--quick]
#
# --quick takes fewer samples and a shorter soak, finishing in under two minutes.
set -e
cd "$(dirname "$0")/.."
QUICK=0
[ "$1" = "--quick" ] && QUICK=1

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEMO_MODELBENCH=ON >/dev/null
cmake --build build -j2 >/dev/null

export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
xrun() { xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"; }
# Batch runs without an X display draw offscreen.
headless() { env -u DISPLAY "$@"; }
# Seconds and peak resident kilobytes of a player run, as "SECONDS KB".
measure() {
    xrun /usr/bin/time -f "%e %M" -o "$TMP/time" build/player --no-gui "$@" >/dev/null 2>"$TMP/stderr" ||
        { tail -n 20 "$TMP/stderr" >&2; exit 1; }
    cat "$TMP/time"
}
# Seconds from the start of a player process to its first frame on disk (the
# music's beginning is ready by then), the run's peak resident kilobytes and its
# processor seconds (user and system, all threads). With "x11" first the player
# draws in an X window (Xvfb), otherwise offscreen.
first_frame() {
    rm -rf "$TMP/frame"
    run=headless
    [ "$1" = x11 ] && { run=xrun; shift; }
    start=$($run /usr/bin/time -f "%M %U %S" -o "$TMP/time" sh -c 'date +%s.%N; exec build/player --no-gui "$@"' sh \
        "$@" --times "$TMP/first" --out "$TMP/frame" 2>"$TMP/stderr") || { tail -n 20 "$TMP/stderr" >&2; exit 1; }
    echo "$(stat -c %.Y "$TMP/frame/frame_0000000.png") $start $(cat "$TMP/time")" |
        awk '{ printf "%.3f %d %.2f\n", $1 - $2, $3, $4 + $5 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# The show stops at its end entry, so a looping run wraps before it.
SHOW_END=$(awk '/^EndDemo$/ { getline; print; exit }' data/demo.txt)
[ -n "$SHOW_END" ] || SHOW_END=168900

if [ $QUICK = 1 ]; then
    # The soak at 5 frames per second still covers the whole show in the short run.
    LOADS=1 SMALL_FRAMES=30 LARGE_FRAMES=10 MODEL_RUNS=3 SOAK_FPS=5 SHORT_MIN=3 LONG_MIN=9 CAPTURE_MS=2000 CAPTURE_RUNS=1
else
    LOADS=7 SMALL_FRAMES=300 LARGE_FRAMES=200 MODEL_RUNS=15 SOAK_FPS=20 SHORT_MIN=3 LONG_MIN=30 CAPTURE_MS=10000 CAPTURE_RUNS=5
fi

echo "## Machine"
echo
echo "- $(uname -srm), $(nproc) cores: $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
echo "- memory: $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo); load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "- GL: Mesa's software renderer, offscreen (EGL) and under Xvfb; $(date -u '+%Y-%m-%d %H:%M UTC')$([ $QUICK = 1 ] && echo ', --quick')"
echo

echo "## Start, memory and capture against their targets"
echo
echo "Measured side by side in this run. Start: from the start of the process to its first"
echo "frame written (every effect loaded, the music's first ten seconds decoded, one frame read"
echo "back), median of $LOADS at 1024 x 768, offscreen (a batch run without X, which draws no loading"
echo "display) and in an X window (Xvfb: the loading display's 56 steps are each drawn and"
echo "swapped by the software renderer), the two kinds taken in turn. Memory: peak resident"
echo "memory of --render over the whole show, $LARGE_FRAMES frames at 1024 x 768. Capture: frames"
echo "per second of --capture at 1280 x 720 (H.264 and AAC, 30 per second, the first"
echo "$CAPTURE_MS ms) against --times to /dev/null over the same frames, each less its own loading"
echo "(a run of the same kind with one frame, which takes the capture's encoder and whole music"
echo "too). The four runs are taken in turn, $CAPTURE_RUNS times; the ratio is the median of the"
echo "rounds' ratios, so that the machine's own drift in speed weighs on both sides alike, and the"
echo "frames a second the medians of each kind."
echo
echo 0 >"$TMP/first"
# In turn, so that a busy moment of the machine weighs on both alike.
for i in $(seq "$LOADS"); do
    first_frame --size 1024x768 >>"$TMP/loads"
    first_frame x11 --size 1024x768 >>"$TMP/loads-x11"
done
START=$(median <"$TMP/loads")
START_X11=$(median <"$TMP/loads-x11")
START_CPU=$(cut -d' ' -f3 "$TMP/loads" | median)
START_X11_CPU=$(cut -d' ' -f3 "$TMP/loads-x11" | median)
LOAD_KB=$(sort -n -k2 "$TMP/loads" | tail -n 1 | cut -d' ' -f2)
set -- $(headless /usr/bin/time -f "%e %M" -o "$TMP/time" build/player --no-gui --size 1024x768 \
    --render "0:$SHOW_END:$((SHOW_END / LARGE_FRAMES))" --out /dev/null 2>"$TMP/stderr" && cat "$TMP/time")
SHOW_KB=$2
# The capture's frames; a run of one frame of each kind is that kind's loading.
awk -v ms="$CAPTURE_MS" 'BEGIN { for (i = 0; i * 1000 < ms * 30; ++i) printf "%d\n", i * 1000 / 30 }' >"$TMP/capture-times"
CAPTURE_FRAMES=$(wc -l <"$TMP/capture-times")
# Seconds and processor seconds (user and system) of a run at the capture's size.
timed() { headless /usr/bin/time -f "%e %U %S" -o "$TMP/time" build/player --no-gui --size 1280x720 "$@" >/dev/null 2>"$TMP/stderr" ||
    { tail -n 20 "$TMP/stderr" >&2; exit 1; }; awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$TMP/time"; }
for i in $(seq "$CAPTURE_RUNS"); do
    timed --times "$TMP/first" --out /dev/null >>"$TMP/load-720"
    timed --times "$TMP/capture-times" --out /dev/null >>"$TMP/times-720"
    rm -f "$TMP/capture.mp4"
    timed --capture "$TMP/capture.mp4" --fps 30 --to 33 >>"$TMP/capture-load-720"
    rm -f "$TMP/capture.mp4"
    timed --capture "$TMP/capture.mp4" --fps 30 --to "$CAPTURE_MS" >>"$TMP/capture-720"
    paste -d' ' "$TMP/load-720" "$TMP/times-720" "$TMP/capture-load-720" "$TMP/capture-720" | tail -n 1 |
        awk '{ printf "%.3f\n", ($3 - $1) / ($7 - $5) }' >>"$TMP/ratios"
done
LOAD_720=$(median <"$TMP/load-720")
TIMES_S=$(median <"$TMP/times-720")
CAPTURE_LOAD=$(median <"$TMP/capture-load-720")
CAPTURE_S=$(median <"$TMP/capture-720")
LOAD_720_CPU=$(cut -d' ' -f2 "$TMP/load-720" | median)
TIMES_CPU=$(cut -d' ' -f2 "$TMP/times-720" | median)
CAPTURE_LOAD_CPU=$(cut -d' ' -f2 "$TMP/capture-load-720" | median)
CAPTURE_CPU=$(cut -d' ' -f2 "$TMP/capture-720" | median)
echo "| figure | target | measured | |"
echo "|---|---|---|---|"
verdict() { awk -v v="$1" -v t="$2" -v dir="$3" 'BEGIN { ok = dir == "max" ? v <= t : v >= t; printf "%s", ok ? "met" : "NOT MET" }'; }
echo "| start to first frame, offscreen | 0.80 s | $START s | $(verdict "$START" 0.8 max) |"
echo "| start to first frame, X window | 0.80 s | $START_X11 s | $(verdict "$START_X11" 0.8 max) |"
awk -v kb="$LOAD_KB" 'BEGIN { printf "| peak memory at the first frame | | %.0f MiB | |\n", kb / 1024 }'
SHOW_MIB=$(awk -v kb="$SHOW_KB" 'BEGIN { printf "%.0f", kb / 1024 }')
echo "| peak memory, whole-show --render | 250 MiB | $SHOW_MIB MiB | $(verdict "$SHOW_MIB" 250 max) |"
RATIO=$(median <"$TMP/ratios" | awk '{ printf "%.2f", $1 }')
awk -v f="$CAPTURE_FRAMES" -v l="$LOAD_720" -v t="$TIMES_S" -v lc="$CAPTURE_LOAD" -v c="$CAPTURE_S" -v r="$RATIO" \
    -v ok="$(verdict "$RATIO" 0.9 min)" \
    'BEGIN { printf "| capture speed against --times | 0.90 x | %.2f x (%.1f against %.1f frames a second) | %s |\n", r, f / (c - lc), f / (t - l), ok }'
echo
echo "The capture's file: $(stat -c %s "$TMP/capture.mp4" | awk '{ printf "%.1f MB", $1 / 1e6 }') for $CAPTURE_FRAMES frames."
echo "Loading at 1280 x 720 (one frame): $LOAD_720 s with --times, $CAPTURE_LOAD s with --capture."
echo "The capture's ratio in each round: $(tr '\n' ' ' <"$TMP/ratios" | sed 's/ $//')."
echo
echo "Processor time (user and system, every thread, median), which bounds each figure from"
echo "below on $(nproc) cores: one start took $START_CPU s offscreen and $START_X11_CPU s in an X window;"
awk -v f="$CAPTURE_FRAMES" -v l="$LOAD_720_CPU" -v t="$TIMES_CPU" -v lc="$CAPTURE_LOAD_CPU" -v c="$CAPTURE_CPU" \
    'BEGIN { printf "a frame at 1280 x 720 took %.1f ms with --times and %.1f ms with --capture, less their loading.\n", 1000 * (t - l) / f, 1000 * (c - lc) / f }'
echo

echo "## Per-frame cost of each effect"
echo
echo "Each entry's CPU time (its Draw) and GPU time (timer queries) per frame it draws, from"
echo "--render --profile over the whole show with the music's beat, grouped by entry name."
echo
for size in 64x48 1024x768; do
    frames=$SMALL_FRAMES
    [ $size = 1024x768 ] && frames=$LARGE_FRAMES
    echo "$size, $frames frames spread over the show:"
    echo
    measure --size $size --render "0:$SHOW_END:$((SHOW_END / frames))" --out /dev/null --profile "$TMP/profile.csv" >/dev/null
    awk -F, -f tools/profile-table.awk "$TMP/profile.csv"
    echo
done

echo "## Music clock"
echo
echo '```'
build/tools/clockbench data/music.ogg "$([ $QUICK = 1 ] && echo 1 || echo 5)" 2>/dev/null
echo '```'
echo

echo "## 3DS reader against lib3ds and assimp"
echo
echo "Each load in a fresh process, timed from inside it: median of $MODEL_RUNS."
echo
build/tools/modelbench --runs "$MODEL_RUNS" --dir "$TMP/models"
echo

echo "## 3DS reader on its worst cases"
echo
echo "The inputs of the ModelWorstCases tests (30000 smoothing groups round one vertex; 40000"
echo "materials named by 40000 groups), each in its own run of the test: CPU seconds of that run."
echo "A linear reader takes well under a second; a quadratic step takes minutes."
echo
echo "| test | CPU s | limit 5 s |"
echo "|---|---|---|"
for test in OneVertexInManySmoothingGroups ManyMaterialsAndGroups; do
    /usr/bin/time -f "%U %S" -o "$TMP/time" build/tests/model_robustness_test --gtest_filter="ModelWorstCases.$test" >/dev/null
    awk -v t="$test" '{ s = $1 + $2; printf "| %s | %.2f | %s |\n", t, s, s < 5 ? "within" : "OVER THE LIMIT" }' "$TMP/time"
done
echo

echo "## Soak: a long run against a short one"
echo
echo "Simulated live runs at $SOAK_FPS frames per second of music looping at $SHOW_END ms, with a"
echo "seek of one second either way on about one frame in 40, drawn at 64 x 48 (--times)."
echo "Per frame: the run's time less that of a one-frame run at the same size, over its frames."
echo
SOAK_LOAD=$(measure --size 64x48 --times "$TMP/first" --out /dev/null | cut -d' ' -f1)
echo "| run | frames | seconds | per frame ms | peak memory MiB |"
echo "|---|---|---|---|---|"
for minutes in $SHORT_MIN $LONG_MIN; do
    frames=$(awk -v m="$minutes" -v fps="$SOAK_FPS" 'BEGIN { print int(m * 60 * fps) }')
    awk -v FRAMES="$frames" -v FPS="$SOAK_FPS" -v LOOP="$SHOW_END" -v SEEK_EVERY=40 -v SEED=1 -f tools/soak-times.awk >"$TMP/times"
    set -- $(measure --size 64x48 --times "$TMP/times" --out /dev/null)
    echo "$minutes $frames $1 $2" >>"$TMP/soak"
    awk -v m="$minutes" -v f="$frames" -v s="$1" -v kb="$2" -v load="$SOAK_LOAD" \
        'BEGIN { printf "| %s min | %d | %.1f | %.2f | %.0f |\n", m, f, s, (s - load) * 1000 / f, kb / 1024 }'
done
awk -v load="$SOAK_LOAD" 'NR == 1 { f1 = (($3 - load) / $2); m1 = $4 } NR == 2 { f2 = (($3 - load) / $2); m2 = $4 }
    END { printf "\nLong against short: frame cost %+.1f %%, peak memory %+.1f %% (%s; load on the machine moves the frame cost too).\n", (f2 / f1 - 1) * 100,
          (m2 / m1 - 1) * 100, (m2 <= m1 * 1.1 && f2 <= f1 * 1.1) ? "within 10 %" : "MORE THAN 10 %" }' "$TMP/soak"
echo
