// What desktops know the window by.
#ifndef STARMILL_WINDOW_IDENTITY_H
#define STARMILL_WINDOW_IDENTITY_H

#include <X11/Xlib.h>

// The window's class as WM_CLASS gives it; desktop entries name it as their
// StartupWMClass.
const char *const kWindowInstance = "starmill";
const char *const kWindowClass = "Starmill";

// Sets the class, the process and the host the window belongs to and, when
// it is managed, the program's icon: taskbars, docks and Alt-Tab match it
// to the desktop entry and show the icon, force-quit dialogs find the
// process.
void setWindowIdentity(Display *display, Window window, int managed);

#endif
