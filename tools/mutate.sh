#!/bin/sh
# Applies each plausible wrong change of tools/mutations.txt (or the list
# given) to a copy of this tree, builds it and runs the suite, golden frames
# first; reports the changes that no test catches. Not run by CI.
#   MUTATE_DIR   where the copy and its build live (default /tmp/demo-mutate);
#                kept between runs, so builds are incremental.
#   MUTATE_ONLY  a pattern: only the changes whose description matches it.
set -u
cd "$(dirname "$0")/.."
SOURCE=$(pwd)
LIST=$(realpath "${1:-tools/mutations.txt}")
WORK=${MUTATE_DIR:-/tmp/demo-mutate}
TREE=$WORK/tree
BUILD=$WORK/build
LOG=$WORK/log
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
XVFB='xvfb-run -a -s'
SCREEN='-screen 0 1024x768x24 -noreset'

# The copy follows this tree, uncommitted changes and generated assets
# included, and nothing the tree no longer has. tar keeps the files' times, so
# the build stays incremental.
rm -rf "$TREE"
mkdir -p "$TREE" "$LOG"
tar -C "$SOURCE" --exclude='./build*' --exclude=./.git --exclude=./out -cf - . | tar -C "$TREE" -xf -
cmake -S "$TREE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
# A build left by the last run may hold a changed file's objects, and the
# copy gives that file back its older time: the files of the list are built
# again once.
awk '/^= / { getline; print }' "$LIST" | sort -u | (cd "$TREE" && xargs touch)
# The fast tests run first, so that most changes are caught before the rest
# of the suite is even built.
FAST="golden_frames_test gl_calls_test"
cmake --build "$BUILD" --target $FAST >"$LOG/build.log" 2>&1 ||
    { echo "the unchanged tree does not build: $LOG/build.log"; exit 1; }

# Prints "file<TAB>original<TAB>replacement<TAB>description" per change.
changes() {
    awk '/^= / { d = substr($0, 3); n = 1; next }
         n == 1 { f = $0; n = 2; next }
         n == 2 { o = $0; n = 3; next }
         n == 3 { printf "%s\t%s\t%s\t%s\n", f, o, $0, d; n = 0 }' "$LIST"
}

# Replaces the first occurrence of original in file ("\n" is a line break).
apply() {
    python3 - "$1" "$2" "$3" <<'PY'
import sys
path, old, new = sys.argv[1], sys.argv[2].replace("\\n", "\n"), sys.argv[3].replace("\\n", "\n")
text = open(path).read()
if old not in text:
    sys.exit(1)
open(path, "w").write(text.replace(old, new, 1))
PY
}

# The other tests one by one, the quick GL-free ones first, each built only
# when its turn comes: most changes that get this far fail one of the first.
QUICK="timing_test script_reader_test model_reader_test mesh_finish_test playback_clock_test"
rest_of_suite() {
    others=$(ctest --test-dir "$BUILD" -N | awk '/Test +#/ { print $3 }' | grep -vxF -e golden_frames_test -e gl_calls_test)
    targets=$(ninja -C "$BUILD" -t targets all | cut -d: -f1)
    for test in $QUICK $(echo "$others" | grep -vxF "$(echo $QUICK | tr ' ' '\n')"); do
        # A test run under X shares its program with the one without; a
        # test that is a script (install, include layers) has none.
        program=$(echo "$targets" | grep -xF "${test%_x11}")
        if ! cmake --build "$BUILD" --target $program player beatrings >>"$LOG/mutant.log" 2>&1; then
            echo "caught: does not build"
            return
        elif ! $XVFB "$SCREEN" ctest --test-dir "$BUILD" -R "^$test\$" >>"$LOG/mutant.log" 2>&1; then
            echo "caught: $test"
            return
        fi
    done
    echo SURVIVED
}

TAB=$(printf '\t')
changes | while IFS="$TAB" read -r file original replacement description; do
    if [ -n "${MUTATE_ONLY:-}" ] && ! echo "$description" | grep -q -- "$MUTATE_ONLY"; then
        continue
    fi
    if ! apply "$TREE/$file" "$original" "$replacement"; then
        result="NOT APPLIED (the original text is not in $file)"
    elif ! cmake --build "$BUILD" --target $FAST >"$LOG/mutant.log" 2>&1; then
        result="caught: does not build"
    elif ! $XVFB "$SCREEN" ctest --test-dir "$BUILD" -R "^($(echo $FAST | tr ' ' '|'))\$" >>"$LOG/mutant.log" 2>&1; then
        result="caught: $(grep -m1 -oE '[a-z_0-9]+ \.+\*+Failed' "$LOG/mutant.log" | cut -d' ' -f1)"
    else
        result=$(rest_of_suite)
    fi
    cp "$SOURCE/$file" "$TREE/$file"
    echo "$result: $description"
done | tee "$LOG/result.txt"
caught=$(grep -c '^caught' "$LOG/result.txt")
all=$(grep -c . "$LOG/result.txt")
echo "$caught of $all changes caught"
[ "$caught" -eq "$all" ]
