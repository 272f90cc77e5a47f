// g_player.h -- the player's progress: which puzzles are completed, and its save record
#pragma once

#include "engine/ec_types.h"

// One byte per puzzle, non-zero when completed; these 25 bytes are the whole save file.
struct player_data {
    u8 puzzle_completed[25];
};
static_assert(sizeof(player_data) == 25);

// Whether puzzle_id is completed; false after "puzzle_id < num_puzzles" for a bad index.
bool player_has_completed(unsigned long puzzle_id);
// Marks puzzle_id completed and writes the save file; a bad index raises
// "puzzle_id < num_puzzles" and neither changes nor saves anything.
void player_complete_puzzle(unsigned long puzzle_id);
// Replaces the record with the save file. A file of any other size than 25 bytes
// leaves the record cleared and is moved aside to "<save>.damaged"; the player is told
// so in a plain box (after "save_size == sizeof( player_data )" outside the player's
// build). An unreadable file is left where it is, and said so in the same way.
void player_continue();
// Clears every completion (a new game); nothing is saved.
void player_reset();
// True when the record was read from the save file or gained a completion in this
// session, or is a new game the player chose: only then is it progress worth writing
// (player_reset clears it).
bool player_record_owned();
// Clears the record for a new game over the save file: its first player_save keeps the
// old save as "nonogram.sav.previous" before writing. Nothing is saved here.
void player_new_game();
// Writes the record whole to the save file; false when the write failed.
bool player_save();
// How many puzzles the record holds completed.
int player_num_completed();
// How many captures the save file on disk holds (0 without one, or for a damaged one).
int player_saved_captures();

// The record as it stands (read-only), for tests and the map.
const player_data *player_get_data();
