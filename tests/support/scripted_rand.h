// Test programs that link scripted_rand.cpp take the C library's rand() from
// here: it counts every call, and answers scripted values before falling back
// to the C library's own generator (still seeded by srand).
#ifndef STARMILL_TESTS_SCRIPTED_RAND_H
#define STARMILL_TESTS_SCRIPTED_RAND_H

#include <vector>

namespace scripted_rand {

void script(std::vector<int> values);  // answered first, in order
void clear_script();
long calls();
void reset_count();

}  // namespace scripted_rand

#endif
