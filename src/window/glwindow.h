// The one drawing surface: its record, and the operations that bring it up
// (full-screen with a video-mode switch, or windowed) and take it down.
#ifndef STARMILL_WINDOW_GLWINDOW_H
#define STARMILL_WINDOW_GLWINDOW_H

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

struct GLWindow {
    Display *display;
    int screen;
    Window window;
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

extern int attrListSgl[];
extern int attrListDbl[];

// Opens the display and the window, makes its GL context current and runs
// the scene set-up in it. Ends the process with status 1, after one line on
// standard output, when the display, a visual or a context can't be had.
int createGLWindow(const char *title, int width, int height, int fullscreen);

// Releases the context, restores the desktop video mode after full-screen,
// and closes the display connection (which frees the window and the grabs).
void killGLWindow();

#endif
