#!/bin/sh
# Fails when a file under src/ includes a project header from a layer above its
# own. The layers, highest first; each may include its own and those below
# (docs/architecture.md says what each holds):
LAYERS="host show effects timeline model render media platform"
# Third-party headers (<...>) are not checked.
cd "$(dirname "$0")/../src" || exit 2
for dir in */; do
    case " $LAYERS " in *" ${dir%/} "*) ;; *) echo "src/$dir: a folder that is no layer; add it to $0"; exit 1 ;; esac
done
grep -rn '^#include "' . | awk -v layers="$LAYERS" '
    BEGIN { n = split(layers, names, " "); for (i = 1; i <= n; i++) rank[names[i]] = i }
    {
        split($0, place, ":"); file = substr(place[1], 3)
        split(file, own, "/")
        match($0, /#include "[^"]*"/); target = substr($0, RSTART + 10, RLENGTH - 11)
        split(target, theirs, "/")
        if (!(theirs[1] in rank)) {
            print "src/" file " includes " target ": give the path from src/, through its layer"
            bad = 1
        } else if (rank[theirs[1]] < rank[own[1]]) {
            print "src/" file " includes " target ": a layer above " own[1] "/"
            bad = 1
        }
    }
    END { exit bad }' || exit 1
echo "Includes run downward only: $LAYERS"
