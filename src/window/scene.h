// The scene set-up that every new GL context gets, and its undoing.
#ifndef STARMILL_WINDOW_SCENE_H
#define STARMILL_WINDOW_SCENE_H

// Textures, view preset, random seed, sprite list, fixed GL state, a freshly
// seeded universe, the font lists and the projection, in that order.
// Returns 1 when all is set up; 0, having done nothing else, when neither
// texture could be loaded (the show goes on with a black background); and
// -1 when no font can be loaded, which the caller treats as fatal.
int initGL();

// Deletes the font lists, the sprite list and the textures from the current
// context.
void deleteScene();

#endif
