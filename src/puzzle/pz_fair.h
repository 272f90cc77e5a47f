// pz_fair.h -- whether a drawn picture makes a fair puzzle, and the fewest cell changes that make it one
#pragma once

// A picture drawn by hand always has a solution (itself); it is fair when its clues
// have no other and reasoning alone (line logic and look-ahead) finds it, never a guess.

#include "puzzle/pz_grade.h"

#include <cstdint>
#include <vector>

enum class pz_fairness {
    fair,    // one solution, found without a guess
    guess,   // one solution, but reasoning stops short of it: a guess is needed
    several, // other pictures fit the same clues
    stopped, // the limits or the cancel flag stopped the work first
};

struct pz_fair_report {
    pz_fairness kind = pz_fairness::stopped;
    pz_grading grading;          // fair: the grade and score the puzzle gets
    int open_count = 0;          // cells line logic and look-ahead leave unsettled
    std::vector<uint8_t> open;   // guess and several: width * height, 1 where a cell stays unsettled
    std::vector<uint8_t> other;  // several: another picture that fits the clues (1 filled)
    std::vector<uint8_t> differ; // several: width * height, 1 where that picture differs from the drawn one
    int differ_count = 0;
};

// Judges the picture of width x height cells (row by row, nonzero filled; each side
// 1..pz_max_size); limits bound the complete solver, run only when reasoning stops short.
pz_fair_report pz_judge_picture(int width, int height, const uint8_t *cells, const pz_limits &limits);

// How far reasoning gets with a picture's clues: the cells line logic and look-ahead
// leave unsettled (0: the picture is fair). -1 when the limits stopped it.
int pz_picture_open_cells(int width, int height, const uint8_t *cells, const pz_limits &limits);

// A change of at most max_changes cells that makes the picture fair.
struct pz_fix {
    bool found = false;
    bool stopped = false;   // the limits or the cancel flag ended the search first
    std::vector<int> cells; // the cells to flip (row * width + column), in reading order
    int open_after = 0;     // cells left unsettled after the change (0 when found)
};

// Looks for the fewest cell flips (one, then two) after which reasoning alone solves the
// picture: the cells reasoning leaves open first, then the cells of their lines. When
// none is found the change that leaves the fewest cells open is given, found false.
// A fair picture needs no change (found, no cells).
pz_fix pz_suggest_fix(int width, int height, const uint8_t *cells, int max_changes, const pz_limits &limits);
