// The one way the program ends on a condition it cannot run with.
#ifndef STARMILL_WINDOW_FATAL_H
#define STARMILL_WINDOW_FATAL_H

// Prints `message` as one line on standard output, tears the window down
// (giving the desktop its video mode back) and exits with status 1.
[[noreturn]] void endWithError(const char *message);

#endif
