// X errors that must not end the program with the desktop's video mode
// switched: requests the server may refuse, and a lost connection.
#ifndef STARMILL_DESKTOP_X_ERRORS_H
#define STARMILL_DESKTOP_X_ERRORS_H

#include <X11/Xlib.h>

// Between these two calls an X error on `display` is recorded instead of
// ending the program; untrapXErrors waits for the server's answers, puts
// the previous handler back and returns the error code (0 for none).
void trapXErrors(Display *display);
int untrapXErrors(Display *display);

// From now on a broken connection (the server killed this client, or went
// away) says so in one line, gives the desktop its video mode back through
// a fresh connection when the server is still there, and exits with status 1.
void handleLostConnection();

#endif
