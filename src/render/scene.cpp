// Scene set-up in a new GL context, and the projection for a window size.
#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <ctime>

#include "render/bmp.h"
#include "render/view.h"
#include "sim/universe.h"
#include "window/glwindow.h"

int initGL()
{
    if (!LoadGLTextures())
        return 0;
    init_vars(rendermode);
    srand(time(nullptr));
    starlist = glGenLists(1);
    buildStarList();

    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Additive blending, no depth test: every star adds its light whatever
    // the drawing order.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);

    init_galaxy();
    buildFont();
    resizeGLScene(GLWin.width, GLWin.height);
    glFlush();
    return 1;
}

void resizeGLScene(unsigned int width, unsigned int height)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
}
