#include "platform/display_mode_list.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

// The bits each pixel takes in memory at the screen's depth (24-bit colour is
// stored in 32 bits), which is what a mode's colour depth means to the player.
int ScreenBitsPerPixel(Display* display, int screen)
{
    const int depth = DefaultDepth(display, screen);
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = depth;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth)
            bits = formats[i].bits_per_pixel;
    }
    if (formats)
        XFree(formats);
    return bits;
}

// The primary output, or else the first connected one that offers modes.
RROutput PrimaryOutput(Display* display, Window root, XRRScreenResources* resources)
{
    const RROutput primary = XRRGetOutputPrimary(display, root);
    if (primary != None)
        return primary;
    for (int i = 0; i < resources->noutput; ++i) {
        XRROutputInfo* info = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        const bool usable = info && info->connection == RR_Connected && info->nmode > 0;
        if (info)
            XRRFreeOutputInfo(info);
        if (usable)
            return resources->outputs[i];
    }
    return None;
}

void AppendOutputModes(Display* display, XRRScreenResources* resources, RROutput output, int bits,
                       std::vector<DisplayMode>& modes)
{
    XRROutputInfo* info = XRRGetOutputInfo(display, resources, output);
    if (!info)
        return;
    for (int i = 0; i < info->nmode; ++i) {
        for (int j = 0; j < resources->nmode; ++j) {
            const XRRModeInfo& mode = resources->modes[j];
            if (mode.id == info->modes[i]) {
                modes.push_back({static_cast<int>(mode.width), static_cast<int>(mode.height), bits});
                break;
            }
        }
    }
    XRRFreeOutputInfo(info);
}

}  // namespace

std::vector<DisplayMode> ListDisplayModes()
{
    std::vector<DisplayMode> modes;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return modes;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int bits = ScreenBitsPerPixel(display, screen);

    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    const bool haveOutputs = XRRQueryExtension(display, &eventBase, &errorBase) &&
                             XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
    if (haveOutputs) {
        if (XRRScreenResources* resources = XRRGetScreenResources(display, root)) {
            const RROutput output = PrimaryOutput(display, root, resources);
            if (output != None)
                AppendOutputModes(display, resources, output, bits, modes);
            XRRFreeScreenResources(resources);
        }
    }
    // Without output information the screen's own size is the one mode there is.
    if (modes.empty())
        modes.push_back({DisplayWidth(display, screen), DisplayHeight(display, screen), bits});
    XCloseDisplay(display);
    return modes;
}
