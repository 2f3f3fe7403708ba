// The viewer: full-screen window, then a loop that handles every pending X
// event and draws one frame per pass, until done. It never waits while the
// window is shown; while nobody can see it, it draws nothing and waits for
// the next event, so the show pauses with it.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "desktop/guardian.h"
#include "desktop/screen_awake.h"
#include "desktop/session_bus.h"
#include "sim/universe.h"
#include "window/events.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/glx_window.h"
#include "window/keys.h"
#include "window/titles.h"
#include "window/visibility.h"

namespace {

// Set by SIGINT, SIGTERM and SIGHUP, so that being killed still ends the
// loop in order and gives the desktop its video mode back.
volatile sig_atomic_t quit_signalled = 0;
// A quit signal also writes here, which ends a wait for the next event
// whichever thread the signal reached.
int wake_pipe[2] = {-1, -1};

void on_quit_signal(int)
{
    int saved = errno;
    quit_signalled = 1;
    if (write(wake_pipe[1], "q", 1) < 0) {
        // Full: a wake-up is already waiting.
    }
    errno = saved;
}

// Started with one of them closed, the program would hand its number to the
// next descriptor it opens (the guardian's pipe, the X connection), and its
// output would go there.
void keep_standard_descriptors_open()
{
    // Each lowest free number is the one closed.
    for (int fd = 0; fd < 3; fd++)
        if (fcntl(fd, F_GETFD) < 0)
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
}

void install_quit_signals()
{
    if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        wake_pipe[0] = wake_pipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = on_quit_signal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
}

// While nobody can see the window: until the next event, a quit signal or
// something from the session bus.
void wait_for_event()
{
    pollfd ends[3] = {{ConnectionNumber(GLWin.display), POLLIN, 0}, {wake_pipe[0], POLLIN, 0}, {-1, 0, 0}};
    int timeout_ms = -1;
    sessionBusWaitEnd(&ends[2], &timeout_ms);
    // XPending sends what is buffered; an event already read is not waited for.
    if (XPending(GLWin.display) == 0 && !quit_signalled)
        poll(ends, 3, timeout_ms);
    char drained[16];
    while (read(wake_pipe[0], drained, sizeof drained) > 0) {
    }
}

}  // namespace

int main()
{
    keep_standard_descriptors_open();
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
            dispatchEvent(&event);
        }
        tendScreenAwake();
        if (windowShown())
            drawGLScene();
        else
            wait_for_event();
        if (quit_signalled)
            done = 1;
    }
    release_galaxy();
    killGLWindow();
    exit(0);
}
