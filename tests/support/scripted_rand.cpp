#include "scripted_rand.h"

#include <cstdlib>
#include <deque>

namespace {

std::deque<int> pending;
long call_count = 0;

// glibc's rand() is random() cut to an int, from the generator that srand
// seeds; calling it directly also works in a statically linked test.
int library_rand() { return static_cast<int>(random()); }

}  // namespace

namespace scripted_rand {

void script(std::vector<int> values) { pending.assign(values.begin(), values.end()); }
void clear_script() { pending.clear(); }
long calls() { return call_count; }
void reset_count() { call_count = 0; }

}  // namespace scripted_rand

extern "C" int rand()
{
    call_count++;
    if (!pending.empty()) {
        int v = pending.front();
        pending.pop_front();
        return v;
    }
    return library_rand();
}
