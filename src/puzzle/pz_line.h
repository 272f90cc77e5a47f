// pz_line.h -- the exact line solver: what every placement of a line's runs agrees on
#pragma once

#include "puzzle/pz_bits.h"
#include "puzzle/pz_grid.h"

#include <cstdint>
#include <vector>

// The line solver's working space: grown on first use, then reused without allocating.
// Owned by the caller; one per thread.
struct pz_line_scratch {
    std::vector<uint8_t> front, back; // which prefixes and suffixes can hold which runs
    std::vector<int> empties;         // known-empty cells before each position
    std::vector<int> fill_marks;      // placements of runs over each cell
    std::vector<pz_cell> result;
};

// Narrows cells[0..length) to the values that every placement of runs (run_count
// lengths) agreeing with them allows: the intersection of all such placements.
// Returns the number of cells newly settled, or -1 (cells unchanged) when no
// placement agrees. Takes O(length x run_count) time.
int pz_solve_line(const int *runs, int run_count, pz_cell *cells, int length, pz_line_scratch &scratch);

// The line solver's general form, tables of (runs + 1) x (length + 1) bytes; pz_solve_line
// uses it for lines over pz_max_word_line cells and a form on machine words below. For tests.
int pz_solve_line_table(const int *runs, int run_count, pz_cell *cells, int length, pz_line_scratch &scratch);

// The word form for lines of up to pz_max_word_line cells: bit i of *can_empty and
// *can_fill says cell i may stay empty, may be filled. Narrows both to what every
// placement allows; false (both unchanged) when no placement agrees.
bool pz_solve_line_bits(const int *runs, int run_count, int length, uint64_t *can_empty, uint64_t *can_fill);
// The same for longer lines as several words: up to 126 cells in pz_bits<2>, up to 254
// (every line a puzzle may have) in pz_bits<4>.
bool pz_solve_line_bits(const int *runs, int run_count, int length, pz_bits<2> *can_empty, pz_bits<2> *can_fill);
bool pz_solve_line_bits(const int *runs, int run_count, int length, pz_bits<4> *can_empty, pz_bits<4> *can_fill);

// Where each run of a line may begin in the placements agreeing with its cells, for lines
// of up to pz_max_word_line cells and pz_max_word_runs runs: bit s of starts[j] says run j
// may begin at cell s (a run with one bit set lies there for certain). False (starts
// unchanged) when no placement agrees, or the line is longer.
bool pz_line_run_starts(const int *runs, int run_count, const pz_cell *cells, int length, uint64_t *starts);
