// app_modes.h -- the application's modes and switching between them (the shell implements it)
#pragma once

enum {
    appmode_init = 0,
    appmode_splash = 1,
    appmode_main_menu = 2,
    appmode_map = 3,
    appmode_necrogram = 4,
    appmode_exit = 5,
    appmode_ending = 6,
    appmode_freeplay = 7,
    appmode_library = 8,
    appmode_workshop = 9,
    appmode_gallery = 10,
    appmode_my_puzzles = 11,
    num_app_modes = 12,
};

// Leaves the running mode (its free) and enters mode (its init) at once. Handlers
// call it as their very last action: their screen is gone when it returns.
void set_app_mode(int mode);
int current_app_mode_get();
