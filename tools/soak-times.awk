# Writes the effect times of a simulated live run, one a line: FRAMES frames at
# FPS frames per second of music that loops every LOOP ms, with a seek of one
# second forwards or backwards (as the Right and Left keys do) on about one
# frame in SEEK_EVERY. The same SEED gives the same times.
#
#   awk -v FRAMES=36000 -v FPS=20 -v LOOP=153500 -v SEEK_EVERY=40 -v SEED=1 -f tools/soak-times.awk
BEGIN {
    srand(SEED)
    position = 0
    step = 1000 / FPS
    for (frame = 0; frame < FRAMES; ++frame) {
        if (rand() * SEEK_EVERY < 1)
            position += rand() < 0.5 ? -1000 : 1000
        position = (position % LOOP + LOOP) % LOOP
        printf "%d\n", int(position)
        position += step
    }
}
