// The two kinds of draw on the C library's generator; each calls rand() once.
#ifndef STARMILL_SIM_RANDOM_DRAW_H
#define STARMILL_SIM_RANDOM_DRAW_H

#include <cstdlib>

// An int in 0 to n - 1.
inline int integer_draw(int n) { return (std::rand() & 0x7fffffff) % n; }

// A double in [0, 1); its largest value is 1 - 2^-31.
inline double uniform_draw() { return (std::rand() & 0x7fffffff) * 0x1p-31; }

#endif
