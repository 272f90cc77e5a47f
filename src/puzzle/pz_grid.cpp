// pz_grid.cpp -- the puzzle layer's failed bound check
#include "puzzle/pz_grid.h"

#include <cstdio>
#include <cstdlib>

void pz_assert_failed(const char *expression, const char *file, int line) {
    std::fprintf(stderr, "%s:%d: puzzle bound broken: %s\n", file, line, expression);
    std::abort();
}
