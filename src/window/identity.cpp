// The window's identity, for desktops.
#include "window/identity.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include "window/icon.h"

namespace {

void set_cardinals(Display *display, Window window, const char *property, const unsigned long *values, int count)
{
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(values), count);
}

}  // namespace

void setWindowIdentity(Display *display, Window window, int managed)
{
    XClassHint hint = {const_cast<char *>(kWindowInstance), const_cast<char *>(kWindowClass)};
    XSetClassHint(display, window, &hint);

    // A process id means something only with the host it runs on.
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    char *name = host;
    XTextProperty text;
    if (XStringListToTextProperty(&name, 1, &text)) {
        XSetWMClientMachine(display, window, &text);
        XFree(text.value);
    }
    unsigned long pid = getpid();
    set_cardinals(display, window, "_NET_WM_PID", &pid, 1);

    if (managed)
        set_cardinals(display, window, "_NET_WM_ICON", starmillIcon, starmillIconLength);
}
