// g_necrogram.h -- the necrogram screen (appmode_necrogram): the board drawn, mouse and keys turned into marks
#pragma once

#include "engine/ec_types.h"
#include "game/board/g_board_client.h"
#include "game/board/g_necrogram_board.h"
#include "game/board/g_necrogram_layout.h"
#include "game/board/g_necrogram_palette.h"

constexpr dword ng_exit_id = 100;
constexpr dword ng_undo_id = 101;
constexpr dword ng_redo_id = 102;
constexpr dword ng_hint_id = 103;
constexpr dword ng_previous_id = 104; // a client's list
constexpr dword ng_next_id = 105;
constexpr dword ng_play_next_id = 106; // a solved board's Next: the client's next puzzle

// The board on the screen, read-only. It keeps its last puzzle after the screen is left.
const necrogram_board *necrogram_shown();
// Its state, read-only: solved, a cell's mark, the hovered cell ((-1, -1): none).
bool necrogram_solved();
u8 necrogram_get_mark(int row, int column);
void necrogram_get_hover(int *column, int *row);

// Sets the hovered cell from a framebuffer position: none (-1, -1) outside the grid.
void necrogram_update_hover(int x, int y);

// The moment the board is solved the client records it (the story saves the capture);
// the board is then finished: clicks and keys other than leaving change nothing, and
// its picture is revealed. True from that moment until the screen is entered again.
bool necrogram_captured();
// Keeps an unfinished board's marks for its next visit (the client's keep): what leaving
// by the exit button does, and what closing the program on the board does.
void necrogram_keep_progress();
// The exit button's handler (and Escape's): keeps the marks of an unfinished board, then
// the client leaves for its own screen. A foreign id raises "id == ng_exit_id".
void necrogram_do_exit(dword id);
// The Undo and Redo buttons' handlers (and Ctrl+Z, Ctrl+Y / Ctrl+Shift+Z): one step back
// or forward in the visit's history. A foreign id raises its assertion.
void necrogram_do_undo(dword id);
void necrogram_do_redo(dword id);
// The Previous and Next buttons of a client's list (and PageUp, PageDown): keeps the
// unfinished board, then the client puts the list's puzzle before or after it on the board.
// Nothing at either end of the list, or without one. A foreign id raises its assertion.
void necrogram_do_step(dword id);
// The seconds played on the board (counted while the window is active and no message
// box is up, from what was kept of it before).
double necrogram_play_seconds();
// The Hint button's work (and T's): the next step of reasoning, or the step shown applied. The
// button skips the second click of a double click, which would apply the step it just showed.
void necrogram_do_hint(dword id);
// The Next button of a solved board (and Return), shown in Hint's place when the client has a
// next puzzle: the client opens it at once. Nothing on an unsolved board. A foreign id raises
// its assertion.
void necrogram_do_play_next(dword id);
// Whether the banner says the solve beat the puzzle's best time (the client's word at the capture).
bool necrogram_new_best();

// The screen (appmode_necrogram). init loads the sheet "game\nonoblocks.kzg", the
// three sounds and the client's puzzle (with what was kept of it), makes the gradient layer and the Map, Undo and
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
// A pad (pf_pad.h's buttons): the d-pad and the left stick move the cell cursor (held: repeat),
// A fills and B crosses (held while moving: paint, by the stroke rule), X asks for a hint, Y
// switches mistake checking, the shoulder buttons undo and redo, Start and Back leave.
void appmode_necrogram_pad(unsigned button, bool down, bool repeat);

// Draws the board (strips, clues, cells, lines, hover frame, help, banner) into the framebuffer.
void necrogram_draw();
// Draws a board record's strips, clues, cells, lines and hover frame with the tiles of sheet
// (a sheet that failed to load draws no tiles); captured: as its revealed picture.
void necrogram_draw_record(const necrogram_board *b, kzg_sprite_data *sheet, bool captured);
// The capture banner's top row: it names the picture, says "Captured!" (or "Solved in m:ss"
// on a timed board), a new best time and the hints used, beside the picture drawn large.
constexpr int necrogram_banner_height = 128;
constexpr int necrogram_banner_top = (necrogram_area_height - necrogram_banner_height) / 2;
// The dimmed colour of a finished clue number (clue marks on), in the usual palette.
constexpr u32 necrogram_clue_done_colour = necrogram_palette_usual.clue_done;
