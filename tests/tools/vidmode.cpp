// Prints the X server's current video mode as WIDTHxHEIGHT, for the
// end-to-end tests; with a WIDTHxHEIGHT argument it first switches to the
// last listed mode of that size, as another program might have done.
// Exits 1 when the display, the extension or the mode is missing.
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include <cstdio>

namespace {

bool switch_to(Display *display, int width, int height)
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

}  // namespace

int main(int argc, char **argv)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    int dotclock, event_base, error_base, width, height;
    XF86VidModeModeLine line;
    if (!XF86VidModeQueryExtension(display, &event_base, &error_base))
        return 1;
    if (argc == 2 && (sscanf(argv[1], "%dx%d", &width, &height) != 2 || !switch_to(display, width, height)))
        return 1;
    if (!XF86VidModeGetModeLine(display, DefaultScreen(display), &dotclock, &line))
        return 1;
    printf("%dx%d\n", line.hdisplay, line.vdisplay);
    if (line.privsize)
        XFree(line.c_private);
    XCloseDisplay(display);
    return 0;
}
