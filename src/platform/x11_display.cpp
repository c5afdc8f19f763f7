#include "platform/x11_display.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdlib>

namespace {

DisplayLostHandler lostHandler = nullptr;
XIOErrorHandler previousHandler = nullptr;

int OnConnectionLost(Display* display)
{
    if (lostHandler)
        lostHandler();
    // Xlib ends the process when an IO error handler returns; do it the usual way.
    return previousHandler ? previousHandler(display) : (_exit(1), 0);
}

}  // namespace

void UseXlibFromThreads()
{
    XInitThreads();
}

bool DisplayNamed()
{
    const char* name = std::getenv("DISPLAY");
    return name && *name;
}

bool DisplaySize(int& width, int& height)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const int screen = DefaultScreen(display);
    width = DisplayWidth(display, screen);
    height = DisplayHeight(display, screen);
    XCloseDisplay(display);
    return true;
}

void SetDisplayLostHandler(DisplayLostHandler handler)
{
    if (handler && !lostHandler)
        previousHandler = XSetIOErrorHandler(OnConnectionLost);
    else if (!handler && lostHandler)
        XSetIOErrorHandler(previousHandler);
    lostHandler = handler;
}
