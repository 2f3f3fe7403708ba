// What the user controls: the flag that ends the main loop, and the key
// commands.
#ifndef STARMILL_WINDOW_KEYS_H
#define STARMILL_WINDOW_KEYS_H

#include <X11/Xlib.h>

extern int done;  // 1 ends the main loop after the current pass

// f overlay, m view mode, Up/Down star size, Page Up/Down zoom, F1 full-screen
// toggle, Escape quit; every other key is ignored.
void keyPressed(KeySym key);

#endif
