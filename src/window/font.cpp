// The overlay font: X bitmap glyphs turned into GL display lists.
#include "window/font.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include "render/text.h"
#include "window/glwin.h"

int buildFont()
{
    base = glGenLists(96);
    XFontStruct *font = XLoadQueryFont(GLWin.display, "-*-helvetica-bold-r-normal--10-*-*-*-p-*-iso8859-1");
    if (!font)
        font = XLoadQueryFont(GLWin.display, "fixed");
    if (!font)
        return 0;
    glXUseXFont(font->fid, 32, 96, base);
    XFreeFont(GLWin.display, font);
    return 1;
}

void deleteFont()
{
    if (base)
        glDeleteLists(base, 96);
    base = 0;
}
