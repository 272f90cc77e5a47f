// g_workshop_play.h -- a Workshop picture played on the real board, as one of the board's clients
#pragma once

#include "game/workshop/g_workshop.h"

// Puts doc's picture on the board and enters it: timed, its best time kept (by its clues)
// when it is solved; leaving goes back to return_mode (the Workshop or My Puzzles).
// Clues that other pictures also fit count any of them as solved.
void workshop_play(const workshop_document &doc, int return_mode);
// True while the board is the Workshop's.
bool workshop_playing();
