// g_ending.h -- the ending (appmode_ending): shown once the last monster is captured
#pragma once

#include "engine/ec_types.h"

constexpr dword ending_title_id = 100;

// Whether leaving the board now ends the game: fewer than every puzzle was completed
// when the board opened (captures_before) and every one is completed now.
bool ending_due(int captures_before);

// Builds the ending over the title picture: a framed window with the closing lines, a
// gallery of the 25 captured pictures drawn small, and a button back to the title.
// The title song plays. The game keeps no play time, so the ending tells none.
void appmode_ending_init();
// Removes the picture's layer and the windows.
void appmode_ending_free();
// One frame; a request from the window's close button takes the player to the title.
void appmode_ending_update();
// Return, Space and Escape go back to the title; ignored while a mouse button is held.
void appmode_ending_keydown(unsigned virtual_key);
// The Title button's handler: back to the main menu. A foreign id raises "id == ending_title_id".
void ending_do_title(dword id);

// While the ending is shown: the screen rectangle of picture index in the gallery (tests).
void ending_picture_rect(int index, int *x, int *y, int *size);
// The ending's framed window, invalid_id while it is not shown (tests).
dword ending_window_get();
