#include "scripted_rand.h"

#include <dlfcn.h>

#include <deque>

namespace {

std::deque<int> pending;
long call_count = 0;

int library_rand()
{
    using RandFn = int (*)();
    static RandFn real = reinterpret_cast<RandFn>(dlsym(RTLD_NEXT, "rand"));
    return real();
}

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
