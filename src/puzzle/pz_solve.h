// pz_solve.h -- exact line solving, propagation, look-ahead and the complete solver
#pragma once

// A grid is width * height cells row by row, each a pz_cell: the set of values the
// cell may still take. A caller's partial board (its marks) is given the same way,
// pz_unknown for a cell without a mark. A solution is width * height bytes, 1 filled.

#include "puzzle/pz_puzzle.h"

#include <atomic>
#include <cstdint>
#include <vector>

using pz_cell = uint8_t;
constexpr pz_cell pz_empty = 1;   // the cell stays empty
constexpr pz_cell pz_filled = 2;  // the cell is filled
constexpr pz_cell pz_unknown = 3; // either value is still possible

// A row or a column of a puzzle; index -1 names no line.
struct pz_line_ref {
    bool column = false;
    int index = -1;
};

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

// Where each run of a line may begin in the placements agreeing with its cells, for lines
// of up to 62 cells and 32 runs: bit s of starts[j] says run j may begin at cell s (a run
// with one bit set lies there for certain). False (starts unchanged) when no placement
// agrees, or the line is longer.
bool pz_line_run_starts(const int *runs, int run_count, const pz_cell *cells, int length, uint64_t *starts);

// One line's deduction on a grid: line_out (the line's length cells) gets the line
// after line logic. Returns the count of cells it newly settles, -1 on a contradiction.
int pz_deduce_line(const pz_puzzle &p, const pz_cell *grid, pz_line_ref line, pz_cell *line_out);

// What a propagation did.
struct pz_propagation {
    bool contradiction = false;
    pz_line_ref broken; // the first line found to have no placement
    int settled = 0;    // cells newly settled
    bool solved = false; // no unknown cell left
};

// Applies line logic to grid in place, line after changed line, until nothing changes
// or a line contradicts (grid is then partly narrowed and should be dropped).
pz_propagation pz_propagate(const pz_puzzle &p, pz_cell *grid);

// The outcome of trying one cell both ways.
struct pz_probe {
    bool filled_breaks = false, empty_breaks = false;
    pz_line_ref filled_line, empty_line; // the line that breaks for each value
};

// Tries cell (x, y) of grid filled and then empty, propagating each on a copy of grid
// (grid itself is not changed); both break when grid already contradicts.
pz_probe pz_probe_cell(const pz_puzzle &p, const pz_cell *grid, int x, int y);

enum class pz_verdict {
    none,     // no solution agrees with the clues and the known cells
    unique,   // exactly one
    multiple, // at least two (both given)
    found,    // at least one, and the caller did not ask for more
    stopped,  // the work limit, the deadline or the cancel flag stopped the search
};

// Bounds on the complete solver's work; a zero means no bound of that kind.
struct pz_limits {
    uint64_t max_steps = 0;                    // line solves
    double seconds = 0;                        // wall time from the call
    const std::atomic<bool> *cancel = nullptr; // polled; setting it stops the solver soon
};

// The complete solver's answer.
struct pz_solution {
    pz_verdict verdict = pz_verdict::stopped;
    std::vector<uint8_t> first, second; // solutions (1 filled): first for unique, multiple
                                        // and found, second for multiple; else empty
    bool cancelled = false;             // stopped by the cancel flag (not by the limits)
    uint64_t steps = 0;                 // line solves done
    uint64_t guesses = 0;               // search branches taken
};

// Solves p (whose shape pz_check accepts) by propagation, look-ahead and search (a
// long search taking turns with a clause-learning one), starting from known (width * height cells; null: nothing known). With prove_unique
// it looks for two solutions (verdict none, unique, multiple or stopped); without it
// stops at the first (none, found or stopped): "does any solution agree with these marks".
pz_solution pz_solve(const pz_puzzle &p, const pz_cell *known, const pz_limits &limits, bool prove_unique = true);

// The name of a verdict as the tools print it: "none", "unique", "multiple", "found", "stopped".
const char *pz_verdict_name(pz_verdict v);
