// The keyboard commands.
#include <X11/keysym.h>

#include <cstdio>

#include "window/keys.h"

#include "render/view.h"
#include "sim/universe.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/glx_window.h"
#include "window/titles.h"

int done = 0;

namespace {

// Next view mode with its preset, and a new universe.
void next_view_mode()
{
    rendermode += 1;
    if (rendermode != 0 && rendermode != 1)
        rendermode = 0;
    init_vars(rendermode);
    if (universes) {
        // A step count past the end of the run: the next frame's step
        // reseeds, so the new view starts with a fresh universe.
        universes->steps = 4 * universes->lifetime + 1;
        // The key's scale is 37.5 in either mode, deliberately: the flat
        // view after m is three times the size a new window gives it (12.5).
        universes->scale = 37.5;
    }
    buildStarList();
}

void change_star_size(float by)
{
    tw += by;
    buildStarList();
    printf("StarSize= %f\n", tw);
}

void change_zoom(float by)
{
    zoom += by;
    printf("Zoom= %f\n", zoom);
}

// The window is made anew in the other mode on the same connection;
// destroying it first restores the desktop video mode while fullscreen still
// describes the old window.
void toggle_fullscreen()
{
    destroyGLWindow();
    GLWin.fullscreen = !GLWin.fullscreen;
    createGLWindow(kToggledTitle, 648, 480, GLWin.fullscreen);
}

}  // namespace

void keyPressed(KeySym key)
{
    switch (key) {
    case XK_f:
        fpstoggle = !fpstoggle;
        break;
    case XK_m:
        next_view_mode();
        break;
    case XK_Up:
        change_star_size(0.01f);
        break;
    case XK_Down:
        change_star_size(-0.01f);
        break;
    case XK_Prior:
        change_zoom(-0.2f);
        break;
    case XK_Next:
        change_zoom(0.2f);
        break;
    case XK_F1:
        toggle_fullscreen();
        break;
    case XK_Escape:
        done = 1;
        break;
    }
}
