// The GLX window: brought up full-screen (with a video-mode switch) or
// windowed, with the scene set up in its context, and taken down again.
#ifndef STARMILL_WINDOW_GLX_WINDOW_H
#define STARMILL_WINDOW_GLX_WINDOW_H

extern int attrListSgl[];
extern int attrListDbl[];

// Opens the display and the window, makes its GL context current and runs
// the scene set-up in it. Ends the program (endWithError) when the display,
// a visual, a context or a font can't be had.
int createGLWindow(const char *title, int width, int height, int fullscreen);

// Undoes createGLWindow in reverse: the scene's GL objects while the context
// is current, the context, the window and its colormap, the desktop video
// mode after full-screen, the display connection. Every handle is nulled, so
// a second call does nothing.
void killGLWindow();

#endif
