// Handing each X event to what follows it.
#include "window/events.h"

#include <cstdio>

#include "desktop/monitors.h"
#include "window/follow_monitors.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/glx_window.h"
#include "window/keys.h"
#include "window/resize.h"
#include "window/visibility.h"

namespace {

// A client message whose type name begins with 'W' (WM_PROTOCOLS: the window
// manager's close request) ends the viewer.
void client_message(const XClientMessageEvent &e)
{
    char *name = XGetAtomName(GLWin.display, e.message_type);
    if (name && name[0] == 'W') {
        printf("Exiting sanely...\n");
        done = 1;
    }
    if (name)
        XFree(name);
}

}  // namespace

void dispatchEvent(XEvent *event)
{
    // These come for the root window.
    if (isMonitorChange(GLWin.display, event)) {
        followMonitors();
        return;
    }
    // Events still queued for a window that F1 replaced go with it.
    if (event->xany.window != GLWin.window)
        return;
    switch (event->type) {
    case KeyPress:
        keyPressed(XLookupKeysym(&event->xkey, 0));
        break;
    case ButtonPress:
        done = 1;
        break;
    case Expose:
        followVisibility(*event);
        if (event->xexpose.count == 0)
            drawGLScene();
        break;
    case ConfigureNotify:
        resizeEvent(event->xconfigure);
        break;
    case MapNotify:
        if (GLWin.fullscreen)
            holdInput();
        followVisibility(*event);
        break;
    case UnmapNotify:
    case VisibilityNotify:
    case PropertyNotify:
        followVisibility(*event);
        break;
    case ClientMessage:
        client_message(event->xclient);
        break;
    }
}
