// The viewport and projection for a window size.
#include "window/projection.h"

#include <GL/gl.h>
#include <GL/glu.h>

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
