// bench_hints.cpp -- each built-in board played from empty by its hints alone: the slowest hint and the analysis
//
// After the 25 built-in boards come three generated 30 x 30 free-play boards: easy, medium
// and hard number 1.
// One run a board: the analysis of its clues (which marks are wrong, as the board screen
// builds it on entry), then hint after hint, each found and applied, until the board is
// solved. Counters: analysis_ms, slowest_hint_ms (the longest search for one hint),
// hints (found on the way) and by kind: line, lookahead, reveal.
#include "game/board/g_necrogram_hints.h"
#include "game/story/g_puzzles.h"
#include "puzzle/pz_generate.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace {

double ms_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

void BM_hints_to_solve(benchmark::State &state) {
    const u32 index = (u32)state.range(0);
    int size = 30;
    const u8 *cells = index < num_puzzles ? puzzle_get_info(index, &size, nullptr) : nullptr;
    pz_puzzle generated;
    if (!cells && !pz_generate(size, size, (pz_grade)(index - num_puzzles), 1, &generated, nullptr)) {
        state.SkipWithError("no puzzle");
        return;
    }
    auto board = std::make_unique<necrogram_board>();
    auto analysis = std::make_unique<necrogram_analysis>();
    auto search = std::make_unique<necrogram_hint_search>();
    double analysis_ms = 0, slowest = 0;
    int hints = 0, by_kind[8] = {};
    for (auto _ : state) {
        if (cells) {
            necrogram_load(board.get(), size, size, cells);
        } else {
            necrogram_load_puzzle(board.get(), generated);
        }
        auto t = std::chrono::steady_clock::now();
        necrogram_analysis_begin(analysis.get(), board.get());
        necrogram_analysis_run(analysis.get(), 10.0);
        analysis_ms = ms_since(t);
        slowest = 0;
        hints = 0;
        std::fill(std::begin(by_kind), std::end(by_kind), 0);
        while (!board->solved && hints < 1000) {
            t = std::chrono::steady_clock::now();
            necrogram_hint_begin(search.get(), board.get());
            necrogram_hint_run(search.get(), analysis.get(), board.get(), 10.0);
            slowest = std::max(slowest, ms_since(t));
            ++hints;
            ++by_kind[search->hint.kind];
            if (search->hint.kind == necrogram_hint_not_found || search->hint.num_cells == 0) {
                state.SkipWithError("a hint was not found");
                break;
            }
            necrogram_hint_apply(board.get(), &search->hint);
        }
    }
    state.counters["size"] = size;
    state.counters["analysis_ms"] = analysis_ms;
    state.counters["slowest_hint_ms"] = slowest;
    state.counters["hints"] = hints;
    state.counters["line"] = by_kind[necrogram_hint_line];
    state.counters["lookahead"] = by_kind[necrogram_hint_lookahead];
    state.counters["reveal"] = by_kind[necrogram_hint_reveal];
}

} // namespace

BENCHMARK(BM_hints_to_solve)->DenseRange(0, (int)num_puzzles + 2)->Iterations(1)->Unit(benchmark::kMillisecond);
