// View settings, their presets and the star sprite.
#include "render/view.h"

int rendermode = 1;
float zoom = 0.0f;
float tw = 0.0f;
GLuint starlist = 0;

void init_vars(int mode)
{
    if (mode == 0) {
        zoom = -100.0f;
        tw = 0.35f;
    } else if (mode == 1) {
        zoom = -6.0f;
        tw = 0.03f;
    }
}

void buildStarList()
{
    glNewList(starlist, GL_COMPILE);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(tw, tw, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-tw, tw, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(tw, -tw, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-tw, -tw, 0.0f);
    glEnd();
    glEndList();
}
