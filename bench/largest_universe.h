// The largest universe the seeding can make: 4 galaxies of 1499 stars.
#ifndef STARMILL_BENCH_LARGEST_UNIVERSE_H
#define STARMILL_BENCH_LARGEST_UNIVERSE_H

#include <cstdlib>

#include "sim/universe.h"

const int kLargestGalaxies = 4;
const int kLargestStars = 1499;

// Seeds until four galaxies come up, then gives each the largest star count
// by repeating its own stars.
inline void make_largest_universe()
{
    unsigned seed = 1;
    do {
        srand(seed++);
        init_galaxy();
    } while (universes->ngalaxies != kLargestGalaxies);
    for (int i = 0; i < kLargestGalaxies; i++) {
        Galaxy &g = universes->galaxies[i];
        Star *stars = static_cast<Star *>(malloc(sizeof(Star) * kLargestStars));
        for (int s = 0; s < kLargestStars; s++)
            stars[s] = g.stars[s % g.nstars];
        free(g.stars);
        g.stars = stars;
        g.nstars = kLargestStars;
    }
}

#endif
