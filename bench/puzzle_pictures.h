// puzzle_pictures.h -- pictures the puzzle measurements are made of: random and line-solvable
#pragma once

#include "puzzle/pz_generate.h"

#include <ctime>

// Processor time of this process, so that other programs on the machine do not count.
inline double cpu_seconds()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A picture of random cells, each filled with the given chance (in 1/10,000).
inline pz_puzzle random_picture(int w, int h, uint32_t per_ten_thousand, uint64_t seed)
{
    pz_rng rng;
    pz_rng_seed(rng, seed);
    std::vector<uint8_t> cells(static_cast<size_t>(w) * h);
    for (uint8_t &c : cells)
        c = pz_rng_below(rng, 10000) < per_ten_thousand;
    return pz_from_picture(w, h, cells.data());
}

// A blobby picture (smoothed noise) whose open cells are flipped until line logic alone
// solves it.
inline pz_puzzle line_solvable_picture(int w, int h, uint64_t seed)
{
    pz_rng rng;
    pz_rng_seed(rng, seed);
    std::vector<uint8_t> cells(static_cast<size_t>(w) * h), next(cells.size());
    for (uint8_t &c : cells)
        c = pz_rng_below(rng, 100) < 55;
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int filled = 0, seen = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (x + dx >= 0 && y + dy >= 0 && x + dx < w && y + dy < h) {
                            ++seen;
                            filled += cells[static_cast<size_t>(y + dy) * w + x + dx];
                        }
                next[static_cast<size_t>(y) * w + x] = filled * 9 >= 5 * seen;
            }
        cells.swap(next);
    }
    for (;;) {
        pz_puzzle p = pz_from_picture(w, h, cells.data());
        std::vector<pz_cell> grid(cells.size(), pz_unknown);
        pz_propagate(p, grid.data());
        std::vector<int> open;
        for (size_t i = 0; i < grid.size(); ++i)
            if (grid[i] == pz_unknown)
                open.push_back(static_cast<int>(i));
        if (open.empty())
            return p;
        cells[open[pz_rng_below(rng, static_cast<uint32_t>(open.size()))]] ^= 1;
    }
}
