// g_gallery.h -- the gallery (appmode_gallery): every captured monster, each opening its finished board
#pragma once

#include "engine/ec_types.h"

constexpr dword gallery_back_id = 100;
constexpr dword gallery_picture_first_id = 200; // + the location's index

// Whether there is anything to show: a capture in this session's record, or (before the save is
// read) in the save file. The title shows its Gallery button from the first capture on.
bool gallery_available();

// Builds the gallery over the title picture: a framed window saying "n of 25 captured", the 25
// locations' places in a grid (a captured one's picture, a button; the others a blank slab
// with its number), the hovered picture's name under them, and Back. Reads the save first when
// this session has not. The title song plays.
void appmode_gallery_init();
void appmode_gallery_free();
// One frame; a request from the window's close button takes the player to the title.
void appmode_gallery_update();
// Arrows and Tab move the focus over the pictures and Back, Return and Space press it, Escape
// goes back to the title; ignored while a mouse button is held.
void appmode_gallery_keydown(unsigned virtual_key);

// A picture's handler: its location's finished board (its Back returns to the gallery). A
// location not captured, or a foreign id, does nothing after its assertion.
void gallery_do_picture(dword id);
void gallery_do_back(dword id);

// While the gallery is shown: location index's screen rectangle, whether it has a button (tests).
void gallery_picture_rect(int index, int *x, int *y, int *size);
bool gallery_picture_shown(int index);
dword gallery_window_get();
