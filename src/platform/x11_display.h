#pragma once

// Makes Xlib safe to call from more than one thread (the loading display
// shows its steps from a thread of its own). Called before any other Xlib
// call; libX11 1.8 and later do it by themselves.
void UseXlibFromThreads();

// Whether $DISPLAY names an X server at all (set and not empty).
bool DisplayNamed();

// The size in pixels of the default screen of the X server named by $DISPLAY.
// False when there is no display to ask.
bool DisplaySize(int& width, int& height);

// Called when the connection to the X server breaks (the server quit or was
// killed, as xvfb-run's server is by Ctrl-C): the last chance to save work,
// since the process ends right after it. Null restores Xlib's own handling.
using DisplayLostHandler = void (*)();
void SetDisplayLostHandler(DisplayLostHandler handler);
