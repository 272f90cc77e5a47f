// pz_generate.h -- numbered puzzles with exactly one solution, of a chosen size and grade
#pragma once

#include "puzzle/pz_grade.h"

#include <string>

constexpr int pz_generate_min = 5, pz_generate_max = 30;
// Puzzles with a side up to this have no empty row or column.
constexpr int pz_generate_full_lines = 5;

// The generator's random numbers: the same sequence on every machine and compiler.
struct pz_rng {
    uint64_t state = 0;
};

// Seeds rng from a key (any 64-bit value).
void pz_rng_seed(pz_rng &rng, uint64_t key);

// The next 32 random bits.
uint32_t pz_rng_next(pz_rng &rng);

// A number in 0..bound-1 (bound >= 1), without modulo bias.
uint32_t pz_rng_below(pz_rng &rng, uint32_t bound);

// Makes puzzle `number` of width x height (each pz_generate_min..pz_generate_max) and
// grade easy, medium or hard into *out, goal picture and title included, its single
// solution checked by the complete solver. The same arguments give the same puzzle
// everywhere. False with the reason in *why (when given) for a size or grade out of range.
bool pz_generate(int width, int height, pz_grade grade, uint32_t number, pz_puzzle *out, std::string *why);
