// Cost of one simulation step of the largest universe (4 galaxies of 1499
// stars), with the GL calls going to a stand-in that does nothing, and of
// one seeding.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "gl_recorder.h"
#include "largest_universe.h"
#include "render/view.h"
#include "sim/universe.h"

namespace {

void BM_StepLargestUniverse(benchmark::State &state)
{
    rendermode = static_cast<int>(state.range(0));
    gl_recorder::set_recording(false);
    make_largest_universe();
    for (auto _ : state) {
        universes->steps = 0;  // never restart inside the measurement
        draw_galaxy();
    }
    const double interactions = double(kLargestGalaxies) * kLargestStars * kLargestGalaxies;
    state.counters["star_core_interactions"] = interactions;
    // Seconds per interaction, shown with an SI prefix (n for nanoseconds).
    state.counters["time_per_interaction"] = benchmark::Counter(
        interactions, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
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
