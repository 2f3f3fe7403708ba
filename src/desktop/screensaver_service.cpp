// The screen-saver service through sd-bus.
#include "desktop/screensaver_service.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdint>

namespace {

const char *const kService = "org.freedesktop.ScreenSaver";
const char *const kPath = "/org/freedesktop/ScreenSaver";
const uint64_t kCallTimeoutUs = 500 * 1000;

sd_bus *bus = nullptr;
bool bus_tried = false;
bool inhibited = false;
uint32_t cookie = 0;

// The session bus, connected on first use. sd-bus finds it only where the
// session says it is ($DBUS_SESSION_BUS_ADDRESS, or $XDG_RUNTIME_DIR/bus):
// it never starts a bus of its own, which would outlive the program.
sd_bus *session_bus()
{
    if (!bus_tried) {
        bus_tried = true;
        if (sd_bus_open_user(&bus) < 0)
            bus = nullptr;
        else
            sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    }
    return bus;
}

// After a failed call: a refusal (no such service) leaves the bus for the
// next request; a bus that let the call run out, or went away, is dropped
// for the rest of the run.
void drop_bus_unless_refused(int result)
{
    if (result == -ETIMEDOUT || sd_bus_is_open(bus) <= 0)
        bus = sd_bus_close_unref(bus);
}

}  // namespace

void inhibitScreenSaverService()
{
    if (inhibited || !session_bus())
        return;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message *reply = nullptr;
    int result = sd_bus_call_method(bus, kService, kPath, kService, "Inhibit", &error, &reply, "ss", "Starmill",
                                    "Showing colliding galaxies");
    if (result >= 0)
        inhibited = sd_bus_message_read(reply, "u", &cookie) > 0;
    else
        drop_bus_unless_refused(result);
    sd_bus_error_free(&error);
    sd_bus_message_unref(reply);
}

void uninhibitScreenSaverService()
{
    if (!inhibited || !bus)
        return;
    inhibited = false;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = sd_bus_call_method(bus, kService, kPath, kService, "UnInhibit", &error, nullptr, "u", cookie);
    if (result < 0)
        drop_bus_unless_refused(result);
    sd_bus_error_free(&error);
}
