// g_strings.h -- the rows of the string table "xls\strings.txt" that the screens name
#pragma once

#include "engine/ec_types.h"

// Button labels.
constexpr dword str_mm_play = 4;
constexpr dword str_mm_continue = 5;
constexpr dword str_mm_new_game = 6;
constexpr dword str_mm_exit = 8;
constexpr dword str_map_back = 17;
constexpr dword str_ng_exit = 18;
constexpr dword str_ng_undo = 19;
constexpr dword str_ng_redo = 20;
constexpr dword str_ng_hint = 53;
constexpr dword str_ng_previous = 54; // free play's list
constexpr dword str_ng_next = 55;

// The board's key legend: line i is a key (str_ng_legend_first + 2i) and what it does (the next row).
constexpr dword str_ng_legend_first = 21;
constexpr int num_ng_legend_lines = 9;
// Its lines for the hints and mistake checking, kept after the later rows in the same way.
constexpr dword str_ng_legend_help_first = 49;
constexpr int num_ng_legend_help_lines = 2;
constexpr dword str_ng_legend_check = str_ng_legend_help_first + 2; // mistake checking's key

// The New Game question: caption, first line, second line (with "%i" for the number of
// captures, or the one-capture form), and the Yes and No buttons.
constexpr dword str_mm_new_game_caption = 39;
constexpr dword str_mm_new_game_ask = 40;
constexpr dword str_mm_new_game_release = 41;
constexpr dword str_mm_new_game_release_one = 42;
constexpr dword str_question_yes = 43;
constexpr dword str_question_no = 44;

// The ending: caption, two lines and the button back to the title.
constexpr dword str_end_caption = 45;
constexpr dword str_end_line_1 = 46;
constexpr dword str_end_line_2 = 47;
constexpr dword str_end_title = 48;

// Free play: the title's button, the screen's choices and its texts.
constexpr dword str_mm_freeplay = 56;
constexpr dword str_fp_size_first = 57;  // "5x5" to "30x30", six rows (no longer shown)
constexpr dword str_fp_grade_first = 63; // "Easy", "Medium", "Hard"
constexpr dword str_fp_random = 66;
constexpr dword str_fp_size = 67;
constexpr dword str_fp_grade = 68;
constexpr dword str_fp_number = 69;
constexpr dword str_fp_recent = 70;
constexpr dword str_fp_making = 71;
constexpr dword str_fp_not_solved = 72;
constexpr dword str_fp_best = 73;
constexpr dword str_fp_kept = 74;
// The legend's Escape line on a free-play board, which goes back to the free-play screen.
constexpr dword str_ng_act_back = 75;
// The picture library: the title's button and the screen's caption.
constexpr dword str_mm_library = 76;
// The legend's lines after those, kept at the end of the table in the same way: the palette.
constexpr dword str_ng_legend_more_first = 77;
constexpr int num_ng_legend_more_lines = 1;
// Free play's width and height, and their steps "-5", "-1", "+1", "+5".
constexpr dword str_fp_width = 79;
constexpr dword str_fp_height = 80;
constexpr dword str_fp_step_first = 81;

// A solved board's Next (the client's next puzzle).
constexpr dword str_ng_play_next = 85;
// The title's Tutorial and Gallery buttons.
constexpr dword str_mm_tutorial = 86;
constexpr dword str_mm_gallery = 87;
// The tutorial: its exit button, the offer on the first Play (caption and two lines), the
// legend's words for Escape.
constexpr dword str_tut_skip = 88;
constexpr dword str_tut_offer_caption = 89;
constexpr dword str_tut_offer_ask = 90;
constexpr dword str_tut_offer_more = 91;
constexpr dword str_tut_act_skip = 92;
// The gallery's caption.
constexpr dword str_gal_caption = 93;

// The Workshop: the title's button (also the screen's name), its buttons, windows and
// questions, and My Puzzles, in rows counted from str_ws_first.
constexpr dword str_ws_first = 94;
constexpr dword str_mm_workshop = str_ws_first + 0;
constexpr dword str_ws_suggest = str_ws_first + 1;
constexpr dword str_ws_save = str_ws_first + 2;
constexpr dword str_ws_puzzles = str_ws_first + 3;
constexpr dword str_ws_copy = str_ws_first + 4;
constexpr dword str_ws_paste = str_ws_first + 5;
constexpr dword str_ws_new = str_ws_first + 6;
constexpr dword str_ws_create = str_ws_first + 7;
constexpr dword str_ws_cancel = str_ws_first + 8;
constexpr dword str_ws_new_caption = str_ws_first + 9;
constexpr dword str_ws_save_caption = str_ws_first + 10;
constexpr dword str_ws_replace_caption = str_ws_first + 11;
constexpr dword str_ws_delete_caption = str_ws_first + 12;
constexpr dword str_ws_discard_caption = str_ws_first + 13;
constexpr dword str_ws_edit = str_ws_first + 14;
constexpr dword str_ws_duplicate = str_ws_first + 15;
constexpr dword str_ws_delete = str_ws_first + 16;
constexpr dword str_ws_import_caption = str_ws_first + 17;
constexpr dword str_ws_use = str_ws_first + 18;
constexpr dword str_ws_play = str_ws_first + 19;

// The board's legend while a pad is in use, kept in the same way: its last line is leaving
// (in the client's words), its second last mistake checking.
constexpr dword str_ng_pad_legend_first = 114;
constexpr int num_ng_pad_legend_lines = 8;
