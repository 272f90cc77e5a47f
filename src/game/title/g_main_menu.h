// g_main_menu.h -- the main menu (appmode_main_menu), and the frame and mouse callbacks the map shares
#pragma once

#include "engine/ec_types.h"
#include "game/g_screen.h"

constexpr dword mm_play_id = 100;
constexpr dword mm_continue_id = 101;
constexpr dword mm_exit_id = 103;
constexpr dword mm_freeplay_id = 104;
constexpr dword mm_library_id = 105;
constexpr dword mm_workshop_id = 106;
constexpr dword mm_tutorial_id = 107;
constexpr dword mm_gallery_id = 108;

// Builds the menu: continue and new game when a save file exists, else play; free play; the
// tutorial, with the gallery beside it from the first capture on; the picture library and the
// Workshop; exit; the title picture as a background layer; the title song.
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
// The picture library opens its own screen, also leaving the story as it is.
void mm_do_library(dword id);
// The Workshop opens its own screen.
void mm_do_workshop(dword id);
// The tutorial, from its first board; it comes back to the title. (Play, shown while there
// is no save file, offers it first until it is played, skipped or declined once: "New
// here? ..." Yes plays it and goes on to the map of a new game, No starts the game.)
void mm_do_tutorial(dword id);
// The gallery of captured monsters.
void mm_do_gallery(dword id);

// The menu's UI window, invalid_id while the menu is not shown (tests).
dword mm_window_get();
