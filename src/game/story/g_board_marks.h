// g_board_marks.h -- each location's unfinished marks, kept in a file of their own beside the save
#pragma once

#include "game/board/g_necrogram_board.h"

// The file's name in the save's folder. One line a board: "<puzzle> <size> <cells>
// [<hints used>]", the cells row by row as '.' (empty), '#' (full) and 'x' (cross).
constexpr const char *board_marks_file_name = "nonogram.marks";

// Keeps the board's marks (and its hints used) as puzzle_id's unfinished board, or forgets them when the
// board is solved or has no mark. The file is replaced atomically; a failure to write
// is reported once on stderr (the marks are a comfort: the save does not depend on them).
void board_marks_keep(unsigned long puzzle_id, const necrogram_board *b);
// Puts puzzle_id's kept marks (and hints used) on the board (just loaded with that puzzle) when they are
// of its size, and recomputes solved; false when there are none.
bool board_marks_restore(unsigned long puzzle_id, necrogram_board *b);
// Forgets every location's marks (a new game).
void board_marks_forget_all();
