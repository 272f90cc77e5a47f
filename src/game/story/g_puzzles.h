// g_puzzles.h -- the puzzle catalogue (25 pictures built into the program) and the active puzzle
#pragma once

#include "engine/ec_types.h"
#include "puzzle/pz_puzzle.h"

constexpr u32 num_puzzles = 25;

// Makes puzzle_id the active puzzle; an index past the catalogue raises
// "puzzle_id < num_puzzles" and leaves the active puzzle unchanged.
void puzzle_set_active(unsigned long puzzle_id);

// The active puzzle's cells (size x size bytes, row by row, 1 = filled), owned by
// the catalogue; stores its size and tag. Null after an assertion when no puzzle
// is active or size is null (tag may be null).
const u8 *puzzle_get_active_info(int *size, unsigned long *tag);

// The active puzzle as the board plays it: the picture as its goal, the clues its runs
// (made once, at the first call). Null after "current_puzzle < num_puzzles" when no
// puzzle is active.
const pz_puzzle *puzzle_get_active_puzzle();

// The active puzzle's index, invalid_id until one is chosen.
u32 puzzle_get_active();

// Catalogue entry puzzle_id without making it active (size, tag may be null);
// null after "puzzle_id < num_puzzles".
const u8 *puzzle_get_info(u32 puzzle_id, int *size, unsigned long *tag);

// Tests: forget the active puzzle, as at program start.
void puzzle_reset_for_test();
