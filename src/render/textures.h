// The scene's two textures: the star sprite and the white image bound while
// the overlay text is drawn.
#ifndef STARMILL_RENDER_TEXTURES_H
#define STARMILL_RENDER_TEXTURES_H

#include <GL/gl.h>

extern GLuint texture[2];  // star sprite image, white image for the overlay text; 0 when not made

// Makes texture[0] from "Data/Star.bmp" and texture[1] from "Data/white.bmp"
// in the current context; returns 1 when at least one of them loaded.
int LoadGLTextures();

// Deletes both textures from the current context (names of 0 are skipped).
void deleteTextures();

#endif
