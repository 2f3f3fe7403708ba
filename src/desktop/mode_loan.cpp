// The video mode borrowed for full-screen, and its way back.
#include "desktop/mode_loan.h"

#include <cstdio>

#include "desktop/guardian.h"
#include "desktop/video_mode.h"

namespace {

ModeLoan in_force = {};

}  // namespace

int switchMode(Display *display, int screen, XF86VidModeModeInfo *mode, const XF86VidModeModeInfo &desktop)
{
    ModeLoan next = {};
    next.outstanding = 1;
    next.screen = screen;
    next.desktop = desktop;
    // Private timings would live in this process's memory only; no current
    // server has any.
    next.desktop.privsize = 0;
    next.desktop.c_private = nullptr;
    recordLitCrtc(display, screen, &next.crtc);
    // The guardian knows what to give back before the screen changes.
    tellGuardian(next);
    if (!setVideoMode(display, screen, mode)) {
        tellGuardian(in_force);
        printf("The X server refused the video mode %dx%d\n", mode->hdisplay, mode->vdisplay);
        return 0;
    }
    in_force = next;
    return 1;
}

int modeSwitched() { return in_force.outstanding; }

void restoreDesktopMode(Display *display)
{
    if (!in_force.outstanding)
        return;
    ModeLoan given = in_force;
    in_force = ModeLoan{};
    if (!giveBackMode(display, given))
        printf("The X server refused to restore the video mode %dx%d\n", given.desktop.hdisplay,
               given.desktop.vdisplay);
    tellGuardian(in_force);
}

void giveBackDesktopMode()
{
    if (!in_force.outstanding)
        return;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    restoreDesktopMode(display);
    XCloseDisplay(display);
}

int giveBackMode(Display *display, const ModeLoan &loan)
{
    MonitorArea primary;
    if (loan.crtc.crtc && findMonitors(display, loan.screen, &primary) > 1)
        return setCrtc(display, loan.screen, loan.crtc);
    XF86VidModeModeInfo desktop = loan.desktop;
    return setVideoMode(display, loan.screen, &desktop);
}
