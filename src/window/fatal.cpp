// Ending on a fatal condition.
#include "window/fatal.h"

#include <cstdio>
#include <cstdlib>

#include "sim/universe.h"
#include "window/glx_window.h"

void endWithError(const char *message)
{
    printf("%s\n", message);
    release_galaxy();
    killGLWindow();
    exit(1);
}
