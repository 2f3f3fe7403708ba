// The monitors of the screen, as RandR describes them: a full-screen window
// belongs on the primary one, and with more than one lit the video-mode
// extension's switch must not be used (it clones its mode onto all of them
// and does not give the layout back).
#ifndef STARMILL_DESKTOP_MONITORS_H
#define STARMILL_DESKTOP_MONITORS_H

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

struct MonitorArea {
    int x;
    int y;
    int width;
    int height;
};

// One CRTC as RandR sets it: what must be put back when a video-mode switch
// changed it and other monitors have lit up since.
struct CrtcState {
    RRCrtc crtc;  // 0 when none is recorded
    RRMode mode;
    int x;
    int y;
    Rotation rotation;
    int noutputs;
    RROutput outputs[8];
};

// How many monitors are lit, with the area of the primary one in *primary
// (without a primary output: the one at the root's origin, else the first
// connected one). Without RandR 1.3 it returns 1 and the whole screen.
int findMonitors(Display *display, int screen, MonitorArea *primary);

// The configuration of the screen's only lit CRTC; returns 0, with
// state->crtc 0, when there is none, or more than one, or no RandR 1.3.
int recordLitCrtc(Display *display, int screen, CrtcState *state);

// Sets a CRTC back as recorded; returns 0 when the server refuses.
int setCrtc(Display *display, int screen, const CrtcState &state);

// Asks for an event whenever a monitor is lit, switched off, moved or set to
// another mode (nothing without RandR 1.3).
void watchMonitors(Display *display, int screen);

// Whether `event` is one of those; Xlib's idea of the screen size is brought
// up to date by it.
bool isMonitorChange(Display *display, XEvent *event);

#endif
