// The session bus: one connection for the run, opened when it is first
// wanted and again after it closes, and never waited on. Calls are sent and
// their answers handled as they come, in processSessionBus; the main loop
// adds the connection to what it waits for while it has nothing to draw.
#ifndef STARMILL_DESKTOP_SESSION_BUS_H
#define STARMILL_DESKTOP_SESSION_BUS_H

#include <poll.h>
#include <systemd/sd-bus.h>

// An object a service serves under a well-known name.
struct BusObject {
    const char *service;
    const char *path;
    const char *interface;
};

// Told whenever `service` gets an owner (owned 1) or loses it (owned 0);
// the end of the connection counts as losing every name.
typedef void (*OwnerHandler)(void *userdata, int owned);

// Follows `service` on every connection opened from now on. Up to four
// names.
void followBusName(const char *service, OwnerHandler handler, void *userdata);

// Connects where there is no connection; returns 1 when there is one. Only
// a bus the session names is used ($DBUS_SESSION_BUS_ADDRESS, or the one in
// $XDG_RUNTIME_DIR): none is started, since it would outlive the program.
int openSessionBus();

// Calls `member` of `object` with the arguments `types` describes, only
// where its service runs: no service is started for it. With `on_reply`,
// the answer (or the error, "NoReply" after 25 s without one) goes to it,
// and *pending holds the call until then: unreferencing it forgets the
// call. Without, no answer is asked for. Returns 0 when nothing was sent.
int callBusMethod(const BusObject &object, const char *member, sd_bus_slot **pending,
                  sd_bus_message_handler_t on_reply, void *userdata, const char *types, ...);

// Handles whatever the bus has sent, without waiting.
void processSessionBus();

// Fills `end` with what to wait for on the connection (fd -1 without one)
// and lowers *timeout_ms (-1: none) to when it next needs handling.
void sessionBusWaitEnd(pollfd *end, int *timeout_ms);

// Sends what is still queued, waiting for the bus half a second at most,
// and closes the connection.
void closeSessionBus();

#endif
