// Following what can be seen of the window.
#include "window/visibility.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include "desktop/screen_awake.h"
#include "window/glwin.h"

namespace {

struct WindowView {
    int mapped;     // -1 until the window is first mapped
    int covered;    // VisibilityFullyObscured: without a compositor nothing of it is on the screen
    int hidden;     // _NET_WM_STATE_HIDDEN
    int set_aside;  // WM_STATE other than NormalState: iconified, or on another workspace
};

WindowView view = {-1, 0, 0, 0};

// Reads up to `max` 32-bit values of one of the window's properties into
// `values`; returns how many it read (0 when the property is absent).
unsigned long read_values(Atom property, Atom type, unsigned long *values, unsigned long max)
{
    Atom actual_type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    unsigned long n = 0;
    if (XGetWindowProperty(GLWin.display, GLWin.window, property, 0, max, False, type, &actual_type,
                           &format, &count, &after, &data) == Success && data && format == 32) {
        const unsigned long *longs = reinterpret_cast<const unsigned long *>(data);
        for (; n < count && n < max; n++)
            values[n] = longs[n];
    }
    if (data)
        XFree(data);
    return n;
}

bool net_wm_hidden(Atom state_property)
{
    unsigned long states[64];  // far more than the states a window can have
    unsigned long count = read_values(state_property, XA_ATOM, states, sizeof states / sizeof *states);
    Atom hidden = XInternAtom(GLWin.display, "_NET_WM_STATE_HIDDEN", False);
    for (unsigned long i = 0; i < count; i++)
        if (states[i] == hidden)
            return true;
    return false;
}

// i3 leaves a window on another workspace mapped inside its unmapped frame,
// where nothing tells the window but this. The state is read whatever type
// it was written with.
bool not_in_normal_state(Atom wm_state)
{
    unsigned long state;
    return read_values(wm_state, AnyPropertyType, &state, 1) == 1 && state != NormalState;
}

}  // namespace

void forgetVisibility() { view = WindowView{-1, 0, 0, 0}; }

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
    case Expose:
        // Part of it can be seen, whatever was said before: when the X
        // server's own screen saver ends, a window it covered is only
        // exposed, never told that it is unobscured.
        if (!view.covered)
            return;
        view.covered = 0;
        break;
    case PropertyNotify: {
        Atom net_wm_state = XInternAtom(GLWin.display, "_NET_WM_STATE", False);
        Atom wm_state = XInternAtom(GLWin.display, "WM_STATE", False);
        if (event.xproperty.atom == net_wm_state)
            view.hidden = net_wm_hidden(net_wm_state);
        else if (event.xproperty.atom == wm_state)
            view.set_aside = not_in_normal_state(wm_state);
        else
            return;
        break;
    }
    default:
        return;
    }
    // A window made anew (F1) takes over the holds of the one it replaces
    // once it is mapped; until then they stay as they are.
    if (view.mapped >= 0)
        keepScreenAwake(GLWin.display, GLWin.window, windowShown());
}

int windowShown() { return view.mapped > 0 && !view.covered && !view.hidden && !view.set_aside; }
