// main.h -- the application shell: the seven modes, switching between them, the entry point
#pragma once

#include "ui/app_modes.h"

#include <cstdint>

// The eleven optional callbacks of an application mode; an empty slot does nothing. A mode
// without its own pad callback is driven by the pad through its keys (the d-pad and stick
// as the arrows, A and Start as Return, B and Back as Escape).
struct app_mode {
    void (*init)() = nullptr;
    void (*free)() = nullptr;
    void (*update)() = nullptr;
    void (*mousemove)(int x, int y, unsigned key_flags) = nullptr;
    void (*lbutton)(bool down) = nullptr;
    void (*rbutton)(bool down) = nullptr;
    void (*mousewheel)(unsigned wparam) = nullptr;
    void (*keydown)(unsigned virtual_key) = nullptr;
    void (*keyup)(unsigned virtual_key) = nullptr;
    void (*keychar)(unsigned wparam) = nullptr;
    void (*pad)(unsigned button, bool down, bool repeat) = nullptr; // pf_pad.h's buttons
};

// False for about 300 ms after each change of screen: a mouse press then is held back,
// and so is its release.
bool app_mode_takes_presses();

// Tests: run the shell over another table of num_app_modes modes (null: the game's), at mode.
void app_modes_use_for_test(const app_mode *table, int mode);

// Routes one window message to the running mode, as the routing table says.
std::intptr_t main_window_proc(const struct platform_message *msg);

// The whole program: start-up, main loop, shutdown. 0 after a normal exit,
// 1 when start-up failed.
int tombweaver_main();
// The program with its command line: --help and --version print and give 0 at once,
// an unknown option prints the usage and gives 2; --fullscreen and --window override
// the saved full-screen choice for this run (the last one counts). Other arguments (all
// after "--") are puzzle files, opened with freeplay_open_files after the splash in
// place of the title; the title comes when none of them can be played.
int tombweaver_main(int argc, char **argv);
