// Draws the program's icon as SVG on standard output: a universe seeded and
// stepped by the simulation itself, seen as the perspective view sees it,
// every star a soft sprite in its galaxy's colour on a black tile.
//   galaxy_icon SEED STEPS
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "gl_recorder.h"
#include "render/view.h"
#include "sim/universe.h"

namespace {

const double kSize = 256.0;
const int kMostStars = 1400;  // keeps the file small
const double kDistance = 1.6;  // nearer than the show, so that two disks fill the tile

// The perspective view: the scene turned by yaw, seen from kDistance, 45 degrees.
bool project(const Vector &p, double yaw, double *x, double *y)
{
    double rx = std::cos(yaw) * p.x + std::sin(yaw) * p.z;
    double rz = -std::sin(yaw) * p.x + std::cos(yaw) * p.z - kDistance;
    if (rz >= -0.1)
        return false;
    double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    *x = kSize / 2 + f * rx / -rz * kSize / 2;
    *y = kSize / 2 - f * p.y / -rz * kSize / 2;
    return *x >= 0 && *x < kSize && *y >= 0 && *y < kSize;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s SEED STEPS\n", argv[0]);
        return 2;
    }
    rendermode = 1;
    init_vars(rendermode);
    srand(static_cast<unsigned>(atol(argv[1])));
    init_galaxy();
    gl_recorder::set_recording(false);
    for (int i = atoi(argv[2]); i > 0; i--)
        draw_galaxy();

    int total = 0;
    for (int g = 0; g < universes->ngalaxies; g++)
        total += universes->galaxies[g].nstars;
    int every = total / kMostStars + 1;

    printf("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    printf("<defs>\n");
    for (int g = 0; g < universes->ngalaxies; g++) {
        const Galaxy &gal = universes->galaxies[g];
        // Additive sprites make dense cores white; brighten the colour so
        // that single stars read on a small icon.
        int r = 96 + gal.red * 159 / 253, gr = 96 + gal.green * 159 / 253, b = 96 + gal.blue * 159 / 253;
        printf("<radialGradient id=\"g%d\"><stop offset=\"0\" stop-color=\"#fff\" stop-opacity=\"0.9\"/>"
               "<stop offset=\"0.35\" stop-color=\"rgb(%d,%d,%d)\" stop-opacity=\"0.7\"/>"
               "<stop offset=\"1\" stop-color=\"rgb(%d,%d,%d)\" stop-opacity=\"0\"/></radialGradient>\n",
               g, r, gr, b, r, gr, b);
    }
    printf("</defs>\n<rect width=\"256\" height=\"256\" rx=\"44\" fill=\"#000\"/>\n");
    int n = 0;
    for (int g = 0; g < universes->ngalaxies; g++) {
        const Galaxy &gal = universes->galaxies[g];
        for (int s = 0; s < gal.nstars; s++) {
            double x, y;
            if (n++ % every == 0 && project(gal.stars[s].pos, universes->yaw, &x, &y))
                printf("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3\" fill=\"url(#g%d)\"/>\n", x, y, g);
        }
    }
    printf("</svg>\n");
    release_galaxy();
    return 0;
}
