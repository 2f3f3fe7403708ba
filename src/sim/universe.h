// The galaxy simulation: records of the one universe, its seeding, the
// per-frame gravity step and the release of everything it holds.
#ifndef STARMILL_SIM_UNIVERSE_H
#define STARMILL_SIM_UNIVERSE_H

struct Vector {
    double x, y, z;
};

struct Star {
    Vector pos;
    Vector vel;  // displacement per step: velocity already times the time step
};

struct Galaxy {
    int mass;  // 1 to 1000
    int nstars;
    Star *stars;
    Vector pos;  // core position
    Vector vel;  // core velocity per unit time
    int red;     // colour of every star, 0 to 253; blue stands before green
    int blue;
    int green;
};

struct Universe {
    // Working fields of the seeding: the disk of the galaxy being seeded.
    Vector diskU;
    Vector diskV;
    Vector diskNormal;
    double scale;  // factor of the flat projection (view mode 0)
    double radius;
    Galaxy *galaxies;  // null while none is held
    int ngalaxies;
    int lifetime;  // a universe runs 4 * lifetime + 1 steps
    int steps;
    double yaw;    // radians, about the y axis
    double pitch;  // radians, about the x axis; flat projection only
};

// The one universe; null while none exists.
extern Universe *universes;

// Ownership: the universe record, its galaxy array and every star array are
// heap blocks owned through `universes`. Only two places free them:
// startover replaces the galaxies (and their stars) with a new set, and
// release_galaxy frees everything, the record included.

// Creates the universe if none exists, sets lifetime and scale for the
// current view mode, and seeds it with startover.
void init_galaxy();

// Frees the galaxies the universe holds, if any, and seeds a new set. When
// an allocation fails the universe is left holding no galaxies.
void startover();

// Frees the galaxies and the universe; nothing to do when none exists.
void release_galaxy();

// Advances the universe one step, draws every star and, at the end of its
// span, seeds a new set of galaxies. Does nothing without a universe.
void draw_galaxy();

// Frees every star array and the galaxy array, leaving the universe empty;
// the helper of startover and release_galaxy.
void free_galaxies(Universe *u);

#endif
