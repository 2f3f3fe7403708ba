// Monitors through RandR.
#include "desktop/monitors.h"

#include <algorithm>

#include "desktop/x_errors.h"

namespace {

bool has_randr_1_3(Display *display)
{
    int event_base, error_base, major = 0, minor = 0;
    return XRRQueryExtension(display, &event_base, &error_base) &&
           XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
}

// The screen's CRTCs and outputs as they are, without a probe: probing resets
// some drivers' video-mode record. Null without RandR 1.3.
XRRScreenResources *current_resources(Display *display, int screen)
{
    if (!has_randr_1_3(display))
        return nullptr;
    return XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
}

// Whether the CRTC shows a mode, with its area in *area when it does.
bool lit_area(Display *display, XRRScreenResources *resources, RRCrtc id, MonitorArea *area)
{
    XRRCrtcInfo *crtc = id ? XRRGetCrtcInfo(display, resources, id) : nullptr;
    bool lit = crtc && crtc->mode != None && crtc->noutput > 0;
    if (lit)
        *area = {crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)};
    if (crtc)
        XRRFreeCrtcInfo(crtc);
    return lit;
}

int count_lit(Display *display, XRRScreenResources *resources, RRCrtc *last_lit)
{
    MonitorArea area;
    int lit = 0;
    for (int i = 0; i < resources->ncrtc; i++)
        if (lit_area(display, resources, resources->crtcs[i], &area)) {
            lit++;
            *last_lit = resources->crtcs[i];
        }
    return lit;
}

// How well a lit output suits the full-screen window: primary, at the
// root's origin, or just connected.
int preference(RROutput output, RROutput primary, const MonitorArea &area)
{
    if (output == primary)
        return 3;
    return area.x == 0 && area.y == 0 ? 2 : 1;
}

}  // namespace

int findMonitors(Display *display, int screen, MonitorArea *primary)
{
    *primary = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    XRRScreenResources *resources = current_resources(display, screen);
    if (!resources)
        return 1;
    RROutput primary_output = XRRGetOutputPrimary(display, RootWindow(display, screen));
    RRCrtc last_lit;
    int lit = count_lit(display, resources, &last_lit);
    int best = 0;
    MonitorArea area;
    for (int i = 0; i < resources->noutput; i++) {
        XRROutputInfo *output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (output && output->connection == RR_Connected && lit_area(display, resources, output->crtc, &area)) {
            int rank = preference(resources->outputs[i], primary_output, area);
            if (rank > best) {
                best = rank;
                *primary = area;
            }
        }
        if (output)
            XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return lit > 0 ? lit : 1;
}

int recordLitCrtc(Display *display, int screen, CrtcState *state)
{
    *state = CrtcState{};
    XRRScreenResources *resources = current_resources(display, screen);
    if (!resources)
        return 0;
    RRCrtc id = 0;
    XRRCrtcInfo *crtc = count_lit(display, resources, &id) == 1 ? XRRGetCrtcInfo(display, resources, id) : nullptr;
    if (crtc) {
        state->crtc = id;
        state->mode = crtc->mode;
        state->x = crtc->x;
        state->y = crtc->y;
        state->rotation = crtc->rotation;
        state->noutputs = std::min(crtc->noutput, static_cast<int>(sizeof state->outputs / sizeof *state->outputs));
        std::copy(crtc->outputs, crtc->outputs + state->noutputs, state->outputs);
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return state->crtc != 0;
}

int setCrtc(Display *display, int screen, const CrtcState &state)
{
    XRRScreenResources *resources = current_resources(display, screen);
    if (!resources)
        return 0;
    trapXErrors(display);
    // Refused when the layout changed since `resources` was read (its time stamp).
    Status status = XRRSetCrtcConfig(display, resources, state.crtc, CurrentTime, state.x, state.y, state.mode,
                                     state.rotation, const_cast<RROutput *>(state.outputs), state.noutputs);
    int error = untrapXErrors(display);
    XRRFreeScreenResources(resources);
    return error == 0 && status == RRSetConfigSuccess;
}

void watchMonitors(Display *display, int screen)
{
    if (has_randr_1_3(display))
        XRRSelectInput(display, RootWindow(display, screen), RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask);
}

bool isMonitorChange(Display *display, XEvent *event)
{
    int event_base, error_base;
    if (!XRRQueryExtension(display, &event_base, &error_base))
        return false;
    if (event->type == event_base + RRScreenChangeNotify) {
        XRRUpdateConfiguration(event);
        return true;
    }
    // Of RandR's notifications only CRTC changes are selected.
    return event->type == event_base + RRNotify;
}
