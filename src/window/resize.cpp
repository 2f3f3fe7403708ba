// Following the window's size.
#include "window/resize.h"

#include <cstdio>

#include "window/glwin.h"
#include "window/projection.h"

void resizeEvent(const XConfigureEvent &event)
{
    unsigned int width = event.width, height = event.height;
    if (width == GLWin.width && height == GLWin.height)
        return;
    GLWin.width = width;
    GLWin.height = height;
    printf("Resize event\n");
    resizeGLScene(width, height);
}
