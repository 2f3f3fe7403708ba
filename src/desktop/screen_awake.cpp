// Keeping the screen awake.
#include "desktop/screen_awake.h"

#include <X11/extensions/scrnsaver.h>

#include "desktop/screensaver_service.h"

namespace {

Display *held_on = nullptr;  // the connection whose suspension is in force

// Suspension came with version 1.1 of the MIT-SCREEN-SAVER extension.
bool can_suspend(Display *display)
{
    int event_base, error_base, major = 0, minor = 0;
    return XScreenSaverQueryExtension(display, &event_base, &error_base) &&
           XScreenSaverQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 1));
}

}  // namespace

void keepScreenAwake(Display *display, int awake)
{
    if ((held_on == display) == (awake != 0))
        return;
    // The server counts a client's suspensions: each one is lifted once.
    if (can_suspend(display))
        XScreenSaverSuspend(display, awake ? True : False);
    held_on = awake ? display : nullptr;
    if (awake)
        inhibitScreenSaverService();
    else
        uninhibitScreenSaverService();
}
