// The record of the one drawing surface, on its own, so that code which only
// reads it (the frame) needs nothing of X to link.
#ifndef STARMILL_WINDOW_GLWIN_H
#define STARMILL_WINDOW_GLWIN_H

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

struct GLWindow {
    Display *display;  // null when no connection is open
    int screen;
    Window window;       // 0 when there is none
    GLXContext context;  // null when there is none
    XSetWindowAttributes attributes;
    int fullscreen;
    int doubleBuffered;
    XF86VidModeModeInfo desktopMode;  // restored on tear-down; zero when modes can't be switched
    int x;
    int y;
    unsigned int width;
    unsigned int height;
    unsigned int depth;
};

extern GLWindow GLWin;

#endif
