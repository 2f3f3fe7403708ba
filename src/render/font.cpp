// The overlay font: X bitmap glyphs turned into GL display lists.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "render/scene.h"
#include "render/view.h"
#include "window/glwindow.h"

void buildFont()
{
    base = glGenLists(96);
    XFontStruct *font = XLoadQueryFont(GLWin.display, "-*-helvetica-bold-r-normal--10-*-*-*-p-*-iso8859-1");
    if (!font)
        font = XLoadQueryFont(GLWin.display, "fixed");
    if (!font) {
        printf("Problems loading fonts :-(\n");
        // Give the desktop its video mode back before leaving.
        killGLWindow();
        exit(1);
    }
    glXUseXFont(font->fid, 32, 96, base);
    XFreeFont(GLWin.display, font);
}

void deleteFont() { glDeleteLists(base, 96); }
