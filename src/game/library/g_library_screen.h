// g_library_screen.h -- the Library screen (appmode_library): a chapter a page, its pictures as tiles
#pragma once

#include "engine/ec_types.h"

// Button ids: a chapter's is lb_chapter_id + its place, a tile's lb_tile_id + its picture's.
constexpr dword lb_chapter_id = 300;
constexpr dword lb_tile_id = 400;
constexpr dword lb_previous_id = 390;
constexpr dword lb_next_id = 391;
constexpr dword lb_back_id = 392;
constexpr dword lb_showcase_id = 393;
// The most chapters listed and pictures shown on a page.
constexpr int library_max_chapters = 8;
constexpr int library_max_tiles = 40;

// Where tile index of a page of count sits, in screen pixels: its top-left and side.
struct library_tile_place {
    int x, y, size;
};
library_tile_place library_tile_at(int index, int count);

// Builds the screen: the chapters read again from the pack, the progress file read, the
// chapter list, the page of the chapter last played (its tiles when it is open, else what
// opens it), Prev, Next and Back; the title song. Back from a capture on the board, the page
// first shows the captured picture large with its name, until a click or a key.
void appmode_library_init();
void appmode_library_free();
void appmode_library_update();
// Arrows and Tab move the focus (up and down a row among the tiles), Return and Space press
// it, PageUp and PageDown turn the page, Escape goes back to the title.
void appmode_library_keydown(unsigned virtual_key);

// The buttons' handlers: a chapter's page, a tile's picture onto the board, the page before
// or after, back to the title.
void lb_do_chapter(dword id);
void lb_do_tile(dword id);
void lb_do_step(dword id);
void lb_do_back(dword id);
void lb_do_showcase(dword id);

// Tests: the page shown, its tiles (none while it is locked or could not be read), the
// solves still missing to open it (0: open), and the screen's window (invalid_id while not shown).
int library_screen_page();
int library_screen_tiles();
int library_screen_missing();
// Tests: the picture captured that the page shows large, or -1.
int library_screen_showcase();
dword library_window_get();
