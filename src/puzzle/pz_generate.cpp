// pz_generate.cpp -- numbered puzzles with exactly one solution
#include "puzzle/pz_generate.h"

// splitmix64: a fixed sequence from a 64-bit state, identical everywhere.
void pz_rng_seed(pz_rng &rng, uint64_t key)
{
    rng.state = key ^ 0x9e3779b97f4a7c15ull;
}

uint32_t pz_rng_next(pz_rng &rng)
{
    uint64_t z = (rng.state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

uint32_t pz_rng_below(pz_rng &rng, uint32_t bound)
{
    const uint32_t limit = -bound % bound; // values below it would be favoured
    for (;;) {
        const uint32_t r = pz_rng_next(rng);
        if (r >= limit)
            return r % bound;
    }
}

bool pz_generate(int width, int height, pz_grade grade, uint32_t number, pz_puzzle *out, std::string *why)
{
    (void)width, (void)height, (void)grade, (void)number, (void)out;
    if (why)
        *why = "not yet";
    return false;
}
