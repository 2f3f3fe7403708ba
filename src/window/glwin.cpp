// The window record.
#include "window/glwin.h"

GLWindow GLWin;
