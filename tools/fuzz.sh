#!/bin/sh
# Fuzzes the player's readers with libFuzzer (ASan and UBSan), each for a fixed
# time (seconds, default 40): the 3DS model reader, the demo script reader, the
# picture decoding and the video reader. Each starts from the default show's
# own files (and a few small made ones). Fails on any crash, sanitizer report,
# leak, input slower than 5 s or memory use over 2 GiB; the offending input is
# kept as build-fuzz/TARGET-crash-*, -leak-*, -timeout-* or -oom-*.
# Usage: tools/fuzz.sh [seconds] [target...]. Needs clang (installed by
# tools/install-deps.sh) and the show's files in data/ (made by the normal build).
set -e
cd "$(dirname "$0")/.."
seconds=${1:-40}
[ $# -gt 0 ] && shift
targets=${*:-model script picture video}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
build=""
for target in $targets; do build="$build ${target}_fuzzer"; done
cmake --build build-fuzz --target $build model_fuzz_seeds video_fuzz_seeds

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Copies the show's files matching a find expression into a seed folder.
show_files() {
    find data -type f "$@" -size -200k | while read -r file; do
        cp "$file" "$work/seeds/$(echo "$file" | tr / _)"
    done
}

for target in $targets; do
    rm -rf "$work/seeds" "$work/corpus"
    mkdir "$work/seeds" "$work/corpus"
    options="-max_len=16384"
    case $target in
    model)
        build-fuzz/fuzz/model_fuzz_seeds "$work/seeds"
        show_files -name '*.3ds'
        options="$options -dict=fuzz/3ds.dict" ;;
    script)
        cp data/demo.txt "$work/seeds/" ;;
    picture)
        show_files \( -name '*.jpg' -o -name '*.png' \)
        options="-max_len=131072" ;;
    video)
        build-fuzz/fuzz/video_fuzz_seeds "$work/seeds"
        # The show's video is too long to fuzz whole: its first frames.
        [ -f data/vondo/video/Video.avi ] && head -c 32768 data/vondo/video/Video.avi >"$work/seeds/show.avi"
        # What earlier runs found, so that a fault back again is met at once.
        cp tests/data/*.avi "$work/seeds/"
        options="-max_len=32768" ;;
    *)
        echo "unknown fuzz target: $target" >&2
        exit 2 ;;
    esac
    # The fuzzer's progress goes to build-fuzz/TARGET.log; only its summary
    # (or, on a finding, the end of the log) is printed.
    echo "Fuzzing the $target reader for $seconds s..."
    if ! build-fuzz/fuzz/${target}_fuzzer "$work/corpus" "$work/seeds" $options \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
        -artifact_prefix=build-fuzz/$target- -print_final_stats=1 >build-fuzz/$target.log 2>&1; then
        tail -n 60 build-fuzz/$target.log
        echo "Fuzzing the $target reader found a problem; the input is kept in build-fuzz/." >&2
        exit 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)|cov:' build-fuzz/$target.log | tail -n 4 || true
done
