// What the program borrows from the desktop: the video mode in force before
// a full-screen switch. Every switch and every give-back goes through here,
// and the guardian process is told of each, so that the mode comes back
// however the program ends.
#ifndef STARMILL_DESKTOP_MODE_LOAN_H
#define STARMILL_DESKTOP_MODE_LOAN_H

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

#include "desktop/monitors.h"

// A plain record: it travels to the guardian through a pipe as it is.
struct ModeLoan {
    int outstanding;  // 1 while the screen shows a mode the program switched to
    int screen;
    XF86VidModeModeInfo desktop;  // the mode to switch back to, without driver-private data
    CrtcState crtc;               // the one lit CRTC as it was before the switch
};

// Switches `screen` to `mode` through the extension, to be given back as
// `desktop`; returns 0, with one line saying so, when the server refuses.
int switchMode(Display *display, int screen, XF86VidModeModeInfo *mode, const XF86VidModeModeInfo &desktop);

// Whether a switch of switchMode's is in force.
int modeSwitched();

// Gives the mode back if a switch is in force, on `display`.
void restoreDesktopMode(Display *display);

// The same through a fresh connection, for when the program's own is lost;
// a server that is gone is left alone.
void giveBackDesktopMode();

// The one way back: with a single monitor lit (or no RandR record), the
// extension's switch to the desktop mode; with more lit, the extension
// would clone that mode onto all of them, so only the CRTC the switch
// changed is set back through RandR. Returns 0 when the server refuses.
int giveBackMode(Display *display, const ModeLoan &loan);

#endif
