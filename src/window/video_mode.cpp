// The video-mode switch through the XFree86 video-mode extension.
#include "window/video_mode.h"

#include <cstdio>
#include <cstring>

#include "window/glwin.h"

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
    GLWin.desktopMode = *modes[0];
    return modes;
}

int chooseMode(XF86VidModeModeInfo **modes, int count, int width, int height)
{
    int best = 0;
    for (int i = 0; i < count; i++)
        if (modes[i]->hdisplay == width && modes[i]->vdisplay == height)
            best = i;
    return best;
}

void switchMode(XF86VidModeModeInfo *mode)
{
    XF86VidModeSwitchToMode(GLWin.display, GLWin.screen, mode);
    XF86VidModeSetViewPort(GLWin.display, GLWin.screen, 0, 0);
}

void restoreDesktopMode()
{
    if (GLWin.desktopMode.hdisplay)
        switchMode(&GLWin.desktopMode);
}
