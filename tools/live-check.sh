#!/bin/sh
# Drives a live run of the player under its own Xvfb with xdotool: F1, Space,
# Right, Left, Home, F5, an edit of data/demo.txt (in a copy of data/), a
# broken edit, then Escape. Prints what it saw and leaves screenshots in
# OUT (default /tmp/live-check). Needs a build (build/player) and the
# generated data/; run from anywhere: sh tools/live-check.sh [OUT]
#
# Under a bare X server there is no window manager: the keyboard goes to the
# window under the pointer, so the pointer is put into the player's window
# first. Without that no key reaches the player.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-/tmp/live-check}
SIZE=480x360
rm -rf "$OUT" && mkdir -p "$OUT/show" || exit 1
cp -r "$ROOT/data" "$OUT/show/data" || exit 1

DISPLAY_NUMBER=${LIVE_CHECK_DISPLAY:-:97}
Xvfb "$DISPLAY_NUMBER" -screen 0 1024x768x24 -noreset >"$OUT/xvfb.log" 2>&1 &
XVFB=$!
export DISPLAY="$DISPLAY_NUMBER" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
sleep 1

: >"$OUT/stderr.txt"
"$ROOT/build/player" -C "$OUT/show" --windowed --size "$SIZE" --no-gui --start 8000 >"$OUT/stdout.txt" 2>"$OUT/stderr.txt" &
PLAYER=$!

fail=0
say() { echo "live-check: $*"; }
shot() {
    sleep "${2:-1}"
    import -window root -crop "$SIZE+0+0" "$OUT/$1.png" 2>/dev/null && say "screenshot $OUT/$1.png"
}
key() { xdotool key "$1"; say "pressed $1"; }
alive() { kill -0 "$PLAYER" 2>/dev/null; }

# The window opens before the show loads: wait until loading has stopped
# writing to stderr, then put the pointer in the window.
last=-1
for i in $(seq 1 120); do
    alive || break
    size=$(wc -c <"$OUT/stderr.txt")
    xdotool search --class player >/dev/null 2>&1 && [ "$size" -eq "$last" ] && break
    last=$size
    sleep 1
done
if ! alive; then
    say "player ended while loading:"; grep -vE "^(Loaded|No errors)" "$OUT/stderr.txt"; kill "$XVFB"; exit 1
fi
xdotool mousemove 100 100
say "window open; started at effect time 8000"
shot start 1

key F1; shot readout
key space; shot paused-1 0.5; shot paused-2 1.5
# Right of the readout (whose frame rate and graph change) the two must be the same.
for f in paused-1 paused-2; do convert "$OUT/$f.png" -crop 200x360+280+0 +repage "rgb:$OUT/$f.rgb"; done
if cmp -s "$OUT/paused-1.rgb" "$OUT/paused-2.rgb"; then say "paused: two frames 1.5 s apart are the same"; else say "FAULT: the picture moved while paused"; fail=1; fi
key Right; shot right 0.5
key Left; key Left; shot left 0.5
key Home; shot home 0.5
key space; shot resumed 1

key F5
for i in $(seq 1 60); do grep -q "Reloaded data/demo.txt" "$OUT/stderr.txt" && break; sleep 0.5; done
grep "Reloaded data/demo.txt" "$OUT/stderr.txt" | tail -1 | sed 's/^/live-check: F5: /' || { say "FAULT: F5 did not reload"; fail=1; }

# A good edit: the first entry's end moved; saved by renaming, as editors do.
sed '10s/.*/7000/' "$OUT/show/data/demo.txt" >"$OUT/show/data/demo.txt.new" && mv "$OUT/show/data/demo.txt.new" "$OUT/show/data/demo.txt"
say "edited data/demo.txt"
for i in $(seq 1 60); do [ "$(grep -c "Reloaded data/demo.txt" "$OUT/stderr.txt")" -ge 2 ] && break; sleep 0.5; done
[ "$(grep -c "Reloaded data/demo.txt" "$OUT/stderr.txt")" -eq 2 ] && say "edit reloaded once" || { say "FAULT: the edit did not reload exactly once"; fail=1; }
shot edited 0.5

# A broken edit: the old show must play on.
sed -i 's/^Solaris$/Solariss/' "$OUT/show/data/demo.txt"
say "broke data/demo.txt"
for i in $(seq 1 40); do grep -q "Reload failed: " "$OUT/stderr.txt" && break; sleep 0.5; done
grep "Reload failed: " "$OUT/stderr.txt" | head -1 | sed 's/^/live-check: /' || { say "FAULT: no \"Reload failed\""; fail=1; }
shot broken 1
alive && say "player still running after the failed reload" || { say "FAULT: the player ended"; fail=1; }

key Escape
for i in $(seq 1 40); do alive || break; sleep 0.5; done
if alive; then say "FAULT: Escape did not end the run"; kill "$PLAYER"; fail=1; fi
wait "$PLAYER"; rc=$?
say "player exit status $rc"
[ "$rc" -eq 0 ] || fail=1
grep -E "End of show|Exception" "$OUT/stderr.txt" | sed 's/^/live-check: stderr: /'
kill "$XVFB" 2>/dev/null
[ "$fail" -eq 0 ] && say "all seen as expected" || say "FAULTS seen (see above, $OUT/stderr.txt)"
exit "$fail"
