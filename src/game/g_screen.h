// g_screen.h -- what the menu-like screens share (the title, the map, free play, the ending)
#pragma once

#include "engine/ec_types.h"

// One frame of the menu or the map: timer, sounds, UI, diagnostics, render.
void appmode_main_menu_update();
// Cursor and UI focus (the key flags are ignored).
void appmode_main_menu_mousemove(int x, int y, unsigned key_flags);
// Hands the left button to the UI.
void appmode_main_menu_lbutton(bool down);

// The title picture "game\start_screen.kzb" as a background layer (the menu's and the
// ending's): its id, or invalid_id when the picture could not be loaded.
dword title_picture_add();
// Deletes that layer, if any, and sets *layer to invalid_id.
void title_picture_remove(dword *layer);
