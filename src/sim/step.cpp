// The gravity step: every star feels every core, the cores attract each
// other pairwise, and every star is drawn right after it moves.
#include <GL/gl.h>

#include <cmath>

#include "render/view.h"
#include "sim/units.h"
#include "sim/universe.h"

namespace {

// At or below this squared distance the pull takes its near form.
const double kNearSquared = 1e-8;
// The degree conversion divides by this ten-decimal pi.
const double kPi = 3.1415926535;

double rounded_to_float(double a) { return static_cast<float>(a); }

struct FlatView {
    double c1, s1, c2, s2;
};

double squared(const Vector &d) { return d.x * d.x + d.y * d.y + d.z * d.z; }

Vector separation(const Vector &to, const Vector &from)
{
    return {to.x - from.x, to.y - from.y, to.z - from.z};
}

// Every core pulls the star, scaled by the mass of the star's own galaxy.
void pull_star(const Universe *u, int mass, Star *s)
{
    Vector v = s->vel;
    for (int k = 0; k < u->ngalaxies; k++) {
        Vector d = separation(u->galaxies[k].pos, s->pos);
        double r2 = squared(d);
        double f;
        if (r2 > kNearSquared) {
            double r = std::sqrt(r2);
            f = mass / (r2 * r) * kTimeStep * kTimeStep * kGravity;
        } else {
            f = mass * 4e19;
        }
        v.x = v.x + d.x * f;
        v.y = v.y + d.y * f;
        v.z = v.z + d.z * f;
    }
    s->vel = v;
    s->pos.x += s->vel.x;
    s->pos.y += s->vel.y;
    s->pos.z += s->vel.z;
}

void place_star(const Universe *u, const FlatView &view, const Vector &p)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, zoom);
    if (rendermode == 0) {
        double x = (view.c1 * p.x - view.s1 * p.z) * u->scale;
        double y = (view.c2 * p.y - (view.s1 * p.x + view.c1 * p.z) * view.s2) * u->scale;
        glTranslatef(static_cast<float>(x), static_cast<float>(y), 0.0f);
    } else if (rendermode == 1) {
        // Turn the position with the scene, then the sprite back to face us.
        glRotatef(static_cast<float>(u->yaw * 180.0 / kPi), 0.0f, 1.0f, 0.0f);
        glTranslatef(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        glRotatef(static_cast<float>(-u->yaw * 180.0 / kPi), 0.0f, 1.0f, 0.0f);
    }
    glCallList(starlist);
}

// The pair strength is the square of the lower-indexed core's mass.
void attract_cores(Galaxy *a, Galaxy *b)
{
    Vector d = separation(b->pos, a->pos);
    double r2 = squared(d);
    double strength = static_cast<double>(a->mass * a->mass);
    double f;
    if (r2 > kNearSquared) {
        double r = std::sqrt(r2);
        f = strength / (r2 * r) * kTimeStep * kGravity;
    } else {
        f = strength / 1e-12 * kTimeStep * kGravity;
    }
    a->vel.x += d.x * f / a->mass;
    a->vel.y += d.y * f / a->mass;
    a->vel.z += d.z * f / a->mass;
    b->vel.x -= d.x * f / b->mass;
    b->vel.y -= d.y * f / b->mass;
    b->vel.z -= d.z * f / b->mass;
}

void move_core(Galaxy *g)
{
    g->pos.x += g->vel.x * kTimeStep;
    g->pos.y += g->vel.y * kTimeStep;
    g->pos.z += g->vel.z * kTimeStep;
}

}  // namespace

void draw_galaxy()
{
    Universe *u = universes;
    if (!u)
        return;
    u->yaw += 0.01;
    u->pitch += 0.004;
    FlatView view = {0.0, 0.0, 0.0, 0.0};
    if (rendermode == 0)
        view = {rounded_to_float(std::cos(u->yaw)), rounded_to_float(std::sin(u->yaw)),
                rounded_to_float(std::cos(u->pitch)), rounded_to_float(std::sin(u->pitch))};

    // A universe whose seeding failed holds no galaxies: it only counts steps
    // until the restart tries again.
    int n = u->galaxies ? u->ngalaxies : 0;
    for (int i = 0; i < n; i++) {
        Galaxy *g = &u->galaxies[i];
        glColor4ub(static_cast<GLubyte>(g->red), static_cast<GLubyte>(g->green),
                   static_cast<GLubyte>(g->blue), 255);
        for (int s = 0; s < g->nstars; s++) {
            pull_star(u, g->mass, &g->stars[s]);
            place_star(u, view, g->stars[s].pos);
        }
        for (int j = i + 1; j < n; j++)
            attract_cores(g, &u->galaxies[j]);
        move_core(g);
    }

    u->steps += 1;
    if (u->steps > 4 * u->lifetime)
        startover();
}
