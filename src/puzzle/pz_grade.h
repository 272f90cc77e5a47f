// pz_grade.h -- how hard a puzzle is to solve by reasoning, and a difficulty score
#pragma once

#include "puzzle/pz_solve.h"

// The grades, by the weakest reasoning that finishes the puzzle from an empty board.
enum class pz_grade {
    easy,   // line logic alone, in at most pz_easy_sweeps(...) sweeps
    medium, // line logic alone, in more sweeps
    hard,   // needs look-ahead (a cell tried one way breaks a line), never a guess
    search, // needs guessing, or has several solutions
    none,   // has no solution
};

// A sweep is one pass of line logic over every row and then every column.
struct pz_grading {
    pz_grade grade = pz_grade::search;
    pz_verdict verdict = pz_verdict::stopped; // from the complete solver when logic stops short
    bool line_solvable = false;               // line logic alone settles every cell
    int sweeps = 0;                           // sweeps that changed something before line logic stopped
    int settled_by_lines = 0;                 // cells line logic alone settles
    bool lookahead = false;                   // look-ahead was needed
    int lookahead_cells = 0;                  // cells that look-ahead settled (each followed by line logic)
    bool search_needed = false;               // look-ahead and line logic together stop short
    int settled_by_logic = 0;                 // cells settled by line logic and look-ahead together
    int score = 0;                            // sweeps + 4 per look-ahead cell, + 100 + the cells logic leaves
                                              // open when search is needed: depends on the clues alone
};

// The most sweeps an easy puzzle of this size may need.
int pz_easy_sweeps(int width, int height);

// Grades p (whose shape pz_check accepts); limits bound the complete solver, run only
// when logic stops short. A puzzle with several solutions grades search, one with none
// grades none (and search when the limits stop the solver first).
pz_grading pz_grade_puzzle(const pz_puzzle &p, const pz_limits &limits);

// The grade's name: "easy", "medium", "hard", "search", "none".
const char *pz_grade_name(pz_grade g);

// Reads a grade's name back; false (g unchanged) for an unknown name.
bool pz_grade_from_name(const char *name, pz_grade *g);
