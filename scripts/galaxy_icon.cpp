// Draws the program's icon: a universe seeded and stepped by the simulation
// itself, seen as the perspective view sees it, every star a soft sprite in
// its galaxy's colour on a black tile.
//   galaxy_icon svg        the scalable icon, on standard output
//   galaxy_icon argb FILE  the same picture at 32 and 16 pixels, as C++
//                          source of the window's _NET_WM_ICON property
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gl_recorder.h"
#include "render/view.h"
#include "sim/universe.h"

namespace {

// Two disks about to meet, close up.
const unsigned kSeed = 3;
const int kSteps = 180;

const double kSize = 256.0;
const double kCorner = 44.0;  // the tile's corner radius
const double kStarRadius = 3.0;
// A star's gradient: white at its centre, its colour by kMidStop of the
// radius, nothing at the rim.
const double kCentreOpacity = 0.9;
const double kMidStop = 0.35;
const double kMidOpacity = 0.7;
const int kMostStars = 1400;  // keeps the SVG small
const double kDistance = 1.6;  // nearer than the show, so that two disks fill the tile

struct Rgb {
    int r, g, b;
};

struct Sprite {
    double x, y;
    int galaxy;
};

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

// Additive sprites make dense cores white; the colour is brightened so that
// single stars read on a small icon.
Rgb star_colour(const Galaxy &gal)
{
    return {96 + gal.red * 159 / 253, 96 + gal.green * 159 / 253, 96 + gal.blue * 159 / 253};
}

std::vector<Sprite> sprites()
{
    int total = 0;
    for (int g = 0; g < universes->ngalaxies; g++)
        total += universes->galaxies[g].nstars;
    int every = total / kMostStars + 1;
    std::vector<Sprite> out;
    int n = 0;
    for (int g = 0; g < universes->ngalaxies; g++) {
        const Galaxy &gal = universes->galaxies[g];
        for (int s = 0; s < gal.nstars; s++) {
            double x, y;
            if (n++ % every == 0 && project(gal.stars[s].pos, universes->yaw, &x, &y))
                out.push_back({x, y, g});
        }
    }
    return out;
}

void write_svg(const std::vector<Sprite> &stars)
{
    printf("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n");
    printf("<defs>\n");
    for (int g = 0; g < universes->ngalaxies; g++) {
        Rgb c = star_colour(universes->galaxies[g]);
        printf("<radialGradient id=\"g%d\"><stop offset=\"0\" stop-color=\"#fff\" stop-opacity=\"%g\"/>"
               "<stop offset=\"%g\" stop-color=\"rgb(%d,%d,%d)\" stop-opacity=\"%g\"/>"
               "<stop offset=\"1\" stop-color=\"rgb(%d,%d,%d)\" stop-opacity=\"0\"/></radialGradient>\n",
               g, kCentreOpacity, kMidStop, c.r, c.g, c.b, kMidOpacity, c.r, c.g, c.b);
    }
    printf("</defs>\n<rect width=\"256\" height=\"256\" rx=\"%g\" fill=\"#000\"/>\n", kCorner);
    for (const Sprite &s : stars)
        printf("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"%g\" fill=\"url(#g%d)\"/>\n", s.x, s.y, kStarRadius, s.galaxy);
    printf("</svg>\n");
}

// Premultiplied red, green, blue and alpha in [0, 1].
struct Pixel {
    double r, g, b, a;
};

void over(Pixel *dst, double r, double g, double b, double a)
{
    dst->r = r * a + dst->r * (1 - a);
    dst->g = g * a + dst->g * (1 - a);
    dst->b = b * a + dst->b * (1 - a);
    dst->a = a + dst->a * (1 - a);
}

bool inside_tile(double x, double y)
{
    double dx = std::fmax(std::fmax(kCorner - x, x - (kSize - kCorner)), 0.0);
    double dy = std::fmax(std::fmax(kCorner - y, y - (kSize - kCorner)), 0.0);
    return dx * dx + dy * dy <= kCorner * kCorner;
}

// The SVG's picture painted at full size, one sample a pixel centre.
std::vector<Pixel> paint(const std::vector<Sprite> &stars)
{
    const int n = static_cast<int>(kSize);
    std::vector<Pixel> image(n * n, Pixel{0, 0, 0, 0});
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++)
            if (inside_tile(x + 0.5, y + 0.5))
                image[y * n + x].a = 1;
    for (const Sprite &s : stars) {
        Rgb c = star_colour(universes->galaxies[s.galaxy]);
        for (int y = static_cast<int>(s.y - kStarRadius); y <= s.y + kStarRadius; y++)
            for (int x = static_cast<int>(s.x - kStarRadius); x <= s.x + kStarRadius; x++) {
                double t = std::hypot(x + 0.5 - s.x, y + 0.5 - s.y) / kStarRadius;
                if (x < 0 || y < 0 || x >= n || y >= n || t >= 1)
                    continue;
                bool inner = t < kMidStop;
                double k = inner ? t / kMidStop : (t - kMidStop) / (1 - kMidStop);
                auto channel = [&](int value) { return inner ? 1 + (value / 255.0 - 1) * k : value / 255.0; };
                double a = inner ? kCentreOpacity + (kMidOpacity - kCentreOpacity) * k : kMidOpacity * (1 - k);
                over(&image[y * n + x], channel(c.r), channel(c.g), channel(c.b), a);
            }
    }
    return image;
}

