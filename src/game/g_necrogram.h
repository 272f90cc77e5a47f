// g_necrogram.h -- the necrogram screen (appmode_necrogram): the board drawn, mouse and keys turned into marks
#pragma once

#include "engine/ec_types.h"
#include "game/g_necrogram_board.h"

constexpr dword ng_exit_id = 100;
constexpr dword ng_undo_id = 101;
constexpr dword ng_redo_id = 102;
constexpr dword ng_hint_id = 103;
constexpr dword ng_previous_id = 104; // free play's list
constexpr dword ng_next_id = 105;

// The board is centred in the layout area at the framebuffer's left; the column to its
// right holds the key legend, the hints used and the Hint, Undo, Redo and Map buttons.
constexpr int necrogram_area_width = 1024;
constexpr int necrogram_area_height = 720;
// The story's cells and clue pitch; a tile of the board's sheet is a cell's size.
constexpr int necrogram_cell_size = 32;
constexpr int necrogram_clue_pitch = 20;
// Square boards up to this side keep the story's layout; any other shape is fitted.
constexpr int necrogram_story_max = 15;
// The fitted layouts' smallest cell, and the smallest whose clues are drawn at scale 2
// (a digit is 16 pixels high there).
constexpr int necrogram_min_cell = 14;
constexpr int necrogram_big_clue_cell = 16;
// The board sheet's tiles.
enum : int {
    necrogram_tile_full = 0,
    necrogram_tile_cross = 1,
    necrogram_tile_even = 2,
    necrogram_tile_odd = 3,
    necrogram_tile_strip_odd = 4,
    necrogram_tile_strip_hover = 5,
    necrogram_num_tiles = 6,
};

// Where a board sits in the layout area, in framebuffer pixels: its cells' size; the clues'
// font scale, the story's pitch (every clue's place across a row and down a column; 0 in a
// fitted layout, where a row's clues follow their widths) and the step from clue to clue
// down a column; where the clue strips begin (left of the rows, above the columns); the grid.
struct necrogram_layout {
    int cell = necrogram_cell_size;
    int clue_scale = 2, clue_pitch = necrogram_clue_pitch, column_rise = necrogram_clue_pitch;
    int strip_left = 0, strip_top = 0;
    int grid_x = 0, grid_y = 0;
    int grid_width = 0, grid_height = 0;
};
// The story's layout of a square board of edge size: cells of 32, a clue band of size / 2
// clues at a pitch of 20 (longer lists reach past it), centred in the area.
necrogram_layout necrogram_story_layout(int size);
// Whether a board of that shape keeps the story's layout (square, up to necrogram_story_max).
bool necrogram_story_shape(int width, int height);
// The board's layout: the story's for its shapes; for any other the largest cell (at most
// 32, at least necrogram_min_cell) at which the clue bands, sized by the longest lists, and
// the grid fit the area above the hint's strip, all centred.
necrogram_layout necrogram_layout_for(const necrogram_board *b);
// A clue's number as the layout draws it: at the clue scale, or at scale 1 where that would
// crowd its neighbours (wider than its place less two pixels: the pitch in the story's
// layout, the cell in a fitted layout's columns); its width in pixels.
struct necrogram_clue_text {
    int scale, width;
};
necrogram_clue_text necrogram_clue_text_for(const necrogram_layout &l, int value, bool column);
// A row clue's step to the next clue leftwards: the pitch, or its width and a gap.
int necrogram_row_clue_advance(const necrogram_layout &l, int value);

struct kzg_sprite_data;
// Draws a tile of the board's sheet at a cell size: the sprite itself at 32, a copy shrunk
// by averaging below it (made once a sheet and size).
void necrogram_draw_tile(kzg_sprite_data *sheet, int x, int y, int tile, int size);
// The clue strips' tiles over x, y, w x h from its top-left, in tiles of size (the last
// ones cut at the band's end): tiles[j] for tile row j (rows), else tiles[i] for tile column i.
void necrogram_draw_strip_band(kzg_sprite_data *sheet, int x, int y, int w, int h, int size, const int *tiles,
                               bool rows);
// The grid's ground of width x height cells in the layout: the checkerboard, or plain.
void necrogram_draw_ground(kzg_sprite_data *sheet, const necrogram_layout &l, int width, int height, bool plain);

