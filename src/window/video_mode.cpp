// The video-mode switch through the XFree86 video-mode extension.
#include "window/video_mode.h"

#include <cstdio>
#include <cstring>

#include "window/glwin.h"
#include "window/x_errors.h"

namespace {

// Whether the screen shows a mode that switchMode put there.
bool switched = false;

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
int mode_in_force(XF86VidModeModeInfo **modes, int count)
{
    int dotclock = 0;
    XF86VidModeModeLine line;
    memset(&line, 0, sizeof line);
    trapXErrors(GLWin.display);
    int ok = XF86VidModeGetModeLine(GLWin.display, GLWin.screen, &dotclock, &line);
    if (untrapXErrors(GLWin.display) != 0)
        ok = 0;
    if (ok && line.privsize)
        XFree(line.c_private);
    int width = DisplayWidth(GLWin.display, GLWin.screen);
    int height = DisplayHeight(GLWin.display, GLWin.screen);
    if (ok && line.hdisplay <= width && line.vdisplay <= height)
        for (int i = 0; i < count; i++)
            if (same_mode(*modes[i], dotclock, line))
                return i;
    return chooseMode(modes, count, width, height);
}

int switch_on(Display *display, int screen, XF86VidModeModeInfo *mode)
{
    trapXErrors(display);
    XF86VidModeSwitchToMode(display, screen, mode);
    XF86VidModeSetViewPort(display, screen, 0, 0);
    return untrapXErrors(display) == 0;
}

}  // namespace

XF86VidModeModeInfo **fetchModes(int *count)
{
    int event_base, error_base, major, minor;
    XF86VidModeModeInfo **modes = nullptr;
    *count = 0;
    memset(&GLWin.desktopMode, 0, sizeof GLWin.desktopMode);
    if (!XF86VidModeQueryExtension(GLWin.display, &event_base, &error_base) ||
        !XF86VidModeQueryVersion(GLWin.display, &major, &minor)) {
        printf("No XF86VidModeExtension: the video mode stays as it is\n");
        return nullptr;
    }
    printf("XF86VidModeExtension-Version %d.%d\n", major, minor);
    if (!XF86VidModeGetAllModeLines(GLWin.display, GLWin.screen, count, &modes) || *count < 1) {
        printf("No video modes listed: the video mode stays as it is\n");
        if (modes)
            XFree(modes);
        *count = 0;
        return nullptr;
    }
    int desktop = mode_in_force(modes, *count);
    if (desktop < 0) {
        printf("The video mode in force is not listed: the video mode stays as it is\n");
        XFree(modes);
        *count = 0;
        return nullptr;
    }
    GLWin.desktopMode = *modes[desktop];
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

int switchMode(XF86VidModeModeInfo *mode)
{
    if (!switch_on(GLWin.display, GLWin.screen, mode)) {
        printf("The X server refused the video mode %dx%d\n", mode->hdisplay, mode->vdisplay);
        return 0;
    }
    switched = true;
    return 1;
}

void restoreDesktopMode()
{
    if (!switched)
        return;
    switched = false;
    if (!switch_on(GLWin.display, GLWin.screen, &GLWin.desktopMode))
        printf("The X server refused to restore the video mode %dx%d\n", GLWin.desktopMode.hdisplay,
               GLWin.desktopMode.vdisplay);
}

void giveBackDesktopMode()
{
    if (!switched)
        return;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    switch_on(display, GLWin.screen, &GLWin.desktopMode);
    XCloseDisplay(display);
}
