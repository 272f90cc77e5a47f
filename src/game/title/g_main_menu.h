// g_main_menu.h -- the main menu (appmode_main_menu), and the frame and mouse callbacks the map shares
#pragma once

#include "engine/ec_types.h"
#include "game/g_screen.h"

constexpr dword mm_play_id = 100;
constexpr dword mm_continue_id = 101;
constexpr dword mm_exit_id = 103;
constexpr dword mm_freeplay_id = 104;
constexpr dword mm_workshop_id = 105;

// Builds the menu: continue and new game when a save file exists, else play; free play; exit;
// the title picture as a background layer; the title song.
void appmode_main_menu_init();
// Removes the picture's layer and the menu's window.
void appmode_main_menu_free();
// Keys move the focus over the buttons (arrows, Tab) and press it (Return, Space);
// Ctrl+V opens a picture's code from the clipboard in the Workshop; ignored while a
// mouse button is held.
void appmode_main_menu_keydown(unsigned virtual_key);

// Button handlers. Play and new game clear the progress (when the save file holds
// captures, only after "Start a new game? Your N captured monsters will be released."
// is answered Yes; the old save is then kept as nonogram.sav.previous), continue loads the save
// (raising "save_file_exists()" when it is gone); both go to the map. Exit saves the
// progress, stops the title song and ends the program. A foreign id raises the
// handler's assertion ("id == mm_play_id" ...) and does nothing.
void mm_do_play(dword id);
void mm_do_continue(dword id);
void mm_do_exit(dword id);
// Free play opens its own screen; the story's progress is left as it is.
void mm_do_freeplay(dword id);
// The Workshop opens its own screen.
void mm_do_workshop(dword id);


// The menu's UI window, invalid_id while the menu is not shown (tests).
dword mm_window_get();
