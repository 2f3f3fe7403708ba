// The video-mode switch through the XFree86 video-mode extension.
#include "desktop/video_mode.h"

#include <cstdio>
#include <cstring>

#include "desktop/x_errors.h"

namespace {

bool same_mode(const XF86VidModeModeInfo &m, int dotclock, const XF86VidModeModeLine &line)
{
    return m.dotclock == static_cast<unsigned>(dotclock) && m.hdisplay == line.hdisplay &&
           m.hsyncstart == line.hsyncstart && m.hsyncend == line.hsyncend && m.htotal == line.htotal &&
           m.vdisplay == line.vdisplay && m.vsyncstart == line.vsyncstart &&
           m.vsyncend == line.vsyncend && m.vtotal == line.vtotal && m.flags == line.flags;
}

// The list entry of the mode in force, or -1. The extension's record of it
// goes stale when RandR changes the screen: a record larger than the screen
// can't be in force, and the listed mode of the screen's size is.
int mode_in_force(Display *display, int screen, XF86VidModeModeInfo **modes, int count)
{
    int dotclock = 0;
    XF86VidModeModeLine line;
    memset(&line, 0, sizeof line);
    trapXErrors(display);
    int ok = XF86VidModeGetModeLine(display, screen, &dotclock, &line);
    if (untrapXErrors(display) != 0)
        ok = 0;
    if (ok && line.privsize)
        XFree(line.c_private);
    int width = DisplayWidth(display, screen);
    int height = DisplayHeight(display, screen);
    if (ok && line.hdisplay <= width && line.vdisplay <= height)
        for (int i = 0; i < count; i++)
            if (same_mode(*modes[i], dotclock, line))
                return i;
    return chooseMode(modes, count, width, height);
}

}  // namespace

XF86VidModeModeInfo **fetchModes(Display *display, int screen, int *count, XF86VidModeModeInfo *desktop)
{
    int event_base, error_base, major, minor;
    XF86VidModeModeInfo **modes = nullptr;
    *count = 0;
    memset(desktop, 0, sizeof *desktop);
    if (!XF86VidModeQueryExtension(display, &event_base, &error_base) ||
        !XF86VidModeQueryVersion(display, &major, &minor)) {
        printf("No XF86VidModeExtension: the video mode stays as it is\n");
        return nullptr;
    }
    printf("XF86VidModeExtension-Version %d.%d\n", major, minor);
    if (!XF86VidModeGetAllModeLines(display, screen, count, &modes) || *count < 1) {
        printf("No video modes listed: the video mode stays as it is\n");
        if (modes)
            XFree(modes);
        *count = 0;
        return nullptr;
    }
    int in_force = mode_in_force(display, screen, modes, *count);
    if (in_force < 0) {
        printf("The video mode in force is not listed: the video mode stays as it is\n");
        XFree(modes);
        *count = 0;
        return nullptr;
    }
    *desktop = *modes[in_force];
    return modes;
}

int chooseMode(XF86VidModeModeInfo **modes, int count, int width, int height)
{
    int best = -1;
    for (int i = 0; i < count; i++)
        if (modes[i]->hdisplay == width && modes[i]->vdisplay == height)
            best = i;
    return best;
}

int setVideoMode(Display *display, int screen, XF86VidModeModeInfo *mode)
{
    trapXErrors(display);
    XF86VidModeSwitchToMode(display, screen, mode);
    XF86VidModeSetViewPort(display, screen, 0, 0);
    return untrapXErrors(display) == 0;
}
