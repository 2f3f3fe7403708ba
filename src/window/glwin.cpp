// The window record on its own, so that code which only reads it needs
// nothing of X to link.
#include "window/glwindow.h"

GLWindow GLWin;
