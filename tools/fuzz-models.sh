#!/bin/sh
# Fuzzes the 3DS model reader with libFuzzer for a fixed time (seconds, default
# 60), starting from hand-made seeds and the show's generated models. Fails on
# any crash, sanitizer report, leak, input slower than 5 s or memory use over
# 2 GiB; the offending input is kept as build-fuzz/crash-*, leak-*, timeout-*
# or oom-*. Needs clang (installed by tools/install-deps.sh) and the show's
# models in data/ (built by the normal build).
set -e
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DDEMO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz --target model_fuzzer model_fuzz_seeds

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/seeds" "$work/corpus"
build-fuzz/fuzz/model_fuzz_seeds "$work/seeds"
for model in data/rubber/simple.3ds data/misc/simple.3ds; do
    [ -f "$model" ] && cp "$model" "$work/seeds/$(basename "$(dirname "$model")").3ds"
done

# The fuzzer's progress goes to build-fuzz/fuzz.log; only its summary (or,
# on a finding, the end of the log) is printed.
echo "Fuzzing the 3DS reader for $seconds s..."
if ! build-fuzz/fuzz/model_fuzzer "$work/corpus" "$work/seeds" \
    -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=16384 \
    -dict=fuzz/3ds.dict -artifact_prefix=build-fuzz/ -print_final_stats=1 >build-fuzz/fuzz.log 2>&1; then
    tail -n 60 build-fuzz/fuzz.log
    echo "Fuzzing found a problem; the input is kept in build-fuzz/." >&2
    exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' build-fuzz/fuzz.log || true
