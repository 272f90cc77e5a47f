// pz_solve.h -- line deductions, propagation, look-ahead and the complete solver
#pragma once

// The exact line solver itself (pz_solve_line) is in pz_line.h, included here.

#include "puzzle/pz_grid.h"
#include "puzzle/pz_line.h"
#include "puzzle/pz_puzzle.h"

#include <cstdint>
#include <vector>

// One line's deduction on a grid: line_out (the line's length cells) gets the line
// after line logic. Returns the count of cells it newly settles, -1 on a contradiction
// (and on a line that p does not have, which pz_assert reports).
int pz_deduce_line(const pz_puzzle &p, const pz_cell *grid, pz_line_ref line, pz_cell *line_out);

// What a propagation did.
struct pz_propagation {
    bool contradiction = false;
    pz_line_ref broken;  // the first line found to have no placement
    int settled = 0;     // cells newly settled
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
// (grid itself is not changed); both break when grid already contradicts. A cell outside
// the grid (which pz_assert reports) breaks neither.
pz_probe pz_probe_cell(const pz_puzzle &p, const pz_cell *grid, int x, int y);

enum class pz_verdict {
    none,     // no solution agrees with the clues and the known cells
    unique,   // exactly one
    multiple, // at least two (both given)
    found,    // at least one, and the caller did not ask for more
    stopped,  // the work limit, the deadline or the cancel flag stopped the search
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
// long search taking turns with a clause-learning one), starting from known (width * height cells; null: nothing
// known). With prove_unique it looks for two solutions (verdict none, unique, multiple or stopped); without it stops at
// the first (none, found or stopped): "does any solution agree with these marks".
pz_solution pz_solve(const pz_puzzle &p, const pz_cell *known, const pz_limits &limits, bool prove_unique = true);

// The name of a verdict as the tools print it: "none", "unique", "multiple", "found", "stopped".
const char *pz_verdict_name(pz_verdict v);
