// The view settings that the simulation draws through, their presets, and
// the star sprite.
#ifndef STARMILL_RENDER_VIEW_H
#define STARMILL_RENDER_VIEW_H

#include <GL/gl.h>

extern int rendermode;   // 0 flat projection, 1 perspective
extern float zoom;       // translation of every star along the view axis
extern float tw;         // half the edge of the star sprite quad
extern GLuint starlist;  // display list of the star sprite; 0 when none

// Sets zoom and star size to the preset of view mode `mode`; any mode other
// than 0 and 1 leaves them unchanged.
void init_vars(int mode);

// Compiles the sprite quad of half-size tw into the existing list starlist.
void buildStarList();

#endif
