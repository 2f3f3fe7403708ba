// Prints the X server's current video mode as WIDTHxHEIGHT, for the
// end-to-end tests; exits 1 when the display or the extension is missing.
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <cstdio>

int main()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int dotclock, event_base, error_base;
    XF86VidModeModeLine line;
    if (!XF86VidModeQueryExtension(display, &event_base, &error_base) ||
        !XF86VidModeGetModeLine(display, DefaultScreen(display), &dotclock, &line))
        return 1;
    printf("%dx%d\n", line.hdisplay, line.vdisplay);
    if (line.privsize)
        XFree(line.c_private);
    XCloseDisplay(display);
    return 0;
}
