// Creation and tear-down of the GLX window.
#include "window/glx_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "desktop/mode_loan.h"
#include "desktop/monitors.h"
#include "desktop/screen_awake.h"
#include "desktop/video_mode.h"
#include "desktop/x_errors.h"
#include "window/fatal.h"
#include "window/glwin.h"
#include "window/identity.h"
#include "window/scene.h"
#include "window/visibility.h"

// RGBA with at least 4 bits per channel and a 16-bit depth buffer.
int attrListSgl[] = {GLX_RGBA, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4, GLX_BLUE_SIZE, 4,
                     GLX_DEPTH_SIZE, 16, None};
int attrListDbl[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4,
                     GLX_BLUE_SIZE, 4, GLX_DEPTH_SIZE, 16, None};

namespace {

// Visibility and property changes tell whether anyone can see the window.
const long kEventMask = KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask | VisibilityChangeMask |
                        PropertyChangeMask;

XVisualInfo *choose_visual()
{
    if (!glXQueryExtension(GLWin.display, nullptr, nullptr)) {
        char message[300];
        snprintf(message, sizeof message, "The X display \"%s\" has no GLX extension", DisplayString(GLWin.display));
        endWithError(message);
    }
    XVisualInfo *vi = glXChooseVisual(GLWin.display, GLWin.screen, attrListDbl);
    if (vi) {
        GLWin.doubleBuffered = 1;
        printf("Got Doublebuffered Visual!\n");
        return vi;
    }
    vi = glXChooseVisual(GLWin.display, GLWin.screen, attrListSgl);
    GLWin.doubleBuffered = 0;
    if (!vi)
        endWithError("No RGBA visual with a 16-bit depth buffer on this display");
    printf("Only Singlebuffered Visual!\n");
    return vi;
}

// The window over `area` of the root, selecting the events the main loop
// handles.
Window create_window(XVisualInfo *vi, MonitorArea area, unsigned long value_mask)
{
    GLWin.attributes.event_mask = kEventMask;
    return XCreateWindow(GLWin.display, RootWindow(GLWin.display, vi->screen), area.x, area.y, area.width,
                         area.height, 0, vi->depth, InputOutput, vi->visual, value_mask, &GLWin.attributes);
}

// Keyboard and pointer to the window. Another program's grab (a full-screen
// program, a screen locker) may be about to end, so it is tried for about a
// second; returns 0 when it is still refused.
int grab_input()
{
    const int kAttempts = 20;
    for (int attempt = 0; attempt < kAttempts; attempt++) {
        if (attempt > 0)
            usleep(50 * 1000);
        trapXErrors(GLWin.display);
        int keyboard = XGrabKeyboard(GLWin.display, GLWin.window, True, GrabModeAsync, GrabModeAsync,
                                     CurrentTime);
        int pointer = XGrabPointer(GLWin.display, GLWin.window, True, ButtonPressMask, GrabModeAsync,
                                   GrabModeAsync, GLWin.window, None, CurrentTime);
        int error = untrapXErrors(GLWin.display);
        if (keyboard == GrabSuccess && pointer == GrabSuccess && error == 0)
            return 1;
        XUngrabKeyboard(GLWin.display, CurrentTime);
        XUngrabPointer(GLWin.display, CurrentTime);
    }
    return 0;
}

// Switched to the mode chosen, or, without one, over the primary monitor as
// it is. Several monitors are never switched: the extension would clone the
// mode onto all of them and lose their layout.
void create_fullscreen_window(XVisualInfo *vi, XF86VidModeModeInfo **modes, int mode)
{
    MonitorArea area;
    int monitors = findMonitors(GLWin.display, GLWin.screen, &area);
    if (monitors > 1)
        printf("%d monitors: the video mode stays as it is\n", monitors);
    else if (modes && mode >= 0 && switchMode(GLWin.display, GLWin.screen, modes[mode], GLWin.desktopMode))
        area = {0, 0, modes[mode]->hdisplay, modes[mode]->vdisplay};
    printf("Resolution %dx%d\n", area.width, area.height);
    GLWin.attributes.override_redirect = True;
    GLWin.window = create_window(vi, area, CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect);
    setWindowIdentity(GLWin.display, GLWin.window, 0);
    // Mapped before the pointer is warped into it: some servers (Xwayland
    // without a pointer) fail on a warp into an unmapped window.
    XMapRaised(GLWin.display, GLWin.window);
    XWarpPointer(GLWin.display, None, GLWin.window, 0, 0, 0, 0, 0, 0);
    holdInput();
}

void create_managed_window(XVisualInfo *vi, const char *title, int width, int height)
{
    GLWin.window = create_window(vi, {0, 0, width, height}, CWBorderPixel | CWColormap | CWEventMask);
    Atom wm_delete = XInternAtom(GLWin.display, "WM_DELETE_WINDOW", True);
    XSetWMProtocols(GLWin.display, GLWin.window, &wm_delete, 1);
    XSetStandardProperties(GLWin.display, GLWin.window, title, title, None, nullptr, 0, nullptr);
    setWindowIdentity(GLWin.display, GLWin.window, 1);
    XMapRaised(GLWin.display, GLWin.window);
}

// The connection lives from the first window to the end: a window made anew
// on a new connection could get the id of the one just destroyed, which a
// busy window manager may still be acting on.
void open_display()
{
    GLWin.display = XOpenDisplay(nullptr);
    if (!GLWin.display) {
        char message[300];
        snprintf(message, sizeof message, "Cannot open the X display \"%s\"", XDisplayName(nullptr));
        endWithError(message);
    }
    GLWin.screen = DefaultScreen(GLWin.display);
    handleLostConnection();
    watchMonitors(GLWin.display, GLWin.screen);
}

}  // namespace

