// ec_data_set.h -- the pack entries the game loads: every name, and the one list of them
#pragma once

#include "engine/ec_types.h"

// Pack names as the loaders ask for them (relative to the data folder, backslashes).
constexpr const char *asset_strings = "xls\\strings.txt";
constexpr const char *asset_retro_font = "ui_gfx\\retro_font.kzg";
constexpr const char *asset_c64_font = "ui_gfx\\c64_font.kzg";
constexpr const char *asset_ui_window = "ui_gfx\\ui_window.kzg";
constexpr const char *asset_dynamic_button = "ui_gfx\\ui_dynamic_button.kzg";
constexpr const char *asset_map_button = "ui_gfx\\map_button.kzg";
constexpr const char *asset_logo_head = "ui_gfx\\logo_head.kzg";
constexpr const char *asset_logo_words = "ui_gfx\\logo_words.kzg";
constexpr const char *asset_icon = "ui_gfx\\icon.kzg";
constexpr const char *asset_nonoblocks = "game\\nonoblocks.kzg";
constexpr const char *asset_start_screen = "game\\start_screen.kzb";
constexpr const char *asset_map = "game\\map.kzb";
constexpr const char *asset_intro_sound = "audio\\intro.kzs";
constexpr const char *asset_click_sound = "audio\\click.kzs";
constexpr const char *asset_fill_sound = "audio\\game_click_2.kzs";
constexpr const char *asset_cross_sound = "audio\\game_click_1.kzs";
constexpr const char *asset_pave_sound = "audio\\game_pave.kzs";
constexpr const char *asset_title_song = "audio\\gamejam_title.kzs";
constexpr const char *asset_game_song = "audio\\gamejam_final.kzs";

// Every name above: a pack that lacks one is refused at start-up and by kzpack verify.
constexpr const char *data_set_entries[] = {
    asset_strings,      asset_retro_font, asset_c64_font,    asset_ui_window,   asset_dynamic_button,
    asset_map_button,   asset_logo_head,  asset_logo_words,  asset_icon,        asset_nonoblocks,
    asset_start_screen, asset_map,        asset_intro_sound, asset_click_sound, asset_fill_sound,
    asset_cross_sound,  asset_pave_sound, asset_title_song,  asset_game_song,
};
constexpr u32 num_data_set_entries = sizeof data_set_entries / sizeof data_set_entries[0];
