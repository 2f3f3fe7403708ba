// The viewport and projection for a window size.
#ifndef STARMILL_WINDOW_PROJECTION_H
#define STARMILL_WINDOW_PROJECTION_H

// Viewport and a 45-degree perspective for a window of this size; a height
// of 0 counts as 1.
void resizeGLScene(unsigned int width, unsigned int height);

#endif
