// Following the monitors.
#include "window/follow_monitors.h"

#include <cstdio>

#include "desktop/mode_loan.h"
#include "desktop/monitors.h"
#include "window/glwin.h"

void followMonitors()
{
    MonitorArea primary;
    int lit = findMonitors(GLWin.display, GLWin.screen, &primary);
    if (lit > 1 && modeSwitched()) {
        printf("%d monitors: the video mode goes back to the desktop's\n", lit);
        restoreDesktopMode(GLWin.display);
    }
    // A switched mode is the program's own, and the window covers it.
    if (!GLWin.fullscreen || !GLWin.window || modeSwitched())
        return;
    if (primary.x == GLWin.x && primary.y == GLWin.y && static_cast<unsigned>(primary.width) == GLWin.width &&
        static_cast<unsigned>(primary.height) == GLWin.height)
        return;
    // The size reaches GLWin, and the projection, with the ConfigureNotify.
    GLWin.x = primary.x;
    GLWin.y = primary.y;
    XMoveResizeWindow(GLWin.display, GLWin.window, primary.x, primary.y, primary.width, primary.height);
}
