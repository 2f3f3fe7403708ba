// One complete frame, and the frames-per-second overlay drawn into it.
#ifndef STARMILL_WINDOW_FRAME_H
#define STARMILL_WINDOW_FRAME_H

extern int fpstoggle;  // overlay on when non-zero
extern int frame;      // frames counted since the last figure
extern int timebase;   // GLUT milliseconds when the last figure was made
extern int ourtime;    // GLUT milliseconds of the current frame

// Clears, advances the simulation one step drawing every star, adds the
// overlay when it is on, and shows the result. Always returns 1.
int drawGLScene();

#endif
