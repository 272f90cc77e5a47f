// g_necrogram_draw.h -- the board itself drawn, as the board screen and the Workshop show it
#pragma once

#include "game/board/g_necrogram_board.h"

struct kzg_sprite_data;

// The board without its cursor, in its layout: the clue strips (the hovered line lit) and
// numbers (finished ones dimmed and struck through while clue marks are on), the grid and
// its marks from the tiles of sheet, and the little picture of the fills. A captured board
// shows its picture plain.
void necrogram_draw_board(const necrogram_board *b, kzg_sprite_data *sheet, bool captured);
// The cursor on the hovered cell (none when no cell is hovered), over whatever the board
// shows there.
void necrogram_draw_cursor(const necrogram_board *b);
