// g_game.h -- the two music tracks that outlive the screens: the title song and the game song
#pragma once

#include "engine/ec_types.h"

// Creates title_song from "audio\gamejam_title.kzs"; asserts it was not loaded yet
// and that the sound could be made (it stays invalid_id then).
void main_menu_load_song();
// Creates game_song from "audio\gamejam_final.kzs", with the same checks.
void game_load_song();
// Plays the title song looped at volume 85 unless it is already playing or the
// player has switched the music off.
void main_menu_start_song();
// Stops the title song if it is playing.
void main_menu_stop_song();
// Plays the game song looped at volume 75, on the same terms.
void game_start_song();
// Stops the game song if it is playing.
void game_stop_song();
// Stops and frees both songs and sets them back to invalid_id (the exit mode's first step).
void songs_free();

// The M and N keys, on every screen: switch the music or the sound effects off or on
// and keep the choice in the settings file. Music switched on starts the song of the
// running mode (the title song on the menu, the map and the ending, the game song on the board).
void music_switch(int running_mode);
void sounds_switch();

// The songs' sound ids (invalid_id when not loaded), read-only.
dword title_song_get();
dword game_song_get();
