// What the show borrows from the desktop while it is watched: the screen
// kept awake. The X server's own screen saver (with its DPMS blanking) is
// suspended for this connection, and the desktop's screen-saver service is
// asked to wait. Neither outlives the program: the server drops the
// suspension with the connection, the service the request with the bus
// connection, however the program ends.
#ifndef STARMILL_DESKTOP_SCREEN_AWAKE_H
#define STARMILL_DESKTOP_SCREEN_AWAKE_H

#include <X11/Xlib.h>

// Holds the screen awake on `display` (awake 1), or lets the desktop blank
// and lock it as usual (awake 0). Asking for what is already so does
// nothing.
void keepScreenAwake(Display *display, int awake);

#endif
