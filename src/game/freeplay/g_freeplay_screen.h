// g_freeplay_screen.h -- the free-play screen (appmode_freeplay): a size, a grade and a number to play
#pragma once

#include "engine/ec_types.h"

// Any width and height from 5 to 30, each changed by -5, -1, +1 and +5.
constexpr int freeplay_min_side = 5;
constexpr int freeplay_num_steps = 4;
constexpr int freeplay_steps[freeplay_num_steps] = {-5, -1, 1, 5};
constexpr int freeplay_num_grades = 3; // easy, medium, hard: the first three pz_grades

// Button ids: the width's steps are fp_size_id + the step's place, the height's
// fp_size_id + freeplay_num_steps + its place; a grade's fp_grade_id + the grade.
constexpr dword fp_size_id = 200;
constexpr dword fp_grade_id = 210;
constexpr dword fp_random_id = 220;
constexpr dword fp_play_id = 221;
constexpr dword fp_continue_id = 222;
constexpr dword fp_back_id = 223;
constexpr dword fp_recent_id = 230; // + the entry's place in the list
// Recently solved records listed on the screen.
constexpr int freeplay_recent_shown = 5;

// Builds the screen: the title picture, the choices (width, height and grade as chosen
// last, kept in free play's file between runs, a new random number), the chosen puzzle's best, the recent records,
// Play, Continue (when an unfinished board is kept) and Back; the title song.
void appmode_freeplay_init();
void appmode_freeplay_free();
// One frame; the frame after Play or Continue shows "Making the puzzle...", the next makes it.
void appmode_freeplay_update();
// Arrows and Tab move the focus, Return and Space press it (Return with no focus plays),
// digits and Backspace edit the number, Escape goes back to the title.
void appmode_freeplay_keydown(unsigned virtual_key);

// The buttons' handlers: a step of the width or height, a grade, a new random number, play the
// chosen puzzle (asking first, when another puzzle's board is kept unfinished, whether to drop
// it), continue the kept board, back to the title.
void fp_do_choice(dword id);
void fp_do_random(dword id);
void fp_do_play(dword id);
void fp_do_continue(dword id);
void fp_do_back(dword id);
// A Recent entry of a generated puzzle: chooses that puzzle and plays it, as Play does.
void fp_do_recent(dword id);

// The choices shown: the width and height in cells, the grade, the number (tests).
int freeplay_screen_width();
int freeplay_screen_height();
int freeplay_screen_grade();
u32 freeplay_screen_number();
// The chosen puzzle's record shown, or null when it has not been solved (tests).
const struct freeplay_record *freeplay_screen_record();
// The screen's window, invalid_id while it is not shown (tests).
dword freeplay_window_get();
