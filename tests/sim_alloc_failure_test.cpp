// Failed allocations during seeding: nothing is written through them and
// nothing half-built is left for the step to walk.
#include <cstddef>

#include "sim_fixture.h"

namespace {

// Counts down the allocations of each kind; the one that reaches zero fails.
int malloc_countdown = -1;
int calloc_countdown = -1;

}  // namespace

extern "C" {
void *__real_malloc(size_t size);
void *__real_calloc(size_t count, size_t size);

void *__wrap_malloc(size_t size)
{
    if (malloc_countdown >= 0 && malloc_countdown-- == 0)
        return nullptr;
    return __real_malloc(size);
}

void *__wrap_calloc(size_t count, size_t size)
{
    if (calloc_countdown >= 0 && calloc_countdown-- == 0)
        return nullptr;
    return __real_calloc(count, size);
}
}

class AllocFailureTest : public SimTest {
protected:
    void TearDown() override
    {
        malloc_countdown = calloc_countdown = -1;
        SimTest::TearDown();
    }
};

TEST_F(AllocFailureTest, NoUniverseRecordMeansNothingIsSeededAndFramesStaySafe)
{
    calloc_countdown = 0;
    init_galaxy();
    calloc_countdown = -1;
    EXPECT_EQ(universes, nullptr);
    draw_galaxy();
    EXPECT_TRUE(gl_recorder::calls().empty());
}

TEST_F(AllocFailureTest, FailedGalaxyArrayLeavesAnEmptyUniverseThatReseedsLater)
{
    srand(8);
    calloc_countdown = 1;  // the record succeeds, the galaxy array fails
    init_galaxy();
    calloc_countdown = -1;
    ASSERT_NE(universes, nullptr);
    EXPECT_EQ(universes->galaxies, nullptr);
    EXPECT_EQ(universes->ngalaxies, 0);

    gl_recorder::set_recording(false);
    for (int i = 0; i < 801; i++)
        draw_galaxy();
    EXPECT_NE(universes->galaxies, nullptr);
}

TEST_F(AllocFailureTest, FailedStarArrayReleasesEveryGalaxySeededSoFar)
{
    srand(8);
    malloc_countdown = 1;  // the second galaxy's stars
    init_galaxy();
    malloc_countdown = -1;
    ASSERT_NE(universes, nullptr);
    EXPECT_EQ(universes->galaxies, nullptr);
    EXPECT_EQ(universes->ngalaxies, 0);
    draw_galaxy();
    EXPECT_EQ(universes->steps, 1);
}
