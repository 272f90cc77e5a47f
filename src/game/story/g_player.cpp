// g_player.cpp -- the player record and its save file
#include "game/story/g_player.h"

#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "game/story/g_puzzles.h"
#include "platform/pf_system.h"

#include <cstdio>
#include <cstring>

static_assert(sizeof(player_data) == num_puzzles);

namespace {

player_data player = {};
// The record holds what this session read from the save or completed itself: only
// then does it stand for the player's progress (a record never filled must not
// replace a save it did not read).
bool record_owned = false;
// A new game was started over a save: keep that save aside before the first write.
bool keep_previous_save = false;

// A save that Continue could not use: the player is told in plain words and plays on.
void tell_save_unread(const char *text) {
    std::fprintf(stderr, "tombweaver: %s\n", text);
    platform_message_box("Saved Game Not Read", text, platform_mb_ok, platform_mb_icon_warning);
}

} // namespace

bool player_has_completed(unsigned long puzzle_id) {
    if (!ec_assert(puzzle_id < num_puzzles))
        return false;
    return player.puzzle_completed[puzzle_id] != 0;
}

void player_complete_puzzle(unsigned long puzzle_id) {
    if (!ec_assert(puzzle_id < num_puzzles))
        return;
    player.puzzle_completed[puzzle_id] = 1;
    record_owned = true;
    player_save();
}

void player_continue() {
    player_reset();
    keep_previous_save = false;
    u32 save_size = 0;
    u8 *buffer = save_file_load(&save_size);
    if (!buffer) {
        tell_save_unread("Your saved game could not be read; it was left as it was. A new game starts.");
        return;
    }
    const bool whole = ec_assert_env_text(save_size == sizeof(player_data), "save_size == sizeof( player_data )");
    if (whole) {
        std::memcpy(&player, buffer, sizeof(player_data));
        record_owned = true;
    }
    zel_free(buffer);
    if (whole)
        return;
    if (save_file_set_aside()) {
        tell_save_unread(
            "Your saved game could not be read; it was kept as nonogram.sav.damaged. "
            "A new game starts.");
        return;
    }
    static char text[256];
    std::snprintf(text, sizeof text,
                  "Your saved game could not be read, nor moved aside (%s); it was left as it was. "
                  "A new game starts.",
                  platform_file_error_text());
    tell_save_unread(text);
}

void player_reset() {
    std::memset(&player, 0, sizeof(player));
    record_owned = false;
}

bool player_record_owned() { return record_owned; }

void player_new_game() {
    player_reset();
    keep_previous_save = save_file_exists();
    record_owned = true; // the player chose it: the title's Exit writes it
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
