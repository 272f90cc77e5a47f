// g_story_board.cpp -- the story's locations on the board: what the board asks of the story
#include "game/story/g_story_board.h"

#include "game/board/g_board_client.h"
#include "game/g_strings.h"
#include "game/story/g_board_marks.h"
#include "game/story/g_ending.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "ui/app_modes.h"

#include <string>

namespace {

// Completed puzzles when the board opened: whether leaving it ends the game.
int captures_at_entry = 0;

const pz_puzzle *puzzle() {
    captures_at_entry = player_num_completed();
    return puzzle_get_active_puzzle();
}

bool restore(necrogram_board *b, double *) { return board_marks_restore(puzzle_get_active(), b); }

void keep(const necrogram_board *b, double) { board_marks_keep(puzzle_get_active(), b); }

void captured(const necrogram_board *b, double) {
    player_complete_puzzle(puzzle_get_active());
    board_marks_keep(puzzle_get_active(), b); // a captured board has nothing unfinished
}

// The last capture ends the game; every other visit goes back to the map.
void leave() { set_app_mode(ending_due(captures_at_entry) ? appmode_ending : appmode_map); }

// "Location 7 (3 of 25 captured)": the location and how far along the story the player is.
std::string picture_name() {
    return "Location " + std::to_string(puzzle_get_active() + 1) + " (" + std::to_string(player_num_completed()) +
           " of " + std::to_string(num_puzzles) + " captured)";
}

const board_client client = {
    .puzzle = puzzle,
    .restore = restore,
    .keep = keep,
    .captured = captured,
    .leave = leave,
    .list_place = nullptr,
    .step = nullptr,
    .caption = nullptr,
    .note = nullptr,
    .exit_label = str_ng_exit,
    .escape_label = str_ng_legend_first + 2 * (num_ng_legend_lines - 1) + 1,
    .timed = false,
    .banner = nullptr,
    .story_layout = true,
    .picture_name = picture_name,
};

} // namespace

const board_client *story_board_client() { return &client; }

void story_board_play(unsigned long puzzle_id) {
    puzzle_set_active(puzzle_id);
    necrogram_client_set(&client);
    set_app_mode(appmode_necrogram);
}
