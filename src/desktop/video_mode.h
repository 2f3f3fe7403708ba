// The XFree86 video-mode extension: the screen's mode lines and the switch
// between them.
#ifndef STARMILL_DESKTOP_VIDEO_MODE_H
#define STARMILL_DESKTOP_VIDEO_MODE_H

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// The screen's mode lines (free with XFree), with their count in *count, and
// a copy of the mode in force in *desktop. Without the extension, without
// modes, or without a listed mode in force, it says so and returns null with
// *desktop zero: the video mode is never touched.
XF86VidModeModeInfo **fetchModes(Display *display, int screen, int *count, XF86VidModeModeInfo *desktop);

// The last mode line of exactly the size asked for; -1 when none has it.
int chooseMode(XF86VidModeModeInfo **modes, int count, int width, int height);

// Switches the screen to `mode` with the viewport at the top left; returns 0
// when the server refuses.
int setVideoMode(Display *display, int screen, XF86VidModeModeInfo *mode);

#endif