// The board on the screen, read-only. It keeps its last puzzle after the screen is left.
const necrogram_board *necrogram_shown();
// Its state, read-only: solved, a cell's mark, the hovered cell ((-1, -1): none).
bool necrogram_solved();
u8 necrogram_get_mark(int row, int column);
void necrogram_get_hover(int *column, int *row);

// Sets the hovered cell from a framebuffer position: none (-1, -1) outside the grid.
void necrogram_update_hover(int x, int y);

// The moment the board is solved the active puzzle is recorded as completed (and saved);
// the board is then finished: clicks and keys other than leaving change nothing, and
// its picture is revealed. True from that moment until the screen is entered again.
bool necrogram_captured();
// Keeps an unfinished board's marks for its next visit (beside the save): what leaving
// by the exit button does, and what closing the program on the board does.
void necrogram_keep_progress();
// The exit button's handler (and Escape's): keeps the marks of an unfinished board, then
// enters the map. A foreign id raises "id == ng_exit_id".
void necrogram_do_exit(dword id);
// The Undo and Redo buttons' handlers (and Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z): one step back
// or forward in the visit's history. A foreign id raises its assertion.
void necrogram_do_undo(dword id);
void necrogram_do_redo(dword id);
// Free play's Previous and Next buttons (and PageUp, PageDown): keeps the unfinished
// board, then puts the list's puzzle before or after it on the board (freeplay_step).
// Nothing at either end of the list. A foreign id raises its assertion.
void necrogram_do_step(dword id);
// Whether the board plays free play's puzzle, and the seconds played on it (counted while
// the window is active and no message box is up, from what was kept of it before).
bool necrogram_free_play();
double necrogram_play_seconds();
// The Hint button's handler (and T's): the next step of reasoning, or the step shown applied.
void necrogram_do_hint(dword id);

// The screen (appmode_necrogram). init loads the sheet "game\nonoblocks.kzg", the
// three sounds and the active puzzle, makes the gradient layer and the Map, Undo and
// Redo buttons and starts the game song; free gives all of it back and forgets the
// history. A sound that cannot be made raises its assertion and the board plays without it.
void appmode_necrogram_init();
void appmode_necrogram_free();
// One frame: particles on ticks, the board, the legend, the banner while solved, the UI, render.
void appmode_necrogram_update();
// Cursor, UI focus, hovered cell; with a button held, stroke painting.
void appmode_necrogram_mousemove(int x, int y, unsigned key_flags);
// The UI first (the buttons), then a press applies the left rule; a release ends the stroke.
void appmode_necrogram_lbutton(bool down);
// A press applies the right rule (the UI is not told); a release ends the stroke.
void appmode_necrogram_rbutton(bool down);
// Keyboard play: arrows move the hovered cell, Space or Z fills and X crosses (held
// while moving: paints), Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo, H switches the
// clue marks, Escape leaves like the Map button. Ignored while a mouse button is held.
void appmode_necrogram_keydown(unsigned virtual_key);
// Releasing the fill or cross key ends its stroke.
void appmode_necrogram_keyup(unsigned virtual_key);

// Draws the board (strips, clues, cells, lines, hover frame, help, banner) into the framebuffer.
void necrogram_draw();
// Draws a board record's strips, clues, cells, lines and hover frame with the tiles of sheet
// (a sheet that failed to load draws no tiles); captured: as its revealed picture.
void necrogram_draw_record(const necrogram_board *b, kzg_sprite_data *sheet, bool captured);
// The "Fantastic! You've captured the monster." banner's top row.
constexpr int necrogram_banner_height = 128;
constexpr int necrogram_banner_top = (necrogram_area_height - necrogram_banner_height) / 2;
// After a capture the banner holds across the middle, then slides down into a strip
// under the board (frame ticks of 16 ms), leaving the picture to be seen.
constexpr int necrogram_reveal_hold = 150;
constexpr int necrogram_reveal_end = necrogram_reveal_hold + 30;
constexpr int necrogram_strip_top = 678, necrogram_strip_height = 40;
// The dimmed colour of a satisfied line's clues (clue marks on).
constexpr u32 necrogram_clue_done_colour = 0xFF808080;
