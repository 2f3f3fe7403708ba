// Keeping the screen awake.
#include "desktop/screen_awake.h"

#include <X11/extensions/scrnsaver.h>

#include <ctime>

#include "desktop/service_holds.h"
#include "desktop/session_bus.h"

namespace {

// xautolock, the XSync IDLETIME counter and XScreenSaverQueryInfo's idle
// time count on through the suspension; a reset this often keeps them
// under any timeout a locker offers.
const time_t kIdleResetSeconds = 30;

Display *held_on = nullptr;  // the connection whose suspension is in force
time_t last_reset = 0;

time_t seconds_now()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec;
}

// Suspension came with version 1.1 of the MIT-SCREEN-SAVER extension.
bool can_suspend(Display *display)
{
    int event_base, error_base, major = 0, minor = 0;
    return XScreenSaverQueryExtension(display, &event_base, &error_base) &&
           XScreenSaverQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 1));
}

}  // namespace

void keepScreenAwake(Display *display, Window window, int awake)
{
    if ((held_on == display) != (awake != 0)) {
        // The server counts a client's suspensions: each one is lifted once.
        if (can_suspend(display))
            XScreenSaverSuspend(display, awake ? True : False);
        held_on = awake ? display : nullptr;
        last_reset = seconds_now();
    }
    // Told every time: a service may have come or gone since, and the
    // window may be a new one.
    holdDesktopServices(awake, window);
}

void tendScreenAwake()
{
    processSessionBus();
    if (held_on && seconds_now() - last_reset >= kIdleResetSeconds) {
        XResetScreenSaver(held_on);
        last_reset = seconds_now();
    }
}

void endScreenAwake(Display *display)
{
    keepScreenAwake(display, None, 0);
    closeSessionBus();
}
