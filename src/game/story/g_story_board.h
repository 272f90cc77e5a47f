// g_story_board.h -- the story's locations on the board: the board client of the story
#pragma once

struct board_client;

// The story's client: the active location's picture, its kept marks (beside the save), the
// capture recorded in the save, and back to the map (or on to the ending after the last
// capture) when the board is left.
const board_client *story_board_client();

// Plays location puzzle_id's picture on the board: makes it the active puzzle, hands the
// board to the story and enters it.
void story_board_play(unsigned long puzzle_id);
