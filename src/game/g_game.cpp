// g_game.cpp -- the title and game songs: loaded at start-up, freed by the exit mode
#include "game/g_game.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_settings.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_ui.h"

#include <initializer_list>

namespace {

dword title_song = invalid_id;
dword game_song = invalid_id;

constexpr int title_song_volume = 85;
constexpr int game_song_volume = 75;

// Stops a song if it plays, frees it and forgets its id.
void song_free(dword *song) {
    if (*song == invalid_id)
        return;
    if (sound_is_playing(*song))
        sound_stop(*song);
    sound_free(*song);
    *song = invalid_id;
}

} // namespace

void main_menu_load_song() {
    if (!ec_assert(title_song == invalid_id))
        return;
    title_song = sound_create(asset_title_song);
    ec_assert(title_song != invalid_id);
}

void game_load_song() {
    if (!ec_assert(game_song == invalid_id))
        return;
    game_song = sound_create(asset_game_song);
    ec_assert(game_song != invalid_id);
}

// The volume is set before the song starts so the first mixed buffer is already at its level.
void main_menu_start_song() {
    if (!ec_assert(title_song != invalid_id))
        return;
    if (settings_get().music && !sound_is_playing(title_song)) {
        sound_set_volume(title_song, title_song_volume);
        sound_play(title_song, true);
    }
}

void main_menu_stop_song() {
    if (!ec_assert(title_song != invalid_id))
        return;
    if (sound_is_playing(title_song))
        sound_stop(title_song);
}

void game_start_song() {
    if (!ec_assert(game_song != invalid_id))
        return;
    if (settings_get().music && !sound_is_playing(game_song)) {
        sound_set_volume(game_song, game_song_volume);
        sound_play(game_song, true);
    }
}

void game_stop_song() {
    if (!ec_assert(game_song != invalid_id))
        return;
    if (sound_is_playing(game_song))
        sound_stop(game_song);
}

void songs_free() {
    song_free(&title_song);
    song_free(&game_song);
}

void music_switch(int running_mode) {
    game_settings s = settings_get();
    s.music = !s.music;
    settings_set(s);
    ui_note_switch("Music", s.music);
    if (!s.music) {
        for (dword song : {title_song, game_song})
            if (song != invalid_id && sound_is_playing(song))
                sound_stop(song);
    } else if (running_mode == appmode_main_menu || running_mode == appmode_map || running_mode == appmode_ending ||
               running_mode == appmode_freeplay || running_mode == appmode_library || running_mode == appmode_gallery) {
        main_menu_start_song();
    } else if (running_mode == appmode_necrogram) {
        game_start_song();
    }
}

void sounds_switch() {
    game_settings s = settings_get();
    s.sounds = !s.sounds;
    settings_set(s);
    ui_note_switch("Sounds", s.sounds);
}

dword title_song_get() { return title_song; }
dword game_song_get() { return game_song; }
