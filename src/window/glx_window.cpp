// Creation and tear-down of the GLX window.
#include "window/glx_window.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

#include "window/fatal.h"
#include "window/glwin.h"
#include "window/scene.h"
#include "window/video_mode.h"

// RGBA with at least 4 bits per channel and a 16-bit depth buffer.
int attrListSgl[] = {GLX_RGBA, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4, GLX_BLUE_SIZE, 4,
                     GLX_DEPTH_SIZE, 16, None};
int attrListDbl[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4,
                     GLX_BLUE_SIZE, 4, GLX_DEPTH_SIZE, 16, None};

namespace {

const long kEventMask = KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask;

XVisualInfo *choose_visual()
{
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

// The window at 0, 0 of the root, selecting the events the main loop handles.
Window create_window(XVisualInfo *vi, int width, int height, unsigned long value_mask)
{
    GLWin.attributes.event_mask = kEventMask;
    return XCreateWindow(GLWin.display, RootWindow(GLWin.display, vi->screen), 0, 0, width, height, 0,
                         vi->depth, InputOutput, vi->visual, value_mask, &GLWin.attributes);
}

void create_fullscreen_window(XVisualInfo *vi, XF86VidModeModeInfo **modes, int mode)
{
    int width, height;
    if (modes) {
        switchMode(modes[mode]);
        width = modes[mode]->hdisplay;
        height = modes[mode]->vdisplay;
    } else {
        width = DisplayWidth(GLWin.display, GLWin.screen);
        height = DisplayHeight(GLWin.display, GLWin.screen);
    }
    printf("Resolution %dx%d\n", width, height);
    GLWin.attributes.override_redirect = True;
    GLWin.window =
        create_window(vi, width, height, CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect);
    XWarpPointer(GLWin.display, None, GLWin.window, 0, 0, 0, 0, 0, 0);
    XMapRaised(GLWin.display, GLWin.window);
    XGrabKeyboard(GLWin.display, GLWin.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    XGrabPointer(GLWin.display, GLWin.window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                 GLWin.window, None, CurrentTime);
}

void create_managed_window(XVisualInfo *vi, const char *title, int width, int height)
{
    GLWin.window = create_window(vi, width, height, CWBorderPixel | CWColormap | CWEventMask);
    Atom wm_delete = XInternAtom(GLWin.display, "WM_DELETE_WINDOW", True);
    XSetWMProtocols(GLWin.display, GLWin.window, &wm_delete, 1);
    XSetStandardProperties(GLWin.display, GLWin.window, title, title, None, nullptr, 0, nullptr);
    XMapRaised(GLWin.display, GLWin.window);
}

}  // namespace

int createGLWindow(const char *title, int width, int height, int fullscreen)
{
    GLWin.fullscreen = fullscreen;
    GLWin.display = XOpenDisplay(nullptr);
    if (!GLWin.display) {
        char message[300];
        snprintf(message, sizeof message, "Cannot open the X display \"%s\"", XDisplayName(nullptr));
        endWithError(message);
    }
    GLWin.screen = DefaultScreen(GLWin.display);

    int count;
    XF86VidModeModeInfo **modes = fetchModes(&count);
    int mode = chooseMode(modes, count, width, height);

    XVisualInfo *vi = choose_visual();
    int glx_major, glx_minor;
    glXQueryVersion(GLWin.display, &glx_major, &glx_minor);
    printf("glX-Version %d.%d\n", glx_major, glx_minor);
    GLWin.context = glXCreateContext(GLWin.display, vi, nullptr, GL_TRUE);
    if (!GLWin.context)
        endWithError("Cannot create a GL rendering context");

    GLWin.attributes.colormap =
        XCreateColormap(GLWin.display, RootWindow(GLWin.display, vi->screen), vi->visual, AllocNone);
    GLWin.attributes.border_pixel = 0;
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

void killGLWindow()
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
    if (GLWin.fullscreen)
        restoreDesktopMode();
    memset(&GLWin.desktopMode, 0, sizeof GLWin.desktopMode);
    XCloseDisplay(GLWin.display);
    GLWin.display = nullptr;
}
