// bench_puzzle.cpp -- the puzzle engine: line solver, complete solver and generator
#include "puzzle_pictures.h"

#include <benchmark/benchmark.h>

namespace {

struct line_case {
    pz_clue clue;
    std::vector<pz_cell> cells;
};

// 25-cell lines with 4 to 8 runs and about a fifth of their cells known.
const std::vector<line_case> &lines() {
    static std::vector<line_case> made = [] {
        std::vector<line_case> out;
        pz_rng rng;
        pz_rng_seed(rng, 25);
        while (out.size() < 1024) {
            uint8_t picture[25];
            for (uint8_t &c : picture)
                c = pz_rng_below(rng, 100) < 55;
            pz_clue clue = pz_line_runs(picture, 25, 1);
            if (clue.size() < 4 || clue.size() > 8)
                continue;
            std::vector<pz_cell> cells(25, pz_unknown);
            for (int i = 0; i < 25; ++i)
                if (pz_rng_below(rng, 100) < 20)
                    cells[i] = picture[i] ? pz_filled : pz_empty;
            out.push_back({clue, cells});
        }
        return out;
    }();
    return made;
}

void BM_line_solve_25(benchmark::State &state) {
    const std::vector<line_case> &cases = lines();
    pz_line_scratch scratch;
    pz_cell cells[25];
    size_t next = 0;
    for (auto _ : state) {
        const line_case &c = cases[next++ & 1023];
        std::copy(c.cells.begin(), c.cells.end(), cells);
        benchmark::DoNotOptimize(pz_solve_line(c.clue.data(), static_cast<int>(c.clue.size()), cells, 25, scratch));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_line_solve_25);

// A line-solvable picture of the given size, solved with the proof of uniqueness.
void BM_solve_line_solvable(benchmark::State &state) {
    const int size = static_cast<int>(state.range(0));
    const pz_puzzle p = line_solvable_picture(size, size, 0x1a7e0000u + size * 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(pz_solve(p, nullptr, pz_limits{}, true).verdict);
}
BENCHMARK(BM_solve_line_solvable)->Arg(50)->Arg(60)->Arg(100)->Unit(benchmark::kMillisecond);

// Generating puzzles of one size and grade: each iteration a new number.
void BM_generate(benchmark::State &state) {
    const int size = static_cast<int>(state.range(0));
    const pz_grade grade = static_cast<pz_grade>(state.range(1));
    uint32_t number = 0;
    for (auto _ : state) {
        pz_puzzle p;
        benchmark::DoNotOptimize(pz_generate(size, size, grade, number++, &p, nullptr));
    }
}
BENCHMARK(BM_generate)
    ->ArgsProduct({{15, 25, 30}, {0, 1, 2}})
    ->ArgNames({"size", "grade"})
    ->Unit(benchmark::kMillisecond);

} // namespace
