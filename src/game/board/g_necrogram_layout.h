// g_necrogram_layout.h -- where a board of any shape sits on the screen, and its tiles at any cell size
#pragma once

#include "engine/ec_types.h"
#include "game/board/g_necrogram_board.h"

// The board is centred in the layout area at the framebuffer's left; the column to its
// right holds the key legend, the hints used and the Hint, Undo, Redo and Map buttons.
constexpr int necrogram_area_width = 1024;
constexpr int necrogram_area_height = 720;
// The story's cells and clue pitch; a tile of the board's sheet is a cell's size.
constexpr int necrogram_cell_size = 32;
constexpr int necrogram_clue_pitch = 20;
// The story's square boards up to this side keep the story's layout; any other board is fitted.
constexpr int necrogram_story_max = 15;
// The fitted layouts' smallest and largest cell, and the smallest whose clues are drawn at
// scale 2 (a digit is 16 pixels high there).
constexpr int necrogram_min_cell = 14;
constexpr int necrogram_max_cell = 48;
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
// The board's layout: the story's for a story board (b->story_layout) of its shapes; for any
// other the largest cell (at most necrogram_max_cell, at least necrogram_min_cell) at which
// the clue bands, sized by the longest lists, and the grid fit the area above the hint's
// strip, all centred: a small board fills the area as a large one does. A steady board
// (b->steady_layout) is fitted as if every line held the most clues its length allows.
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
// by averaging below it or grown pixel by pixel above it (made once a sheet and size).
void necrogram_draw_tile(kzg_sprite_data *sheet, int x, int y, int tile, int size);
// The clue strips over x, y, w x h from its top-left, in bands of size (the last cut at the
// area's end): colours[j] for band j across (rows), else colours[i] for band i down.
void necrogram_draw_strip_band(int x, int y, int w, int h, int size, const u32 *colours, bool rows);
// The grid's ground of width x height cells in the layout: the checkerboard, or plain.
void necrogram_draw_ground(kzg_sprite_data *sheet, const necrogram_layout &l, int width, int height, bool plain);
// Fills x, y, w x h (clipped) with colour.
void necrogram_fill(int x, int y, int w, int h, u32 colour);

// After a capture the banner holds across the middle, then slides down into a strip
// under the board (frame ticks of 16 ms), leaving the picture to be seen.
constexpr int necrogram_reveal_hold = 150;
constexpr int necrogram_reveal_end = necrogram_reveal_hold + 30;
constexpr int necrogram_strip_top = 678, necrogram_strip_height = 40;
