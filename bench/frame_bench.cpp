// The real frame on a real X server: the largest universe in a 640x480
// window, in each view mode. Splits the cost into the step with its GL calls
// (no clear, no swap) and the whole frame finished and shown. Needs DISPLAY.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>

#include "largest_universe.h"
#include "render/view.h"
#include "window/frame.h"
#include "window/glwin.h"
#include "window/glx_window.h"

namespace {

void prepare(benchmark::State &state)
{
    rendermode = static_cast<int>(state.range(0));
    init_vars(rendermode);
    buildStarList();
    make_largest_universe();
    universes->scale = 37.5;
}

// The step and its GL calls as the program issues them, without waiting for
// the rasteriser.
void BM_StepWithRealGL(benchmark::State &state)
{
    prepare(state);
    for (auto _ : state) {
        universes->steps = 0;
        draw_galaxy();
    }
    glFinish();
}
BENCHMARK(BM_StepWithRealGL)->Arg(0)->Arg(1)->ArgName("view_mode")->UseRealTime()->Unit(benchmark::kMillisecond);

// The whole frame: clear, step, swap, and the rasteriser done.
void BM_Frame(benchmark::State &state)
{
    prepare(state);
    for (auto _ : state) {
        universes->steps = 0;
        drawGLScene();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Frame)->Arg(0)->Arg(1)->ArgName("view_mode")->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    createGLWindow("Starmill benchmark", 640, 480, 0);
    fflush(stdout);
    benchmark::RunSpecifiedBenchmarks();
    release_galaxy();
    killGLWindow();
    return 0;
}
