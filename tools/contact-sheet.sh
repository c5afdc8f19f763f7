#!/bin/sh
# Renders the default show and tiles one frame per second of it into
# docs/contact-sheet.jpg, then checks the frames: none plain black or one flat
# colour, no two neighbouring seconds alike. Run from the repository root
# after a build (needs ImageMagick and Xvfb):
#
#     sh tools/contact-sheet.sh [WIDTHxHEIGHT]      (frame size, default 256x192)
#
# The player draws every 40 ms, as a live run does at 25 frames a second, and
# one frame a second is kept: effects that wait for a kick (the rubber model,
# the rings, the rod ball) only come into view when the frames before them
# have seen the kicks.
set -eu
size=${1:-256x192}
player=build/player
[ -x "$player" ] || { echo "contact-sheet: build the player first ($player)" >&2; exit 1; }
command -v montage >/dev/null || { echo "contact-sheet: needs ImageMagick (montage)" >&2; exit 1; }

# The show ends where its end-of-show entry starts.
end=$(awk '/^EndDemo[ \t]*$/ { getline; print $1 + 0 }' data/demo.txt | tail -n 1)
[ -n "$end" ] || { echo "contact-sheet: data/demo.txt has no EndDemo entry" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "contact-sheet: rendering 0 to $end ms at $size..." >&2
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1} \
    xvfb-run -a -s "-screen 0 1024x768x24" "$player" --no-gui --render "0:$end:40" --out "$work/all" \
    --size "$size" >"$work/log.txt" 2>&1 || { tail -n 20 "$work/log.txt" >&2; exit 1; }

# One frame per whole second, named by its time (m:ss) for the labels; the
# names sort in time order for shows under ten minutes.
mkdir "$work/sheet"
second=1
while [ $((second * 1000)) -lt "$end" ]; do
    cp "$work/all/$(printf 'frame_%07d.png' $((second * 1000)))" \
        "$work/sheet/$(printf '%d:%02d.png' $((second / 60)) $((second % 60)))"
    second=$((second + 1))
done

# The frame checks: a grey-level spread under 2 % is a flat picture, a
# difference under 1.5 % from the second before is a frozen one.
problems=0
previous=
for frame in "$work"/sheet/*.png; do
    name=$(basename "$frame" .png)
    spread=$(convert "$frame" -colorspace gray -format '%[fx:standard_deviation]' info:)
    if awk "BEGIN { exit !($spread < 0.02) }"; then
        echo "flat or black: $name" >&2
        problems=$((problems + 1))
    fi
    if [ -n "$previous" ]; then
        change=$(compare -metric RMSE "$previous" "$frame" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
        if awk "BEGIN { exit !($change < 0.015) }"; then
            echo "same as the second before: $name" >&2
            problems=$((problems + 1))
        fi
    fi
    previous=$frame
done

mkdir -p docs
montage -label '%t' "$work"/sheet/*.png -geometry 160x120+2+2 -tile 13x -background '#101018' \
    -fill '#c0c0d0' -font DejaVu-Sans -pointsize 11 "$work/sheet.png"
convert "$work/sheet.png" -strip -quality 82 docs/contact-sheet.jpg
echo "contact-sheet: docs/contact-sheet.jpg ($(($(wc -c <docs/contact-sheet.jpg) / 1024)) KiB), $problems problem frames" >&2
[ "$problems" -eq 0 ]
