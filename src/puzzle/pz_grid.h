// pz_grid.h -- what every part of the puzzle layer shares: cells, lines, size and work limits
#pragma once

#include <atomic>
#include <cstdint>

// A grid is width * height cells row by row, each a pz_cell: the set of values the
// cell may still take. A caller's partial board (its marks) is given the same way,
// pz_unknown for a cell without a mark. A solution is width * height bytes, 1 filled.
using pz_cell = uint8_t;
constexpr pz_cell pz_empty = 1;   // the cell stays empty
constexpr pz_cell pz_filled = 2;  // the cell is filled
constexpr pz_cell pz_unknown = 3; // either value is still possible

// A row or a column of a puzzle; index -1 names no line.
struct pz_line_ref {
    bool column = false;
    int index = -1;
};

// A puzzle's width and height run from 1 to pz_max_size.
constexpr int pz_max_size = 200;

// Lines the line solver takes as 64-bit words (a bit a cell, with room for the
// placements' ends): up to pz_max_word_line cells, so at most pz_max_word_runs runs.
constexpr int pz_max_word_line = 62;
constexpr int pz_max_word_runs = (pz_max_word_line + 1) / 2;

// Lines kept in 32-bit words: the line cache's results, and the learning search's tables
// on grids no larger (its lines are wider words).
constexpr int pz_max_short_line = 32;

// Bounds on a search's work; a zero means no bound of that kind.
struct pz_limits {
    uint64_t max_steps = 0;                    // line solves
    double seconds = 0;                        // wall time from the call
    const std::atomic<bool> *cancel = nullptr; // polled; setting it stops the solver soon
};

// pz_assert(cond) checks a bound the puzzle layer relies on (an index within its array,
// a line within a word) and is true when it holds. A false one is the caller's fault:
// builds with debugging checks stop there, naming the condition; release builds (NDEBUG)
// go on, and the site takes its own way out, so that nothing is written out of bounds:
//   if (!pz_assert(line >= 0 && line < lines)) return;
[[noreturn]] void pz_assert_failed(const char *expression, const char *file, int line);
#ifdef NDEBUG
#define pz_assert(cond) (static_cast<bool>(cond))
#else
#define pz_assert(cond) (static_cast<bool>(cond) ? true : (pz_assert_failed(#cond, __FILE__, __LINE__), false))
#endif
