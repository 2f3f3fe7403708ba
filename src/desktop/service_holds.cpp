// Each service's hold as a small state, kept through the session bus.
#include "desktop/service_holds.h"

#include <cstdint>

#include "desktop/session_bus.h"

namespace {

const char kApplication[] = "Starmill";
const char kReason[] = "Showing colliding galaxies";
// GNOME's session inhibitor flag: the session is not marked idle.
const uint32_t kInhibitIdle = 8;

enum HoldState {
    kNotAsked,
    kAsked,    // the answer is still to come
    kHeld,     // with its cookie
    kRefused,  // no such service, object or method: not asked again until its name has a new owner
};

struct ServiceHold {
    BusObject object;
    const char *give_back;  // GNOME's session spells it Uninhibit
    bool session;           // Inhibit(application, window, reason, flags) instead of (application, reason)
    HoldState state;
    uint32_t cookie;
    sd_bus_slot *pending;
};

ServiceHold services[] = {
    {{"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"}, "UnInhibit",
     false, kNotAsked, 0, nullptr},
    {{"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager"}, "Uninhibit", true,
     kNotAsked, 0, nullptr},
    {{"org.xfce.ScreenSaver", "/org/xfce/ScreenSaver", "org.xfce.ScreenSaver"}, "UnInhibit", false, kNotAsked, 0,
     nullptr},
};

bool wanted = false;
uint32_t toplevel = 0;

int on_answer(sd_bus_message *answer, void *userdata, sd_bus_error *);

void ask(ServiceHold &hold)
{
    int sent = hold.session ? callBusMethod(hold.object, "Inhibit", &hold.pending, on_answer, &hold, "susu",
                                            kApplication, toplevel, kReason, kInhibitIdle)
                            : callBusMethod(hold.object, "Inhibit", &hold.pending, on_answer, &hold, "ss",
                                            kApplication, kReason);
    hold.state = sent ? kAsked : kNotAsked;
}

void give_back(ServiceHold &hold)
{
    callBusMethod(hold.object, hold.give_back, nullptr, nullptr, nullptr, "u", hold.cookie);
    hold.state = kNotAsked;
}

int on_answer(sd_bus_message *answer, void *userdata, sd_bus_error *)
{
    ServiceHold &hold = *static_cast<ServiceHold *>(userdata);
    hold.pending = sd_bus_slot_unref(hold.pending);
    const sd_bus_error *error = sd_bus_message_get_error(answer);
    if (error && sd_bus_error_has_name(error, SD_BUS_ERROR_NO_REPLY)) {
        // No answer in time: a busy service is asked again, at no cost.
        hold.state = kNotAsked;
        if (wanted)
            ask(hold);
    } else if (error || sd_bus_message_read(answer, "u", &hold.cookie) <= 0) {
        hold.state = kRefused;
    } else {
        hold.state = kHeld;
        if (!wanted)
            give_back(hold);
    }
    return 0;
}

// A new owner is a new service, which holds nothing of ours yet; an owner
// that leaves takes its hold with it.
void on_owner(void *userdata, int owned)
{
    ServiceHold &hold = *static_cast<ServiceHold *>(userdata);
    hold.pending = sd_bus_slot_unref(hold.pending);
    hold.state = kNotAsked;
    if (owned && wanted)
        ask(hold);
}

}  // namespace

void holdDesktopServices(int want, unsigned long window)
{
    static bool following = false;
    if (!following) {
        for (ServiceHold &hold : services)
            followBusName(hold.object.service, on_owner, &hold);
        following = true;
    }
    wanted = want != 0;
    if (wanted) {
        toplevel = static_cast<uint32_t>(window);
        if (!openSessionBus())
            return;
    }
    for (ServiceHold &hold : services) {
        if (wanted && hold.state == kNotAsked)
            ask(hold);
        else if (!wanted && hold.state == kHeld)
            give_back(hold);
    }
}
