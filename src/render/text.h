// Overlay text, drawn through the 96 display lists of the overlay font.
#ifndef STARMILL_RENDER_TEXT_H
#define STARMILL_RENDER_TEXT_H

#include <GL/gl.h>

extern GLuint base;  // first of the 96 font lists, characters 32 to 127; 0 when none

// printf-style text at the current raster position, in the overlay font.
// Text beyond 255 characters is cut off; characters without a glyph (outside
// 32 to 127) are left out. A null format prints a complaint and draws nothing.
void printGLf(const char *format, ...) __attribute__((format(printf, 1, 2)));

#endif
