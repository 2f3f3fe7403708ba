/* Preloaded into the real program by the frame-rate script: records the
 * monotonic time of every buffer swap and writes them, one per line in
 * seconds, to the file named by STARMILL_SWAP_LOG when the program ends. */
#define _GNU_SOURCE
#include <GL/glx.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { kMaxFrames = 1 << 20 };
static double stamps[kMaxFrames];
static long frames;

void glXSwapBuffers(Display *display, GLXDrawable drawable)
{
    static void (*real)(Display *, GLXDrawable);
    if (!real)
        real = (void (*)(Display *, GLXDrawable))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (frames < kMaxFrames)
        stamps[frames++] = now.tv_sec + now.tv_nsec * 1e-9;
}

__attribute__((destructor)) static void write_log(void)
{
    const char *path = getenv("STARMILL_SWAP_LOG");
    FILE *f = path ? fopen(path, "w") : NULL;
    if (!f)
        return;
    for (long i = 0; i < frames; i++)
        fprintf(f, "%.6f\n", stamps[i]);
    fclose(f);
}
