// g_tutorial.h -- the tutorial: three tiny boards that teach the game, step by step, on the board screen
//
// The tutorial is one of the board's clients. Each board shows a short lesson over the grid
// and waits for the player's move (a line filled, cells crossed, a hint asked for and made)
// before the next; solving the board captures it, and Next goes on to the next board. Skip
// leaves at any time. Played to its end or skipped, it is remembered as done in the settings.
#pragma once

#include "engine/ec_types.h"

// The tutorial's boards: a ghost (5x5), a skull (8x8) and a tombstone (10x10).
constexpr int tutorial_num_boards = 3;

// Starts the tutorial on its first board; when it ends (the last board's Next, or Skip) the
// game goes on to mode_after (the map for a new game, the title otherwise).
void tutorial_start(int mode_after);
// Marks the tutorial done in the settings without playing it (the offer declined).
void tutorial_mark_done();

// While the board is the tutorial's: which board and which step of its lesson (the step
// count of the board once it is captured) (tests).
bool tutorial_on();
int tutorial_board();
int tutorial_step();
int tutorial_num_steps(int board);
// The lesson shown now ("" when the tutorial is not on).
const char *tutorial_lesson_text();
