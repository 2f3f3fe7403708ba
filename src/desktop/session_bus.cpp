// The session bus through sd-bus.
#include "desktop/session_bus.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

// Generous: a desktop's service may answer only once its session is up, or
// once D-Bus has started it, while the show takes every core.
const uint64_t kCallTimeoutUs = 25ULL * 1000 * 1000;
const uint64_t kLastCallsUs = 500 * 1000;
const int kMaxFollowed = 4;

struct FollowedName {
    const char *service;
    OwnerHandler handler;
    void *userdata;
};

FollowedName followed[kMaxFollowed];
int followed_count = 0;
sd_bus *bus = nullptr;

uint64_t now_us()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

int on_owner_changed(sd_bus_message *signal, void *, sd_bus_error *)
{
    const char *service, *old_owner, *new_owner;
    if (sd_bus_message_read(signal, "sss", &service, &old_owner, &new_owner) < 0)
        return 0;
    for (int i = 0; i < followed_count; i++)
        if (strcmp(followed[i].service, service) == 0)
            followed[i].handler(followed[i].userdata, new_owner[0] != '\0');
    return 0;
}

// The bus sends the match's first owner changes only after it has taken
// the match, and it takes messages in order: a call sent after this cannot
// miss a change that follows its answer.
void follow_on_connection(const FollowedName &name)
{
    char rule[300];
    snprintf(rule, sizeof rule,
             "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
             "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='%s'",
             name.service);
    sd_bus_add_match_async(bus, nullptr, rule, on_owner_changed, nullptr, nullptr);
}

// Everyone following a name hears that it is gone with the connection
// before the connection is freed, so that no call of theirs outlives it.
void drop_connection()
{
    for (int i = 0; i < followed_count; i++)
        followed[i].handler(followed[i].userdata, 0);
    bus = sd_bus_close_unref(bus);
}

}  // namespace

void followBusName(const char *service, OwnerHandler handler, void *userdata)
{
    if (followed_count == kMaxFollowed)
        return;
    followed[followed_count++] = {service, handler, userdata};
}

int openSessionBus()
{
    if (bus)
        return 1;
    // The connection is made and authenticated as the loop processes it.
    if (sd_bus_open_user(&bus) < 0) {
        bus = nullptr;
        return 0;
    }
    for (int i = 0; i < followed_count; i++)
        follow_on_connection(followed[i]);
    return 1;
}

int callBusMethod(const BusObject &object, const char *member, sd_bus_slot **pending,
                  sd_bus_message_handler_t on_reply, void *userdata, const char *types, ...)
{
    if (!bus)
        return 0;
    sd_bus_message *call = nullptr;
    int result = sd_bus_message_new_method_call(bus, &call, object.service, object.path, object.interface, member);
    if (result >= 0) {
        va_list args;
        va_start(args, types);
        result = sd_bus_message_appendv(call, types, args);
        va_end(args);
    }
    // A service that is not running is not the desktop's: starting one
    // (another desktop's screen saver, say) would change the desktop.
    if (result >= 0)
        result = sd_bus_message_set_auto_start(call, 0);
    if (result >= 0 && !on_reply)
        result = sd_bus_message_set_expect_reply(call, 0);
    if (result >= 0)
        result = on_reply ? sd_bus_call_async(bus, pending, call, on_reply, userdata, kCallTimeoutUs)
                          : sd_bus_send(bus, call, nullptr);
    sd_bus_message_unref(call);
    return result >= 0;
}

void processSessionBus()
{
    if (!bus)
        return;
    int result;
    while ((result = sd_bus_process(bus, nullptr)) > 0) {
    }
    if (result < 0 || sd_bus_is_open(bus) <= 0)
        drop_connection();
}

void sessionBusWaitEnd(pollfd *end, int *timeout_ms)
{
    *end = {-1, 0, 0};
    int events;
    if (!bus || (events = sd_bus_get_events(bus)) < 0)
        return;
    *end = {sd_bus_get_fd(bus), static_cast<short>(events), 0};
    uint64_t until;
    if (sd_bus_get_timeout(bus, &until) < 0 || until == UINT64_MAX)
        return;
    uint64_t now = now_us();
    uint64_t ms = until > now ? (until - now + 999) / 1000 : 0;
    if (ms > INT_MAX)
        ms = INT_MAX;
    if (*timeout_ms < 0 || static_cast<int>(ms) < *timeout_ms)
        *timeout_ms = static_cast<int>(ms);
}

void closeSessionBus()
{
    if (!bus)
        return;
    uint64_t deadline = now_us() + kLastCallsUs;
    uint64_t queued, now;
    while (sd_bus_is_open(bus) > 0 && sd_bus_get_n_queued_write(bus, &queued) >= 0 && queued > 0 &&
           (now = now_us()) < deadline) {
        if (sd_bus_process(bus, nullptr) == 0)
            sd_bus_wait(bus, deadline - now);
    }
    drop_connection();
}
