// The frame: clear, one simulation step with every star, the FPS overlay,
// the buffer swap.
#include "window/frame.h"

#include <GL/gl.h>
#include <GL/glut.h>
#include <GL/glx.h>

#include <cstdio>

#include "render/text.h"
#include "render/textures.h"
#include "sim/universe.h"
#include "window/glwin.h"

int fpstoggle = 0;
int frame = 0;
int timebase = 0;
int ourtime = 0;

namespace {

// Empty until the first second has been measured: the overlay then shows
// only its label.
char fps_text[80] = "";

// Without a universe (no texture loaded, or no memory for it) the frame
// shows only the background; the user is told once.
void draw_universe()
{
    static int told = 0;
    if (!universes && !told) {
        printf("No universe to show: drawing the background only\n");
        told = 1;
    }
    draw_galaxy();
}

void draw_overlay()
{
    frame = frame + 1;
    ourtime = glutGet(GLUT_ELAPSED_TIME);
    // Without glutInit the clock is the wall clock's milliseconds cut to an
    // int: negative on about half of all days, and it wraps. The unsigned
    // difference is right across the wrap.
    unsigned elapsed = static_cast<unsigned>(ourtime) - static_cast<unsigned>(timebase);
    if (elapsed > 1000) {
        snprintf(fps_text, sizeof fps_text, "avgFPS=%4.2f", frame * 1000.0 / elapsed);
        timebase = ourtime;
        frame = 0;
    }
    glBindTexture(GL_TEXTURE_2D, texture[1]);
    glColor4f(0.5f, 0.0f, 0.0f, 0.5f);
    glLoadIdentity();
    glTranslatef(-5.5f, 4.0f, -10.0f);
    glRasterPos2f(0.0f, 0.0f);
    printGLf("Starmill: %s", fps_text);
}

}  // namespace

int drawGLScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, texture[0]);
    draw_universe();
    if (fpstoggle)
        draw_overlay();
    if (GLWin.doubleBuffered)
        glXSwapBuffers(GLWin.display, GLWin.window);
    return 1;
}
