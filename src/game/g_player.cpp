// g_player.cpp -- the player record and its save file
#include "game/g_player.h"

#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "game/g_puzzles.h"

#include <cstring>

static_assert(sizeof(player_data) == num_puzzles);

namespace {
player_data player = {};
// A new game was started over a save: keep that save aside before the first write.
bool keep_previous_save = false;
}

bool player_has_completed(unsigned long puzzle_id) {
    if (!ec_assert(puzzle_id < num_puzzles))
        return false;
    return player.puzzle_completed[puzzle_id] != 0;
}

void player_complete_puzzle(unsigned long puzzle_id) {
    if (!ec_assert(puzzle_id < num_puzzles))
        return;
    player.puzzle_completed[puzzle_id] = 1;
    player_save();
}

void player_continue() {
    player_reset();
    keep_previous_save = false;
    u32 save_size = 0;
    u8 *buffer = save_file_load(&save_size);
    if (!buffer)
        return; // the read has reported why
    if (ec_assert_text(save_size == sizeof(player_data), "save_size == sizeof( player_data )"))
        std::memcpy(&player, buffer, sizeof(player_data));
    zel_free(buffer);
}

void player_reset() { std::memset(&player, 0, sizeof(player)); }

void player_new_game() {
    player_reset();
    keep_previous_save = save_file_exists();
}

bool player_save() {
    if (keep_previous_save) {
        save_file_keep_previous();
        keep_previous_save = false;
    }
    return save_file_save(&player, sizeof(player_data));
}

int player_num_completed() {
    int n = 0;
    for (u8 b : player.puzzle_completed)
        n += b != 0;
    return n;
}

int player_saved_captures() {
    if (!save_file_exists())
        return 0;
    u32 size = 0;
    u8 *buffer = save_file_load(&size);
    if (!buffer)
        return 0;
    int n = 0;
    for (u32 i = 0; size == sizeof(player_data) && i < size; ++i)
        n += buffer[i] != 0;
    zel_free(buffer);
    return n;
}

const player_data *player_get_data() { return &player; }
