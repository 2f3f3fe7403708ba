// The viewer: full-screen window, then a loop that never waits, handling
// every pending X event and drawing one frame per pass, until done.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "desktop/guardian.h"
#include "desktop/monitors.h"
#include "sim/universe.h"
#include "window/follow_monitors.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/glx_window.h"
#include "window/keys.h"
#include "window/resize.h"
#include "window/titles.h"

namespace {

// Set by SIGINT, SIGTERM and SIGHUP, so that being killed still ends the
// loop in order and gives the desktop its video mode back.
volatile sig_atomic_t quit_signalled = 0;

void on_quit_signal(int) { quit_signalled = 1; }

void install_quit_signals()
{
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
}

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

void dispatch(XEvent *event)
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
        if (event->xexpose.count == 0)
            drawGLScene();
        break;
    case ConfigureNotify:
        resizeEvent(event->xconfigure);
        break;
    case MapNotify:
        if (GLWin.fullscreen)
            holdInput();
        break;
    case ClientMessage:
        client_message(event->xclient);
        break;
    }
}

}  // namespace

int main()
{
    startGuardian();
    // Each line reaches a log or a pipe as it is printed, not at the end.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    done = 0;
    GLWin.fullscreen = 1;
    install_quit_signals();
    createGLWindow(kStartTitle, 640, 480, GLWin.fullscreen);
    XEvent event;
    while (!done) {
        while (XPending(GLWin.display) > 0) {
            XNextEvent(GLWin.display, &event);
            dispatch(&event);
        }
        drawGLScene();
        if (quit_signalled)
            done = 1;
    }
    release_galaxy();
    killGLWindow();
    exit(0);
}