// Each pixel of the `size` icon averages a square of the painted one, as
// 0xAARRGGBB with straight (not premultiplied) colour.
void write_argb(FILE *out, const std::vector<Pixel> &image, int size)
{
    const int n = static_cast<int>(kSize), step = n / size;
    fprintf(out, "    %d, %d,\n", size, size);
    for (int y = 0; y < size; y++) {
        fprintf(out, "   ");
        for (int x = 0; x < size; x++) {
            Pixel sum = {0, 0, 0, 0};
            for (int v = 0; v < step; v++)
                for (int u = 0; u < step; u++) {
                    const Pixel &p = image[(y * step + v) * n + x * step + u];
                    sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b, sum.a + p.a};
                }
            auto byte = [&](double premultiplied) {
                return sum.a > 0 ? static_cast<unsigned long>(std::lround(255 * premultiplied / sum.a)) : 0ul;
            };
            unsigned long alpha = std::lround(255 * sum.a / (step * step));
            fprintf(out, " 0x%08lx,", alpha << 24 | byte(sum.r) << 16 | byte(sum.g) << 8 | byte(sum.b));
        }
        fprintf(out, "\n");
    }
}

}  // namespace

int main(int argc, char **argv)
{
    bool svg = argc == 2 && strcmp(argv[1], "svg") == 0;
    bool argb = argc == 3 && strcmp(argv[1], "argb") == 0;
    if (!svg && !argb) {
        fprintf(stderr, "usage: %s svg | argb FILE\n", argv[0]);
        return 2;
    }
    rendermode = 1;
    init_vars(rendermode);
    srand(kSeed);
    init_galaxy();
    gl_recorder::set_recording(false);
    for (int i = 0; i < kSteps; i++)
        draw_galaxy();
    std::vector<Sprite> stars = sprites();
    if (svg) {
        write_svg(stars);
    } else {
        FILE *out = fopen(argv[2], "w");
        if (!out) {
            perror(argv[2]);
            return 1;
        }
        std::vector<Pixel> image = paint(stars);
        fprintf(out, "// Made by scripts/galaxy_icon.cpp, from the picture of starmill.svg.\n");
        fprintf(out, "#include \"window/icon.h\"\n\nconst unsigned long starmillIcon[] = {\n");
        write_argb(out, image, 32);
        write_argb(out, image, 16);
        fprintf(out, "};\nconst int starmillIconLength = sizeof starmillIcon / sizeof *starmillIcon;\n");
        fclose(out);
    }
    release_galaxy();
    return 0;
}
