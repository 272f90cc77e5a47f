// g_necrogram.h -- the necrogram: the board's model and marking rules, and its screen (appmode_necrogram)
#pragma once

#include "engine/ec_types.h"

constexpr int max_necrogram_size = 32;
constexpr int max_line_clues = 16;

enum : u8 { mark_empty = 0, mark_full = 1, mark_cross = 2 };

constexpr dword ng_exit_id = 100;

// What a change of mark asks of the screen: the sound to play (a full mark also
// starts a burst of sparks at the cursor). none: nothing changed.
enum necrogram_effect { necrogram_effect_none, necrogram_effect_full, necrogram_effect_cross, necrogram_effect_pave };

// Where a board of edge size sits in the 1024 x 720 layout area, in framebuffer pixels.
struct necrogram_layout {
    int clue_band, total, left, top, grid_x, grid_y;
};
constexpr int necrogram_cell_size = 32;
constexpr int necrogram_clue_pitch = 20;
necrogram_layout necrogram_layout_for(int size);

// Loads a puzzle (size x size cell bytes, row by row, read only here) with every
// mark empty and solved false. A null cells or a size past max_necrogram_size
// raises its assertion and leaves the board empty (size 0).
void necrogram_load(int size, const u8 *cells);
// Derive each row's / column's clues from the loaded picture (an empty line: the single clue 0).
void necrogram_make_row_clues();
void necrogram_make_column_clues();
// The completion test: every row and column's full marks form exactly its clues
// (crosses count as empty); a board of size 0 or less is solved.
bool necrogram_is_solved();

// Board state, read-only.
int necrogram_get_size();
bool necrogram_solved();
u8 necrogram_get_mark(int row, int column);
// A line's clues (count stored in *count), or null for a line outside the board.
const u8 *necrogram_row_clues(int row, int *count);
const u8 *necrogram_column_clues(int column, int *count);
u8 necrogram_paint_mark_get();

// Sets the hovered cell from a framebuffer position: none (-1, -1) outside the grid.
void necrogram_update_hover(int x, int y);
void necrogram_get_hover(int *column, int *row);

// The press rules on the hovered cell: left toggles full / empty (a cross becomes
// full), right toggles cross / empty (a full cell becomes a cross). Each chooses
// the stroke's paint mark and recomputes solved. none when no cell is hovered.
necrogram_effect necrogram_press_left();
necrogram_effect necrogram_press_right();
// Drag painting: gives the hovered cell the stroke's paint mark if it differs.
necrogram_effect necrogram_paint_hovered();

// The exit button's handler: records the active puzzle when the board is solved
// (which saves), then enters the map. A foreign id raises "id == ng_exit_id".
void necrogram_do_exit(dword id);
// Records the active puzzle as completed, and saves, when the board is solved: what
// leaving by the exit button does, and what closing the program on the board does.
void necrogram_record_capture();

// Tests: forget the stroke's paint mark and empty the board, as at program start.
void necrogram_reset_for_test();

// The screen (appmode_necrogram). init loads the sheet "game\nonoblocks.kzg", the
// three sounds and the active puzzle, makes the gradient layer and the exit button
// and starts the game song; free gives all of it back. A sound that cannot be made
// raises its assertion and the board plays without it.
void appmode_necrogram_init();
void appmode_necrogram_free();
// One frame: particles on ticks, the board, the banner while solved, the UI, render.
void appmode_necrogram_update();
// Cursor, UI focus, hovered cell; with a button held, drag painting.
void appmode_necrogram_mousemove(int x, int y, unsigned key_flags);
// The UI first (the exit button), then a press applies the left rule.
void appmode_necrogram_lbutton(bool down);
// A press applies the right rule; the UI is not told.
void appmode_necrogram_rbutton(bool down);
// Keys do nothing on the board.
void appmode_necrogram_key(unsigned virtual_key);

// Draws the board (strips, clues, cells, lines, hover frame, banner) into the framebuffer.
void necrogram_draw();
// The "Fantastic! You've captured the monster." banner's top row.
constexpr int necrogram_banner_top = (720 - 128) / 2;
