// What the show borrows from the desktop while it is watched: the screen
// kept awake. The X server's own screen saver (with its DPMS blanking) is
// suspended for this connection, its idle time is reset every 30 s for the
// lockers that read it, and the desktop's services are asked to hold off
// (service_holds.h). Nothing outlives the program: the server drops the
// suspension with the connection, the services their holds with the bus
// connection, however the program ends; no setting is changed.
#ifndef STARMILL_DESKTOP_SCREEN_AWAKE_H
#define STARMILL_DESKTOP_SCREEN_AWAKE_H

#include <X11/Xlib.h>

// Holds the screen awake on `display` for the top-level `window` (awake 1),
// or lets the desktop blank and lock it as usual (awake 0).
void keepScreenAwake(Display *display, Window window, int awake);

// Once per pass of the main loop, without waiting: the services' answers,
// and the idle time reset when it is due.
void tendScreenAwake();

// Lets go of everything and closes the session bus, at the end.
void endScreenAwake(Display *display);

#endif
