// The XFree86 video-mode extension: the screen's mode lines, the switch to a
// full-screen mode and the way back to the desktop's mode.
#ifndef STARMILL_WINDOW_VIDEO_MODE_H
#define STARMILL_WINDOW_VIDEO_MODE_H

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// The screen's mode lines (free with XFree), with their count in *count, and
// a copy of the desktop's mode kept in GLWin.desktopMode. Without the
// extension, or without modes, it says so and returns null with
// desktopMode zero: the video mode is then never touched.
XF86VidModeModeInfo **fetchModes(int *count);

// The last mode line of exactly the size asked for, else the desktop's
// mode (index 0).
int chooseMode(XF86VidModeModeInfo **modes, int count, int width, int height);

// Switches the screen to `mode` with the viewport at the top left.
void switchMode(XF86VidModeModeInfo *mode);

// Switches back to the saved desktop mode, if there is one.
void restoreDesktopMode();

#endif
