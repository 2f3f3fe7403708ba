// Shared set-up for the simulation tests: every test starts without a
// universe, in view mode 1, and leaves none behind.
#ifndef STARMILL_TESTS_SIM_FIXTURE_H
#define STARMILL_TESTS_SIM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "gl_recorder.h"
#include "render/view.h"
#include "scripted_rand.h"
#include "sim/universe.h"

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        release_galaxy();
        rendermode = 1;
        zoom = -6.0f;
        starlist = 7;
        scripted_rand::clear_script();
        scripted_rand::reset_count();
        gl_recorder::reset();
    }
    void TearDown() override
    {
        release_galaxy();
        scripted_rand::clear_script();
    }
};

struct CoreSpec {
    int mass;
    Vector pos;
    Vector vel;
    std::vector<Star> stars;
};

// A hand-made universe, allocated as the seeding would, so that the
// simulation's own release frees it.
inline Universe *make_universe(const std::vector<CoreSpec> &cores, double scale = 37.5)
{
    release_galaxy();
    auto *u = static_cast<Universe *>(calloc(1, sizeof(Universe)));
    u->scale = scale;
    u->lifetime = 200;
    u->ngalaxies = static_cast<int>(cores.size());
    u->galaxies = static_cast<Galaxy *>(calloc(cores.size(), sizeof(Galaxy)));
    for (size_t i = 0; i < cores.size(); i++) {
        Galaxy &g = u->galaxies[i];
        g.mass = cores[i].mass;
        g.pos = cores[i].pos;
        g.vel = cores[i].vel;
        g.red = 10 + int(i);
        g.green = 20 + int(i);
        g.blue = 30 + int(i);
        g.nstars = static_cast<int>(cores[i].stars.size());
        g.stars = static_cast<Star *>(malloc(sizeof(Star) * (g.nstars ? g.nstars : 1)));
        for (int s = 0; s < g.nstars; s++)
            g.stars[s] = cores[i].stars[s];
    }
    universes = u;
    return u;
}

#endif
