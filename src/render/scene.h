// The scene set-up that every new GL context gets, and the operations it
// is made of that others call again: fonts and the projection.
#ifndef STARMILL_RENDER_SCENE_H
#define STARMILL_RENDER_SCENE_H

// Textures, view preset, random seed, sprite list, fixed GL state, a freshly
// seeded universe, the font lists and the projection, in that order. Returns
// 0, having done nothing else, when neither texture could be loaded.
int initGL();

// Viewport and a 45-degree perspective for a window of this size; a height
// of 0 counts as 1.
void resizeGLScene(unsigned int width, unsigned int height);

// The 96 display lists that draw characters 32 to 127 of the overlay font.
// Ends the process with status 1 when no font can be loaded.
void buildFont();
void deleteFont();

#endif
