// What each X event of the main loop does.
#ifndef STARMILL_WINDOW_EVENTS_H
#define STARMILL_WINDOW_EVENTS_H

#include <X11/Xlib.h>

// Handles one event read from the display: keys and buttons, the window
// manager's close request, what can be seen of the window, its size, and
// changes of the monitors.
void dispatchEvent(XEvent *event);

#endif
