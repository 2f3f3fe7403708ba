// Trapping X errors, and ending in order when the connection is lost.
#include "desktop/x_errors.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "desktop/mode_loan.h"

namespace {

int trapped_code = 0;
XErrorHandler previous_handler = nullptr;

int record_error(Display *, XErrorEvent *event)
{
    trapped_code = event->error_code;
    return 0;
}

// Xlib ends the process if this returns, so it never does. Nothing of the
// dead connection is touched, and _exit skips the GL driver's clean-up,
// which would talk to it.
int on_lost_connection(Display *)
{
    printf("Lost the connection to the X display\n");
    giveBackDesktopMode();
    fflush(stdout);
    _exit(1);
}

}  // namespace

void trapXErrors(Display *display)
{
    XSync(display, False);
    trapped_code = 0;
    previous_handler = XSetErrorHandler(record_error);
}

int untrapXErrors(Display *display)
{
    XSync(display, False);
    XSetErrorHandler(previous_handler);
    return trapped_code;
}

void handleLostConnection()
{
    // A write to a connection the server closed would raise SIGPIPE and end
    // the process before Xlib could report the broken connection.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(on_lost_connection);
}
