// Cost of one simulation step of the largest universe (4 galaxies of 1499
// stars), with the GL calls going to a stand-in that does nothing, and of
// one seeding.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "gl_recorder.h"
#include "render/view.h"
#include "sim/universe.h"

namespace {

const int kGalaxies = 4;
const int kStars = 1499;

// Seeds until four galaxies come up, then gives each the largest star count
// by repeating its own stars.
void make_largest_universe()
{
    unsigned seed = 1;
    do {
        srand(seed++);
        init_galaxy();
    } while (universes->ngalaxies != kGalaxies);
    for (int i = 0; i < kGalaxies; i++) {
        Galaxy &g = universes->galaxies[i];
        Star *stars = static_cast<Star *>(malloc(sizeof(Star) * kStars));
        for (int s = 0; s < kStars; s++)
            stars[s] = g.stars[s % g.nstars];
        free(g.stars);
        g.stars = stars;
        g.nstars = kStars;
    }
}

void BM_StepLargestUniverse(benchmark::State &state)
{
    rendermode = static_cast<int>(state.range(0));
    gl_recorder::set_recording(false);
    make_largest_universe();
    for (auto _ : state) {
        universes->steps = 0;  // never restart inside the measurement
        draw_galaxy();
    }
    const double interactions = double(kGalaxies) * kStars * kGalaxies;
    state.counters["star_core_interactions"] = interactions;
    state.counters["ns_per_interaction"] = benchmark::Counter(
        interactions * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    release_galaxy();
}
BENCHMARK(BM_StepLargestUniverse)->Arg(0)->Arg(1)->ArgName("view_mode")->Unit(benchmark::kMicrosecond);

void BM_Seeding(benchmark::State &state)
{
    rendermode = 1;
    srand(1);
    for (auto _ : state)
        init_galaxy();
    release_galaxy();
}
BENCHMARK(BM_Seeding)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
