// Whether anyone can see the window. It is shown while it is mapped, not
// covered whole by other windows (a screen locker's included) and not
// hidden by the window manager (_NET_WM_STATE_HIDDEN: a minimised window
// that stays mapped for live thumbnails; or a WM_STATE other than normal:
// iconified, or on a workspace not shown). The screen is kept awake while
// it is shown and left to the desktop while it is not.
#ifndef STARMILL_WINDOW_VISIBILITY_H
#define STARMILL_WINDOW_VISIBILITY_H

#include <X11/Xlib.h>

// A window made anew is not shown until it is mapped.
void forgetVisibility();

// Follows a map, unmap, visibility, expose or property event of the window.
void followVisibility(const XEvent &event);

int windowShown();

#endif
