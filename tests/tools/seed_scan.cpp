// For each clock second in a range, the sizes of the first two universes the
// program would seed from it (the first at start-up, the second after the
// view-mode key), as "seconds stars_first stars_second" lines.
#include <cstdio>
#include <cstdlib>

#include "render/view.h"
#include "sim/universe.h"

namespace {

int total_stars()
{
    int n = 0;
    for (int i = 0; i < universes->ngalaxies; i++)
        n += universes->galaxies[i].nstars;
    return n;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s FIRST_SECOND COUNT\n", argv[0]);
        return 2;
    }
    long first = atol(argv[1]), count = atol(argv[2]);
    for (long t = first; t < first + count; t++) {
        srand(static_cast<unsigned>(t));
        init_galaxy();
        int stars_first = total_stars();
        startover();
        printf("%ld %d %d\n", t, stars_first, total_stars());
    }
    release_galaxy();
    return 0;
}
