#pragma once

// What the setup dialog edits and the start-up reads.
struct VideoSettings {
    int width = 1024;
    int height = 768;
    int bitsPerPixel = 32;
    int windowed = 0;
    int verticalSync = 1;
    int multisampling = 0;
    int alwaysOnTop = 1;
};
