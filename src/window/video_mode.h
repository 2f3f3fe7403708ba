// The XFree86 video-mode extension: the screen's mode lines, the switch to a
// full-screen mode and the way back to the desktop's mode.
#ifndef STARMILL_WINDOW_VIDEO_MODE_H
#define STARMILL_WINDOW_VIDEO_MODE_H

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// The screen's mode lines (free with XFree), with their count in *count, and
// a copy of the mode in force kept in GLWin.desktopMode. Without the
// extension, without modes, or without a listed mode in force, it says so
// and returns null with desktopMode zero: the video mode is never touched.
XF86VidModeModeInfo **fetchModes(int *count);

// The last mode line of exactly the size asked for; -1 when none has it.
int chooseMode(XF86VidModeModeInfo **modes, int count, int width, int height);

// Switches the screen to `mode` with the viewport at the top left; returns 0,
// with one line saying so, when the server refuses.
int switchMode(XF86VidModeModeInfo *mode);

// Switches back to the saved desktop mode if switchMode changed it.
void restoreDesktopMode();

// The same through a fresh connection, for when GLWin's is lost; a server
// that is gone is left alone.
void giveBackDesktopMode();

#endif
