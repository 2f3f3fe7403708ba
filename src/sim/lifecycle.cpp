// Creation, re-initialisation and release of the universe record.
#include "sim/universe.h"

#include <cstdlib>

#include "render/view.h"

Universe *universes = nullptr;

void free_galaxies(Universe *u)
{
    if (!u->galaxies)
        return;
    for (int i = 0; i < u->ngalaxies; i++)
        free(u->galaxies[i].stars);
    free(u->galaxies);
    u->galaxies = nullptr;
    u->ngalaxies = 0;
}

void init_galaxy()
{
    if (!universes) {
        // Zero-filled, so that a view mode other than 0 or 1 leaves a
        // defined scale.
        universes = static_cast<Universe *>(calloc(1, sizeof(Universe)));
        if (!universes)
            return;
    }
    universes->lifetime = 200;
    if (rendermode == 0)
        universes->scale = 12.5;
    else if (rendermode == 1)
        universes->scale = 37.5;
    startover();
}

void release_galaxy()
{
    if (!universes)
        return;
    free_galaxies(universes);
    free(universes);
    universes = nullptr;
}
