// The GLX window: brought up full-screen (with a video-mode switch) or
// windowed, with the scene set up in its context, and taken down again.
#ifndef STARMILL_WINDOW_GLX_WINDOW_H
#define STARMILL_WINDOW_GLX_WINDOW_H

extern int attrListSgl[];
extern int attrListDbl[];

// Opens the display unless it is open, makes the window and its GL context
// current and runs the scene set-up in it. Ends the program (endWithError)
// when the display, a visual, a context, a font or the full-screen window's
// input grabs can't be had.
int createGLWindow(const char *title, int width, int height, int fullscreen);

// Undoes createGLWindow in reverse but keeps the connection, for a window
// made anew: the scene's GL objects while the context is current, the
// context, the window and its colormap, the desktop video mode after
// full-screen. Every handle is nulled, so a second call does nothing.
void destroyGLWindow();

// destroyGLWindow, then the display connection is closed.
void killGLWindow();

// Keyboard and pointer to the full-screen window, which loses them whenever
// it is unmapped; ends the program when another program keeps them.
void holdInput();

#endif
