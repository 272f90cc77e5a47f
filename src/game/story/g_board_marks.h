// g_board_marks.h -- each location's unfinished marks, kept in a file of their own beside the save
#pragma once

#include "game/board/g_necrogram_board.h"

#include <cstdint>

// The file's name in the save's folder. One line a board: "<puzzle> <size> <cells>
// [<hints used>]", the cells row by row as '.' (empty), '#' (full) and 'x' (cross).
constexpr const char *board_marks_file_name = "nonogram.marks";
// The file's limits, the same for its writer and its reader: no bigger file is ours, and
// the hints of a board are kept up to this many.
constexpr std::uint64_t board_marks_max_file_size = 64 * 1024;
constexpr int board_marks_max_hints = 99999;

// The file follows the save's rules: it is replaced atomically; one the game did not write
// (a line it does not write, cut short, too big) is moved aside to "nonogram.marks.damaged"
// and the player told in a box, once a session; the first failed write of a session is
// told in a box, later ones on stderr.

// Keeps the board's marks (and its hints used) as puzzle_id's unfinished board, or forgets them when the
// board is solved or has no mark.
void board_marks_keep(unsigned long puzzle_id, const necrogram_board *b);
// Puts puzzle_id's kept marks (and hints used) on the board (just loaded with that puzzle) when they are
// of its size, and recomputes solved; false when there are none.
bool board_marks_restore(unsigned long puzzle_id, necrogram_board *b);
// Forgets every location's marks (a new game).
void board_marks_forget_all();

// Tests: a new session, in which a damaged file and a failed write are told again.
void board_marks_forget_told();
