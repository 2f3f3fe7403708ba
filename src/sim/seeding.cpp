// Seeding: two to four galaxies, each a core with a thin tilted disk of
// stars on circular orbits, aimed to meet near the origin after lifetime steps.
#include <cmath>
#include <cstdlib>

#include "sim/random_draw.h"
#include "sim/units.h"
#include "sim/universe.h"

namespace {

// Not full-precision 2 pi: the seeding is defined with this constant.
const double kTurn = 6.283185307;

// Sines and cosines enter the seeding rounded to single precision.
double sin_f(double a) { return static_cast<float>(std::sin(a)); }
double cos_f(double a) { return static_cast<float>(std::cos(a)); }

void set_disk_basis(Universe *u)
{
    double alpha = uniform_draw() * kTurn;
    double beta = uniform_draw() * kTurn;
    double sa = sin_f(alpha), sb = sin_f(beta);
    double ca = cos_f(alpha), cb = cos_f(beta);
    u->diskU = {cb, -sa * sb, ca * sb};
    u->diskV = {0.0, ca, sa};
    u->diskNormal = {-sb, -sa * cb, ca * cb};
}

void seed_core(const Universe *u, Galaxy *g)
{
    double vx = uniform_draw(), vy = uniform_draw(), vz = uniform_draw();
    g->vel = {2.0 * vx - 1.0, 2.0 * vy - 1.0, 2.0 * vz - 1.0};
    double ux = uniform_draw(), uy = uniform_draw(), uz = uniform_draw();
    // Moving in a straight line, the core stands at (u - 0.5) after lifetime steps.
    g->pos = {((-g->vel.x * kTimeStep) * u->lifetime + ux) - 0.5,
              ((-g->vel.y * kTimeStep) * u->lifetime + uy) - 0.5,
              ((-g->vel.z * kTimeStep) * u->lifetime + uz) - 0.5};
    g->mass = static_cast<int>(uniform_draw() * 1000.0) + 1;
}

void seed_star(const Universe *u, const Galaxy *g, Star *s)
{
    const Vector &du = u->diskU, &dv = u->diskV, &dn = u->diskNormal;
    double theta = uniform_draw() * kTurn;
    double ct = cos_f(theta), st = sin_f(theta);
    double r = uniform_draw() * u->radius;
    double h = std::exp((r / u->radius) * -2.0) * uniform_draw() / 5.0 * u->radius;
    if (uniform_draw() < 0.5)
        h = -h;

    s->pos = {g->pos.x + r * ct * du.x + r * st * dv.x + h * dn.x,
              g->pos.y + r * ct * du.y + r * st * dv.y + h * dn.y,
              g->pos.z + r * ct * du.z + r * st * dv.z + h * dn.z};

    // Circular orbit about the own core; a star drawn exactly onto its core
    // has no orbit and rests there.
    double distance = std::sqrt(r * r + h * h);
    double v = distance > 0.0 ? std::sqrt((g->mass * kGravity) / distance) : 0.0;
    s->vel = {(v * ct * dv.x - v * st * du.x + g->vel.x) * kTimeStep,
              (v * ct * dv.y - v * st * du.y + g->vel.y) * kTimeStep,
              (v * ct * dv.z - v * st * du.z + g->vel.z) * kTimeStep};
}

// Seeds galaxy g; returns 0 when its star array cannot be allocated.
int seed_galaxy(Universe *u, Galaxy *g)
{
    g->red = integer_draw(254);
    g->blue = integer_draw(254);
    g->green = integer_draw(254);
    g->nstars = integer_draw(750) + 750;
    g->stars = static_cast<Star *>(malloc(sizeof(Star) * g->nstars));
    if (!g->stars)
        return 0;
    set_disk_basis(u);
    seed_core(u, g);
    u->radius = uniform_draw() * 0.1 + 0.15;
    for (int i = 0; i < g->nstars; i++)
        seed_star(u, g, &g->stars[i]);
    return 1;
}

}  // namespace

void startover()
{
    Universe *u = universes;
    free_galaxies(u);
    u->steps = 0;
    u->yaw = 0.0;
    u->pitch = 0.0;
    int count = integer_draw(5);
    if (count == 0 || count == 1)
        count = 2;
    u->galaxies = static_cast<Galaxy *>(calloc(count, sizeof(Galaxy)));
    if (!u->galaxies)
        return;
    u->ngalaxies = count;
    for (int i = 0; i < count; i++) {
        if (!seed_galaxy(u, &u->galaxies[i])) {
            // Hold nothing half-built: the step then only counts its way to
            // the next seeding.
            free_galaxies(u);
            return;
        }
    }
}
