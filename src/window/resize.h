// Following the window's size.
#ifndef STARMILL_WINDOW_RESIZE_H
#define STARMILL_WINDOW_RESIZE_H

#include <X11/Xlib.h>

// A ConfigureNotify with a size other than the one GLWin holds stores the
// new size, says "Resize event" and re-applies viewport and projection; a
// move, or the known size again, does nothing.
void resizeEvent(const XConfigureEvent &event);

#endif
