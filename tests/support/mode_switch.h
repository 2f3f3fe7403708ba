// Switches the X server to the last listed mode of a size, as another
// program might, for the tests that need the desktop at another mode.
#ifndef STARMILL_TESTS_MODE_SWITCH_H
#define STARMILL_TESTS_MODE_SWITCH_H

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// Returns false when the extension or a mode of that size is missing.
inline bool switchToMode(Display *display, int width, int height)
{
    int count = 0;
    XF86VidModeModeInfo **modes = nullptr;
    if (!XF86VidModeGetAllModeLines(display, DefaultScreen(display), &count, &modes))
        return false;
    XF86VidModeModeInfo *chosen = nullptr;
    for (int i = 0; i < count; i++)
        if (modes[i]->hdisplay == width && modes[i]->vdisplay == height)
            chosen = modes[i];
    if (chosen) {
        XF86VidModeSwitchToMode(display, DefaultScreen(display), chosen);
        XF86VidModeSetViewPort(display, DefaultScreen(display), 0, 0);
        XSync(display, False);
    }
    XFree(modes);
    return chosen != nullptr;
}

#endif
