// Scene set-up in a new GL context, and its undoing.
#include "window/scene.h"

#include <GL/gl.h>

#include <cstdlib>
#include <ctime>

#include "render/textures.h"
#include "render/view.h"
#include "sim/universe.h"
#include "window/font.h"
#include "window/glwin.h"
#include "window/projection.h"

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
    if (!buildFont())
        return -1;
    resizeGLScene(GLWin.width, GLWin.height);
    glFlush();
    return 1;
}

void deleteScene()
{
    deleteFont();
    if (starlist)
        glDeleteLists(starlist, 1);
    starlist = 0;
    deleteTextures();
}
