// The monitors of the screen, as RandR describes them: a full-screen window
// belongs on the primary one, and with more than one lit the video-mode
// extension's switch must not be used (it clones its mode onto all of them
// and does not give the layout back).
#ifndef STARMILL_WINDOW_MONITORS_H
#define STARMILL_WINDOW_MONITORS_H

#include <X11/Xlib.h>

struct MonitorArea {
    int x;
    int y;
    int width;
    int height;
};

// How many monitors are lit, with the area of the primary one in *primary
// (without a primary output: the one at the root's origin, else the first
// connected one). Without RandR 1.3 it returns 1 and the whole screen.
int findMonitors(Display *display, int screen, MonitorArea *primary);

#endif
