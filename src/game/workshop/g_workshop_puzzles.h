// g_workshop_puzzles.h -- My Puzzles (appmode_my_puzzles): the saved pictures, to edit, play, copy and delete
#pragma once

#include "engine/ec_types.h"

#include <string>

enum : dword {
    mp_row_id = 400, // the list's rows: mp_row_id + the row on the screen
    mp_edit_id = 420,
    mp_play_id,
    mp_duplicate_id,
    mp_delete_id,
    mp_back_id,
};
constexpr int my_puzzles_rows = 9;

// Builds the screen over the title picture: the list of the puzzles folder (the picture
// last chosen still chosen), the chosen picture large, and Edit, Play, Duplicate, Delete, Back.
void appmode_my_puzzles_init();
void appmode_my_puzzles_free();
void appmode_my_puzzles_update();
// Up and Down choose, Page Up and Page Down a page at a time, Return edits, P plays,
// Delete deletes (after the question), Escape goes back to the Workshop.
void appmode_my_puzzles_keydown(unsigned virtual_key);
void mp_do_button(dword id);

// The list shown (tests): how many, the chosen one's place and path ("" for none).
int my_puzzles_count();
int my_puzzles_chosen();
std::string my_puzzles_chosen_path();
// Chooses the picture at path when it is in the list.
void my_puzzles_choose(const std::string &path);