void holdInput()
{
    if (!grab_input())
        endWithError("Cannot grab keyboard and pointer: another program holds them");
}

int createGLWindow(const char *title, int width, int height, int fullscreen)
{
    GLWin.fullscreen = fullscreen;
    if (!GLWin.display)
        open_display();

    int count;
    XF86VidModeModeInfo **modes = fetchModes(GLWin.display, GLWin.screen, &count, &GLWin.desktopMode);
    int mode = chooseMode(modes, count, width, height);

    XVisualInfo *vi = choose_visual();
    int glx_major, glx_minor;
    glXQueryVersion(GLWin.display, &glx_major, &glx_minor);
    printf("glX-Version %d.%d\n", glx_major, glx_minor);
    // Where no driver can make one, the server refuses the library's last
    // try, and the library gives no context: saying so is the line below's
    // job, not that of Xlib's default handler after it.
    trapXErrors(GLWin.display);
    GLWin.context = glXCreateContext(GLWin.display, vi, nullptr, GL_TRUE);
    untrapXErrors(GLWin.display);
    if (!GLWin.context)
        endWithError("Cannot create a GL rendering context");

    GLWin.attributes.colormap =
        XCreateColormap(GLWin.display, RootWindow(GLWin.display, vi->screen), vi->visual, AllocNone);
    GLWin.attributes.border_pixel = 0;
    forgetVisibility();
    if (fullscreen)
        create_fullscreen_window(vi, modes, mode);
    else
        create_managed_window(vi, title, width, height);
    if (modes)
        XFree(modes);  // desktopMode is a copy
    XFree(vi);

    glXMakeCurrent(GLWin.display, GLWin.window, GLWin.context);
    Window root;
    unsigned int border;
    XGetGeometry(GLWin.display, GLWin.window, &root, &GLWin.x, &GLWin.y, &GLWin.width, &GLWin.height,
                 &border, &GLWin.depth);
    printf("Depth %d\n", static_cast<int>(GLWin.depth));
    if (glXIsDirect(GLWin.display, GLWin.context))
        printf("Congrats, you have Direct Rendering!\n");
    else
        printf("Sorry, no Direct Rendering possible!\n");
    if (initGL() < 0)
        endWithError("Problems loading fonts :-(");
    return 1;
}

void destroyGLWindow()
{
    if (!GLWin.display)
        return;
    if (GLWin.context) {
        // The scene's objects go while their context is still current.
        deleteScene();
        if (!glXMakeCurrent(GLWin.display, None, nullptr))
            printf("Could not release drawing context.\n");
        glXDestroyContext(GLWin.display, GLWin.context);
        GLWin.context = nullptr;
    }
    if (GLWin.window) {
        XDestroyWindow(GLWin.display, GLWin.window);
        GLWin.window = 0;
    }
    if (GLWin.attributes.colormap) {
        XFreeColormap(GLWin.display, GLWin.attributes.colormap);
        GLWin.attributes.colormap = 0;
    }
    restoreDesktopMode(GLWin.display);
    memset(&GLWin.desktopMode, 0, sizeof GLWin.desktopMode);
}

void killGLWindow()
{
    if (!GLWin.display)
        return;
    destroyGLWindow();
    endScreenAwake(GLWin.display);
    XCloseDisplay(GLWin.display);
    GLWin.display = nullptr;
}
