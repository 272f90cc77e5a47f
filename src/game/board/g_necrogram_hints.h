// g_necrogram_hints.h -- what the clues allow on a board: wrong marks, and hints that show the next step of reasoning
#pragma once

// Pure rules over the board record, on the puzzle layer's solver. The work is cut in
// slices (one cell, one line, one solve at a time) and can be cancelled from another
// thread, so that a screen can do it off the frame and say "Thinking…" meanwhile.

#include "game/board/g_necrogram_board.h"
#include "puzzle/pz_explain.h"
#include "puzzle/pz_solve.h"

#include <atomic>
#include <chrono>
#include <vector>

// The values every solution of the clues gives each cell: a wrong mark is one that no
// solution allows. Built in slices by necrogram_analysis_run.
struct necrogram_analysis {
    pz_puzzle puzzle;             // the board's clues, its picture as the goal
    std::vector<pz_cell> allowed; // per cell (row by row, width wide): pz_empty, pz_filled or both
    int next_cell = -1;           // the next cell whose other value is tried; -1: not started
    bool ready = false;
    const std::atomic<bool> *cancel = nullptr; // set: the work stops soon, unfinished
};

// Starts the analysis of b's clues (its picture is their first solution).
void necrogram_analysis_begin(necrogram_analysis *a, const necrogram_board *b);
// Works for at most about seconds; true once ready. A solve cut short by its limit
// counts its value as allowed: only what is proved wrong is ever called wrong. False,
// unfinished, once cancelled.
bool necrogram_analysis_run(necrogram_analysis *a, double seconds);
// A mark that no solution of the clues allows (empty cells are never wrong; false
// before the analysis is ready).
bool necrogram_mark_wrong(const necrogram_analysis *a, const necrogram_board *b, int row, int column);

enum necrogram_hint_kind : s32 {
    necrogram_hint_none,
    necrogram_hint_wrong_mark, // a mark no solution allows, or one that does not fit the others
    necrogram_hint_line,       // a line whose clues and marks force some cells, for one named reason
    necrogram_hint_lookahead,  // a cell whose one value breaks a line
    necrogram_hint_reveal,     // logic alone cannot go on: a cell of a solution
    necrogram_hint_not_found,  // the time ran out
};

// The longest a hint is looked for.
constexpr double necrogram_hint_seconds = 2.0;

// A step of reasoning: the cells it outlines and the marks it gives them (a wrong mark
// is given mark_empty), the line it highlights, the marked cells a line's reason rests on
// (outlined beside them) and its one-line text, which names the reason.
struct necrogram_hint {
    necrogram_hint_kind kind = necrogram_hint_none;
    s32 axis = necrogram_axis_none; // the line: necrogram_axis_row or _column, or none
    s32 line = -1;
    s32 num_cells = 0;
    u16 cells[max_necrogram_size]; // row * width + column, as the board counts its cells
    u8 marks[max_necrogram_size];
    s32 num_support = 0;
    u16 support[max_necrogram_size];    // row * width + column
    pz_reason reason = pz_reason::none; // a line hint's reason
    char text[128] = {};
};

// The search for the next hint from the board's marks, in slices.
struct necrogram_hint_search {
    enum phase_t { wrong_marks, consistency, lines, probes, reveal, done } phase = done;
    int cursor = 0;
    std::vector<pz_cell> grid;     // the marks as the solver sees them
    std::vector<uint8_t> solution; // a solution agreeing with every mark, once found
    std::chrono::steady_clock::time_point started;
    necrogram_hint hint;
    const std::atomic<bool> *cancel = nullptr; // set: the search stops soon, unfinished
};

// Starts looking for the hint for b's marks now.
void necrogram_hint_begin(necrogram_hint_search *s, const necrogram_board *b);
// Works for at most about seconds (the analysis first); true once s->hint is found, or
// not_found after necrogram_hint_seconds. False, unfinished, once cancelled.
bool necrogram_hint_run(necrogram_hint_search *s, necrogram_analysis *a, const necrogram_board *b, double seconds);
// Ends the search with no hint: "No hint found within 2 seconds".
void necrogram_hint_give_up(necrogram_hint_search *s);
// Gives the hint's cells their marks as one undo step; solved is recomputed.
void necrogram_hint_apply(necrogram_board *b, const necrogram_hint *h);
