// Following what can be seen of the window.
#include "window/visibility.h"

#include <X11/Xatom.h>

#include "desktop/screen_awake.h"
#include "window/glwin.h"

namespace {

struct WindowView {
    int mapped;   // -1 until the window is first mapped
    int covered;  // VisibilityFullyObscured: without a compositor nothing of it is on the screen
    int hidden;   // _NET_WM_STATE_HIDDEN
};

WindowView view = {-1, 0, 0};

bool has_state(Atom state_property, Atom state)
{
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    bool found = false;
    if (XGetWindowProperty(GLWin.display, GLWin.window, state_property, 0, 64, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success && data && format == 32) {
        const Atom *states = reinterpret_cast<const Atom *>(data);
        for (unsigned long i = 0; i < count && !found; i++)
            found = states[i] == state;
    }
    if (data)
        XFree(data);
    return found;
}

}  // namespace

void forgetVisibility() { view = WindowView{-1, 0, 0}; }

void followVisibility(const XEvent &event)
{
    switch (event.type) {
    case MapNotify:
        view.mapped = 1;
        break;
    case UnmapNotify:
        view.mapped = 0;
        break;
    case VisibilityNotify:
        view.covered = event.xvisibility.state == VisibilityFullyObscured;
        break;
    case PropertyNotify: {
        Atom state_property = XInternAtom(GLWin.display, "_NET_WM_STATE", False);
        if (event.xproperty.atom != state_property)
            return;
        view.hidden = has_state(state_property, XInternAtom(GLWin.display, "_NET_WM_STATE_HIDDEN", False));
        break;
    }
    default:
        return;
    }
    // A window made anew (F1) takes over the holds of the one it replaces
    // once it is mapped; until then they stay as they are.
    if (view.mapped >= 0)
        keepScreenAwake(GLWin.display, windowShown());
}

int windowShown() { return view.mapped > 0 && !view.covered && !view.hidden; }
