/*
 * The interface of a plug-in effect: a shared library that the demo script
 * names in a "Plugin" entry,
 *
 *     Plugin
 *     <start ms>
 *     <end ms>
 *     <library path, relative to the working directory>
 *     <the plug-in's own lines, as many as its Init reads>
 *
 * The library exports two functions with C linkage (write it in C99 or C++).
 * The player looks them up by name when the script is loaded and keeps the
 * library loaded to the end.
 */
#ifndef DEMO_PLUGIN_H
#define DEMO_PLUGIN_H

#include <stdio.h>
#include <string.h>

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Called once per "Plugin" entry while the show loads, before the music starts.
 * script is the demo script, positioned at the line after the library path;
 * every line read here belongs to this entry, and the player reads the next
 * entry from wherever the stream is left. start and end are the entry's times
 * in milliseconds (an end of -1 means to the end of the show).
 * Several entries may name the same library: Init then runs once for each.
 */
void Init(FILE* script, int start, int end);

/*
 * Draws one frame. timeMs is the effect time in milliseconds, beat the music's
 * beat level in 0..1. Called only while start < timeMs < end (compared as
 * unsigned numbers) for some entry of this library; with several entries, tell
 * them apart by their time windows.
 *
 * The frame is drawn with OpenGL 2.0. Leave the state as it was found:
 * blending, depth test, lighting and fog off, 2D texturing on with texture 0
 * bound, model-view matrix mode with an identity matrix and the window's
 * perspective projection. glPushAttrib/glPushMatrix around the drawing do it.
 * Allocate nothing and read no files here: do that in Init.
 */
void Draw(int timeMs, float beat);

#ifdef __cplusplus
}
#endif

/*
 * Reads one line of the script the way the player reads its own: lines that
 * start with '#' are skipped, trailing blanks are cut, at most size - 1
 * characters come back. At the end of the file the line is empty.
 */
static inline void DemoPluginReadLine(FILE* script, char* line, size_t size)
{
    size_t length;
    line[0] = '\0';
    do {
        if (!fgets(line, (int)size, script)) {
            line[0] = '\0';
            return;
        }
    } while (line[0] == '#');
    length = strlen(line);
    while (length > 0 && strchr(" \t\r\n", line[length - 1]))
        line[--length] = '\0';
}

#endif
