// Seeding of the universe: the generator's draws, the ranges they map to,
// the orbits and courses they give, and the life cycle of the records.
#include <cmath>
#include <cstring>

#include "sim_fixture.h"

namespace {

const int kMaxDraw = 0x7fffffff;
const int kHalfDraw = 0x40000000;  // a uniform draw of exactly 0.5

Vector sub(const Vector &a, const Vector &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vector &a, const Vector &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(const Vector &a) { return std::sqrt(dot(a, a)); }
Vector scaled(const Vector &a, double k) { return {a.x * k, a.y * k, a.z * k}; }
Vector cross(const Vector &a, const Vector &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

long expected_draws(const Universe *u)
{
    long n = 1;
    for (int i = 0; i < u->ngalaxies; i++)
        n += 14 + 4L * u->galaxies[i].nstars;
    return n;
}

// Flattens everything a seeding produces, pointers left out.
std::vector<double> fingerprint(const Universe *u)
{
    std::vector<double> out = {double(u->ngalaxies), u->radius, u->diskU.x, u->diskV.y, u->diskNormal.z};
    for (int i = 0; i < u->ngalaxies; i++) {
        const Galaxy &g = u->galaxies[i];
        out.insert(out.end(), {double(g.mass), double(g.nstars), g.pos.x, g.pos.y, g.pos.z, g.vel.x,
                               g.vel.y, g.vel.z, double(g.red), double(g.blue), double(g.green)});
        for (int s = 0; s < g.nstars; s++) {
            const Star &st = g.stars[s];
            out.insert(out.end(), {st.pos.x, st.pos.y, st.pos.z, st.vel.x, st.vel.y, st.vel.z});
        }
    }
    return out;
}

// Draws for a seeding of two galaxies whose first disk lies in the x-y plane
// at rest at the origin; `first_star` gives the first star's four draws.
std::vector<int> flat_two_galaxy_script(int mass_draw, std::vector<int> first_star)
{
    std::vector<int> s = {2, 0, 0, 0, 0, /*alpha, beta*/ 0, 0,
                          kHalfDraw, kHalfDraw, kHalfDraw, kHalfDraw, kHalfDraw, kHalfDraw,
                          mass_draw, /*radius*/ kHalfDraw};
    s.insert(s.end(), first_star.begin(), first_star.end());
    return s;
}

}  // namespace

using SeedingTest = SimTest;

TEST_F(SeedingTest, SameGeneratorStateGivesTheSameUniverseWithTheDocumentedNumberOfDraws)
{
    for (unsigned seed : {1u, 42u, 1765000000u}) {
        srand(seed);
        scripted_rand::reset_count();
        init_galaxy();
        ASSERT_NE(universes, nullptr);
        EXPECT_EQ(scripted_rand::calls(), expected_draws(universes));
        std::vector<double> first = fingerprint(universes);

        srand(seed);
        init_galaxy();
        EXPECT_EQ(fingerprint(universes), first) << "seed " << seed;
    }
}

TEST_F(SeedingTest, GalaxyCountMapsRemaindersZeroToTwoOntoTwoGalaxies)
{
    const int remainders[] = {0, 1, 2, 3, 4, 5 + 3, kMaxDraw};  // kMaxDraw % 5 == 2
    const int galaxies[] = {2, 2, 2, 3, 4, 3, 2};
    for (size_t i = 0; i < sizeof remainders / sizeof *remainders; i++) {
        srand(7);
        scripted_rand::script({remainders[i]});
        init_galaxy();
        EXPECT_EQ(universes->ngalaxies, galaxies[i]) << "draw " << remainders[i];
    }
}

TEST_F(SeedingTest, ExtremeDrawsStayInsideTheirRanges)
{
    srand(3);
    // Largest draws everywhere: colours 253 (kMaxDraw % 254), 1499 stars
    // (749 + 750), mass 1000.
    scripted_rand::script({4, 253, 253 + 254, kMaxDraw, 749, 0, 0, 0, 0, 0, 0, 0, 0, kMaxDraw, kMaxDraw});
    init_galaxy();
    const Galaxy &g = universes->galaxies[0];
    EXPECT_EQ(universes->ngalaxies, 4);
    EXPECT_EQ(g.red, 253);
    EXPECT_EQ(g.blue, 253);
    EXPECT_EQ(g.green, kMaxDraw % 254);
    EXPECT_EQ(g.nstars, 1499);
    EXPECT_EQ(g.mass, 1000);

    scripted_rand::script({2, 254, 0, 0, 750, 0, 0, 0, 0, 0, 0, 0, 0, /*mass*/ 0});
    init_galaxy();
    EXPECT_EQ(universes->galaxies[0].red, 0);
    EXPECT_EQ(universes->galaxies[0].nstars, 750);
    EXPECT_EQ(universes->galaxies[0].mass, 1);
}

TEST_F(SeedingTest, RandomUniversesRespectEveryRange)
{
    for (unsigned seed = 100; seed < 140; seed++) {
        srand(seed);
        init_galaxy();
        const Universe *u = universes;
        ASSERT_GE(u->ngalaxies, 2);
        ASSERT_LE(u->ngalaxies, 4);
        EXPECT_GE(u->radius, 0.15);
        EXPECT_LT(u->radius, 0.25);
        for (int i = 0; i < u->ngalaxies; i++) {
            const Galaxy &g = u->galaxies[i];
            ASSERT_NE(g.stars, nullptr);
            EXPECT_TRUE(g.nstars >= 750 && g.nstars <= 1499);
            EXPECT_TRUE(g.mass >= 1 && g.mass <= 1000);
            for (int c : {g.red, g.green, g.blue})
                EXPECT_TRUE(c >= 0 && c <= 253);
            for (double v : {g.vel.x, g.vel.y, g.vel.z})
                EXPECT_TRUE(v >= -1.0 && v < 1.0);
            // Moving straight on, every core reaches the central unit cube.
            Vector meet = {g.pos.x + 0.005 * u->lifetime * g.vel.x, g.pos.y + 0.005 * u->lifetime * g.vel.y,
                           g.pos.z + 0.005 * u->lifetime * g.vel.z};
            for (double c : {meet.x, meet.y, meet.z}) {
                EXPECT_GE(c, -0.5 - 1e-12);
                EXPECT_LT(c, 0.5 + 1e-12);
            }
        }
    }
}

TEST_F(SeedingTest, StarsStartOnCircularOrbitsInATiltedDisk)
{
    for (unsigned seed = 200; seed < 210; seed++) {
        srand(seed);
        init_galaxy();
        const Universe *u = universes;
        const Vector &n = u->diskNormal;
        // The working fields hold the disk of the galaxy seeded last.
        Vector uv = cross(u->diskU, u->diskV);
        EXPECT_NEAR(length(sub(uv, n)), 0.0, 1e-6);
        EXPECT_NEAR(dot(u->diskU, u->diskV), 0.0, 1e-6);
        EXPECT_NEAR(length(u->diskU), 1.0, 1e-6);

        for (int i = 0; i < u->ngalaxies; i++) {
            const Galaxy &g = u->galaxies[i];
            bool last = i == u->ngalaxies - 1;
            for (int s = 0; s < g.nstars; s++) {
                Vector offset = sub(g.stars[s].pos, g.pos);
                Vector orbital = sub(scaled(g.stars[s].vel, 1 / 0.005), g.vel);
                double distance = length(offset);
                double speed = std::sqrt(g.mass * 0.001 / distance);
                // The basis comes from single-precision sines: orthonormal to about 1e-7.
                ASSERT_NEAR(length(orbital), speed, 1e-6 * speed);
                ASSERT_NEAR(dot(orbital, offset), 0.0, 1e-6 * speed * distance);
                if (!last)
                    continue;
                double h = dot(offset, n);
                double r = length(sub(offset, scaled(n, h)));
                ASSERT_LT(r, u->radius);
                ASSERT_LE(std::fabs(h), u->radius * std::exp(-2.0 * r / u->radius) / 5.0 + 1e-12);
                ASSERT_NEAR(dot(orbital, n), 0.0, 1e-6 * speed);
            }
        }
    }
}

TEST_F(SeedingTest, SideDrawOfExactlyOneHalfKeepsTheStarAboveItsDisk)
{
    srand(5);
    scripted_rand::script(flat_two_galaxy_script(kHalfDraw, {0, kHalfDraw, kHalfDraw, kHalfDraw}));
    init_galaxy();
    EXPECT_GT(universes->galaxies[0].stars[0].pos.z, 0.0);

    scripted_rand::script(flat_two_galaxy_script(kHalfDraw, {0, kHalfDraw, kHalfDraw, kHalfDraw - 1}));
    init_galaxy();
    EXPECT_LT(universes->galaxies[0].stars[0].pos.z, 0.0);
}

TEST_F(SeedingTest, StarDrawnOntoItsCoreRestsThereInsteadOfDividingByZero)
{
    srand(5);
    scripted_rand::script(flat_two_galaxy_script(kHalfDraw, {0, 0, 0, kHalfDraw}));
    init_galaxy();
    const Galaxy &g = universes->galaxies[0];
    const Star &s = g.stars[0];
    EXPECT_EQ(s.pos.x, g.pos.x);
    EXPECT_EQ(s.pos.z, g.pos.z);
    EXPECT_EQ(s.vel.x, g.vel.x * 0.005);
    EXPECT_EQ(s.vel.y, g.vel.y * 0.005);
    EXPECT_TRUE(std::isfinite(g.stars[1].vel.x));
}

TEST_F(SeedingTest, ReseedingRestartsTheCountersAndKeepsTheRecord)
{
    srand(11);
    init_galaxy();
    Universe *record = universes;
    record->steps = 555;
    record->yaw = 3.0;
    record->pitch = 2.0;
    record->lifetime = 17;
    rendermode = 0;
    init_galaxy();
    EXPECT_EQ(universes, record);
    EXPECT_EQ(record->lifetime, 200);
    EXPECT_EQ(record->steps, 0);
    EXPECT_EQ(record->yaw, 0.0);
    EXPECT_EQ(record->pitch, 0.0);
    EXPECT_EQ(record->scale, 12.5);

    rendermode = 1;
    init_galaxy();
    EXPECT_EQ(record->scale, 37.5);
    rendermode = 5;  // no such view mode: the scale stays
    init_galaxy();
    EXPECT_EQ(record->scale, 37.5);

    free_galaxies(record);
    record->steps = 9;
    startover();
    EXPECT_EQ(record->steps, 0);
    EXPECT_NE(record->galaxies, nullptr);
}

TEST_F(SeedingTest, ReleaseFreesEverythingAndIsHarmlessTwice)
{
    srand(1);
    init_galaxy();
    release_galaxy();
    EXPECT_EQ(universes, nullptr);
    release_galaxy();
    EXPECT_EQ(universes, nullptr);

    // A universe without galaxies frees only its record.
    make_universe({});
    free_galaxies(universes);
    release_galaxy();
    EXPECT_EQ(universes, nullptr);
}
