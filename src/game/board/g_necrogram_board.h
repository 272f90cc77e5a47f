// g_necrogram_board.h -- the necrogram board: its record, clues, marking rules, completion test and undo history
#pragma once

#include "engine/ec_types.h"
#include "puzzle/pz_puzzle.h"

// The largest board each way, and its cells.
constexpr int max_necrogram_size = 32;
constexpr int max_necrogram_cells = max_necrogram_size * max_necrogram_size;

enum : u8 { mark_empty = 0, mark_full = 1, mark_cross = 2 };

// The line a drag is locked to: none until the pointer first leaves the pressed cell.
enum : s32 { necrogram_axis_none, necrogram_axis_row, necrogram_axis_column };

// What a change of mark asks of the screen: the sound to play (a full mark also
// starts a burst of sparks). none: nothing changed.
enum necrogram_effect { necrogram_effect_none, necrogram_effect_full, necrogram_effect_cross, necrogram_effect_pave };

// One cell's change of mark; cell is row * width + column, as the puzzle counts its cells.
struct necrogram_change {
    u16 cell;
    u8 before, after;
};

// The board visit's undo history: the cells each step changed, not copies of the
// board. A step is one stroke (a press and the cells painted until its release).
// When either table is full the oldest steps are dropped to make room.
constexpr int max_history_changes = 8192;
constexpr int max_history_steps = 2048;
static_assert(max_history_changes >= max_necrogram_cells, "a whole stroke fits");

struct necrogram_history {
    necrogram_change changes[max_history_changes];
    s32 step_first[max_history_steps]; // index of each step's first change
    s32 num_steps;                     // steps kept, done and undone
    s32 num_done;                      // steps in force: undo lowers it, redo raises it
    s32 num_changes;                   // changes held by the kept steps
    bool step_open;                    // the last step is the stroke still being painted
};

// The board: the puzzle it plays (its clues, and its picture as the goal) and the player's
// marks over the puzzle's own cells, row by row (cell row * width + column). Tests and
// the screen fill it with necrogram_load (a picture) or necrogram_load_puzzle (clues and a goal).
struct necrogram_board {
    pz_puzzle puzzle;
    s32 width, height; // columns and rows: the puzzle's
    u8 marks[max_necrogram_cells];
    bool solved;
    s32 hover_column, hover_row;   // the cell the presses act on; -1: none
    u8 paint_mark;                 // chosen by the last press on a cell; strokes paint it; kept across loads
    u8 paint_from;                 // the mark of the cell that press was on: the only mark strokes change
    s32 stroke_row, stroke_column; // the cell the open stroke's press was on; -1: none
    s32 stroke_axis;               // the line a drag keeps to (necrogram_axis_*)
    s32 hints_used;                // hints shown on this board, kept with its marks
    bool story_layout;             // keeps the story's layout for its shapes (the story's boards)
    bool steady_layout;            // laid out for the most clues its shape can hold, so that the grid
                                   // stays put while its clues change (a picture being drawn)
    necrogram_history history;
};

// A line's clue as the board shows it: an empty line has the single number 0.
inline int necrogram_clue_count(const pz_clue &clue) { return clue.empty() ? 1 : (int)clue.size(); }
inline int necrogram_clue_at(const pz_clue &clue, int i) { return clue.empty() ? 0 : clue[(size_t)i]; }
// A cell's place in the marks (and the puzzle's goal).
inline int necrogram_cell(const necrogram_board *b, int row, int column) { return row * b->width + column; }

// Loads a picture (width x height cell bytes, row by row, read only here) as the puzzle
// whose clues are its runs, with every mark empty, no hint used, solved false, no cell
// hovered and the history empty; paint_mark is kept. A null cells or a side past
// max_necrogram_size raises its assertion and leaves the board empty (0 x 0); a side of 0
// or less is an empty board.
void necrogram_load(necrogram_board *b, int width, int height, const u8 *cells);
// Loads a puzzle as necrogram_load does, its goal as the picture and its own clues (several
// pictures may fit them: any one solves the board). A puzzle without a goal of its size,
// or past max_necrogram_size, leaves the board empty and gives false.
bool necrogram_load_puzzle(necrogram_board *b, const pz_puzzle &p);

// The per-line test: the line's full marks form exactly its clues (crosses count as
// empty). False for a line outside the board.
bool necrogram_row_satisfied(const necrogram_board *b, int row);
bool necrogram_column_satisfied(const necrogram_board *b, int column);
// The clue numbers a line's marks finish: bit i for its i-th number, set when every
// placement of the line's runs that agrees with the marks (fills filled, crosses empty)
// puts run i in the same place, and every cell of that place is filled. Worked out by the
// line solver from the player's marks alone, never from the goal. 0 for a line outside
// the board, without runs, or whose marks no placement fits.
u32 necrogram_row_finished(const necrogram_board *b, int row);
u32 necrogram_column_finished(const necrogram_board *b, int column);
// The completion test: every row and column satisfied; an empty board is solved.
bool necrogram_is_solved(const necrogram_board *b);
// A cell's mark; mark_empty outside the board.
u8 necrogram_mark_at(const necrogram_board *b, int row, int column);

// The press rules on the hovered cell, and the stroke rule that follows from them: a
// press on an empty cell marks it (left fills, right crosses) and its stroke marks empty
// cells only; a press on a marked cell (either button) empties it and its stroke empties
// cells of that mark only. A stroke never changes a mark into another. Each press
// chooses the stroke's paint mark, begins a new undo step and recomputes solved. none
// when no cell is hovered.
necrogram_effect necrogram_press_left(necrogram_board *b);
necrogram_effect necrogram_press_right(necrogram_board *b);
// Stroke painting: gives the hovered cell the stroke's paint mark when it holds the
// mark the stroke began on.
necrogram_effect necrogram_paint_hovered(necrogram_board *b);
// A drag from the pressed cell: locked to the row or the column it first moves along
// (the longer way on a diagonal first move), it paints every cell from the pressed one
// to the hovered cell's place on that line, as necrogram_paint_hovered does. The effect
// of the last cell changed; none without a stroke begun on a cell.
necrogram_effect necrogram_paint_line(necrogram_board *b);
// The stroke is over (button or key released): later changes make a new step.
void necrogram_stroke_end(necrogram_board *b);

// Keyboard cursor: moves the hovered cell by (columns, rows), stopping at the edges.
// With no cell hovered it puts the cursor on the top-left cell instead. False on an
// empty board.
bool necrogram_move_hover(necrogram_board *b, int columns, int rows);

// Undo and redo one step (ending the open stroke first); solved is recomputed.
// False when there is nothing to undo or redo.
bool necrogram_undo(necrogram_board *b);
bool necrogram_redo(necrogram_board *b);
bool necrogram_can_undo(const necrogram_board *b);
bool necrogram_can_redo(const necrogram_board *b);
// Forgets every step (leaving the board).
void necrogram_history_clear(necrogram_board *b);

// Gives count cells (row * width + column) their marks as one undo step,
// ending the open stroke first; solved is recomputed. Cells outside the board are skipped.
void necrogram_set_marks(necrogram_board *b, const u16 *cells, const u8 *marks, int count);
