// pz_explain.h -- why a line's deduction holds: its reason, the runs it is about and the marks it rests on
#pragma once

// The line solver settles what every placement of a line's runs agrees on, all at once.
// A player learns more from one reason at a time: this cuts the solver's result into the
// groups of cells that one reason settles, and names the runs and the marked cells each
// rests on. Every placement is tested with the line solver itself (a run put at a start,
// the runs before it and after it each fitted into their side of the line).

#include "puzzle/pz_solve.h"

#include <string>
#include <vector>

enum class pz_reason {
    none,      // the line settles nothing new
    broken,    // no placement of the runs agrees with the cells
    zero,      // the clue is 0: every cell stays empty
    complete,  // the filled cells already make every run: the rest stays empty
    overlap,   // every placement of one run covers these cells
    ends,      // a run is complete here: the cells beside it stay empty
    gap,       // a stretch between crosses (or a cross and the edge) too short for any run that may lie there
    reach,     // no placement of any run reaches these cells
    every_fit, // every placement of the runs together fills these cells, though no one run always does
};

// One reason and what it settles.
struct pz_line_explanation {
    pz_reason reason = pz_reason::none;
    std::vector<int> runs;      // the runs it is about, by their place in the clue, in order
    std::vector<int> cells;     // the cells it settles (unknown before), in order
    pz_cell value = pz_unknown; // what they become: pz_filled or pz_empty
    std::vector<int> support;   // the marked cells it rests on (a set none of which can be left out), in order
    int first = -1, last = -1;  // overlap: the cells every placement of the run covers; ends: the complete
                                // run's cells; gap: the stretch
};

// Explains the line solver's deduction on cells[0..length) (pz_empty, pz_filled or
// pz_unknown each) for runs[0..run_count): of the groups of newly settled cells that one
// reason settles, the largest (the clue 0 and a complete line settle all of them; ties go
// to the reason listed first above). reason none when nothing is settled, broken when the
// cells contradict the runs.
pz_line_explanation pz_explain_line(const int *runs, int run_count, const pz_cell *cells, int length);

// The reason as a sentence after the line's name ("Row 8"): "Row 8: the 7 must cover
// cells 4-7 wherever it lies" ("the 5 has only one place: cells 1-5" when it covers them
// all). Cells are numbered from 1, as the player counts them.
std::string pz_explain_sentence(const pz_line_explanation &e, const int *runs, int run_count,
                                const std::string &line_name);
