// The guardian process. It keeps nothing of the program but the read end of
// one pipe, and waits. The pipe closes when the program is gone, by whatever
// route; if a switch was still outstanding then, the guardian gives the mode
// back through a connection of its own, and ends.
#include "desktop/guardian.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <initializer_list>

#include "desktop/mode_loan.h"

namespace {

int to_guardian = -1;  // the pipe's write end, -1 without a guardian

// Xlib ends the process if this returns: without atexit handlers, which
// belong to the program.
int on_lost_connection(Display *) { _exit(1); }

// Only the pipe is kept, as descriptor 3; the standard ones lead nowhere, so
// nobody waits on the program's output for the guardian's sake.
void keep_only(int pipe_end)
{
    int kept = fcntl(pipe_end, F_DUPFD, 10);  // out of the way of what follows
    int nowhere = open("/dev/null", O_RDWR);
    for (int fd = 0; fd < 3; fd++)
        dup2(nowhere, fd);
    dup2(kept, 3);
    closefrom(4);
}

// The last record read before the pipe closed.
ModeLoan last_word()
{
    ModeLoan last = {}, next;
    for (;;) {
        // Records are written whole and are far smaller than the pipe's
        // atomic size, so each read returns one.
        ssize_t n = read(3, &next, sizeof next);
        if (n == static_cast<ssize_t>(sizeof next))
            last = next;
        else if (!(n < 0 && errno == EINTR))
            return last;
    }
}

[[noreturn]] void guard(int pipe_end)
{
    // The quit signals are the program's to handle; a terminal's Ctrl-C
    // reaches the whole process group.
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        signal(sig, SIG_IGN);
    // A session and process group of its own, out of the terminal's job
    // control on purpose: a kill of the program's whole group (a shell's
    // job, `timeout`) must leave the guardian to give the mode back.
    setsid();
    prctl(PR_SET_NAME, "starmill-guard");
    keep_only(pipe_end);
    ModeLoan loan = last_word();
    if (loan.outstanding) {
        XSetIOErrorHandler(on_lost_connection);
        Display *display = XOpenDisplay(nullptr);
        if (display) {
            giveBackMode(display, loan);
            XCloseDisplay(display);
        }
    }
    _exit(0);
}

}  // namespace

void startGuardian()
{
    int ends[2];
    if (pipe(ends) != 0)
        return;
    pid_t pid = fork();
    if (pid == 0)
        guard(ends[0]);
    close(ends[0]);
    if (pid < 0) {
        close(ends[1]);
        return;
    }
    // Nothing the program might start inherits the write end.
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    to_guardian = ends[1];
}

void tellGuardian(const ModeLoan &loan)
{
    if (to_guardian < 0)
        return;
    ssize_t n;
    do
        n = write(to_guardian, &loan, sizeof loan);
    while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(sizeof loan)) {
        // The guardian is gone: the program carries on without one.
        close(to_guardian);
        to_guardian = -1;
    }
}
