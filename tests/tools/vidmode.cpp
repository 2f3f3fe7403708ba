// Prints the X server's current video mode as WIDTHxHEIGHT, and its pixel
// clock in kHz on a second line, for the end-to-end tests; with a WIDTHxHEIGHT argument it first switches to the
// last listed mode of that size, as another program might have done.
// Exits 1 when the display, the extension or the mode is missing.
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <cstdio>

#include "mode_switch.h"

int main(int argc, char **argv)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int dotclock, event_base, error_base, width, height;
    XF86VidModeModeLine line;
    if (!XF86VidModeQueryExtension(display, &event_base, &error_base))
        return 1;
    if (argc == 2 && (sscanf(argv[1], "%dx%d", &width, &height) != 2 || !switchToMode(display, width, height)))
        return 1;
    if (!XF86VidModeGetModeLine(display, DefaultScreen(display), &dotclock, &line))
        return 1;
    printf("%dx%d\n%d\n", line.hdisplay, line.vdisplay, dotclock);
    if (line.privsize)
        XFree(line.c_private);
    XCloseDisplay(display);
    return 0;
}
