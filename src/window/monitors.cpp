// Monitors through RandR.
#include "window/monitors.h"

#include <X11/extensions/Xrandr.h>

namespace {

bool has_randr_1_3(Display *display)
{
    int event_base, error_base, major = 0, minor = 0;
    return XRRQueryExtension(display, &event_base, &error_base) &&
           XRRQueryVersion(display, &major, &minor) && (major > 1 || (major == 1 && minor >= 3));
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
    if (!has_randr_1_3(display))
        return 1;
    Window root = RootWindow(display, screen);
    XRRScreenResources *resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources)
        return 1;
    RROutput primary_output = XRRGetOutputPrimary(display, root);
    MonitorArea area;
    int lit = 0;
    for (int i = 0; i < resources->ncrtc; i++)
        lit += lit_area(display, resources, resources->crtcs[i], &area);
    int best = 0;
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
