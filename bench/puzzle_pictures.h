// puzzle_pictures.h -- pictures the puzzle measurements are made of: random and line-solvable
#pragma once

#include "puzzle/pz_generate.h"

#include <algorithm>
#include <ctime>

// Processor time of this process, so that other programs on the machine do not count.
inline double cpu_seconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A picture of random cells, each filled with the given chance (in 1/10,000).
inline pz_puzzle random_picture(int w, int h, uint32_t per_ten_thousand, uint64_t seed) {
    pz_rng rng;
    pz_rng_seed(rng, seed);
    std::vector<uint8_t> cells(static_cast<size_t>(w) * h);
    for (uint8_t &c : cells)
        c = pz_rng_below(rng, 10000) < per_ten_thousand;
    return pz_from_picture(w, h, cells.data());
}

// A blobby picture (smoothed noise) made line-solvable: smoothed more as it grows, so
// that its blobs keep their scale and line logic leaves only small patches open; each
// patch of open cells (cells joined side by side) then becomes all filled or all empty,
// and again until line logic settles every cell. One to a few rounds at any size.
inline pz_puzzle line_solvable_picture(int w, int h, uint64_t seed) {
    pz_rng rng;
    pz_rng_seed(rng, seed);
    std::vector<uint8_t> cells(static_cast<size_t>(w) * h), next(cells.size());
    for (uint8_t &c : cells)
        c = pz_rng_below(rng, 100) < 55;
    const int passes = 2 + (w > h ? w : h) / 100;
    for (int pass = 0; pass < passes; ++pass) {
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
    std::vector<pz_cell> grid(cells.size());
    std::vector<uint8_t> done(cells.size());
    std::vector<int> patch;
    for (;;) {
        pz_puzzle p = pz_from_picture(w, h, cells.data());
        std::fill(grid.begin(), grid.end(), pz_unknown);
        if (pz_propagate(p, grid.data()).solved)
            return p;
        std::fill(done.begin(), done.end(), 0);
        for (int start = 0; start < w * h; ++start) {
            if (grid[start] != pz_unknown || done[start])
                continue;
            const uint8_t value = static_cast<uint8_t>(pz_rng_below(rng, 2));
            patch.assign(1, start);
            done[start] = 1;
            while (!patch.empty()) {
                const int c = patch.back();
                patch.pop_back();
                cells[c] = value;
                const int x = c % w, y = c / w;
                for (int n : {x > 0 ? c - 1 : -1, x + 1 < w ? c + 1 : -1, y > 0 ? c - w : -1, y + 1 < h ? c + w : -1})
                    if (n >= 0 && !done[n] && grid[n] == pz_unknown) {
                        done[n] = 1;
                        patch.push_back(n);
                    }
            }
        }
    }
}

// A line-solvable picture with small damage: one to patches square patches of 8x8 to
// 15x15 cells made sparse noise (each cell filled at 0.35), so that line logic stalls there
// and the search must finish it; often it has several solutions then, sometimes one.
inline pz_puzzle damaged_picture(int w, int h, int patches, uint64_t seed) {
    const pz_puzzle clean = line_solvable_picture(w, h, seed);
    pz_rng rng;
    pz_rng_seed(rng, seed ^ 0xda3a6e00u);
    std::vector<uint8_t> cells = clean.goal;
    const int count = 1 + static_cast<int>(pz_rng_below(rng, static_cast<uint32_t>(patches)));
    for (int i = 0; i < count; ++i) {
        const int side = 8 + static_cast<int>(pz_rng_below(rng, 8));
        const int x0 = static_cast<int>(pz_rng_below(rng, static_cast<uint32_t>(w - side + 1)));
        const int y0 = static_cast<int>(pz_rng_below(rng, static_cast<uint32_t>(h - side + 1)));
        for (int y = y0; y < y0 + side; ++y)
            for (int x = x0; x < x0 + side; ++x)
                cells[static_cast<size_t>(y) * w + x] = pz_rng_below(rng, 100) < 35;
    }
    return pz_from_picture(w, h, cells.data());
}
