// ec_splash.cpp -- the splash screen
#include "ui/ec_splash.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_settings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_keys.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

namespace {

dword intro_sound = invalid_id;
kzg_sprite_data logo_head_sprite = {};
kzg_sprite_data logo_words_sprite = {};
s32 splash_state = splash_state_fade_in;
u32 splash_brightness = 0;
bool cursor_shown = true;

constexpr u32 splash_background = 0xFFE7E0C3;

void set_brightness(u32 percent) {
    splash_brightness = percent;
    gfx2d_fullscreen_brightness(percent);
}

void draw_logo() {
    // Laid out in the framebuffer, whatever the window's size.
    const int w = screen_width, h = screen_height;
    gfx2d_fill_screen(splash_background);
    if (logo_head_sprite.data)
        gfx2d_draw_sprite(&logo_head_sprite, (w - 320) / 2, (h / 2 - 320) / 2, 0, 5);
    if (logo_words_sprite.data)
        gfx2d_draw_sprite(&logo_words_sprite, (w - 768) / 2, (h / 2 - 192) / 2 + h / 2, 0, 3);
    ui_note_draw();
    d3d_render();
}

} // namespace

void appmode_splash_init() {
    if (!ec_assert(intro_sound == invalid_id))
        return;
    intro_sound = sound_create(asset_intro_sound);
    if (!ec_assert(intro_sound != invalid_id))
        return;
    d3d_kzg_load_data(asset_logo_head, &logo_head_sprite);
    d3d_kzg_load_data(asset_logo_words, &logo_words_sprite);
    splash_state = splash_state_fade_in;
    set_brightness(0);
    if (cursor_shown) {
        d3d_window_show_cursor(false);
        cursor_shown = false;
    }
}

void appmode_splash_free() {
    if (intro_sound != invalid_id) {
        sound_stop(intro_sound);
        sound_free(intro_sound);
        intro_sound = invalid_id;
    }
    if (logo_head_sprite.data)
        d3d_kzg_free_data(&logo_head_sprite);
    if (logo_words_sprite.data)
        d3d_kzg_free_data(&logo_words_sprite);
    set_brightness(100);
    if (!cursor_shown) {
        d3d_window_show_cursor(true);
        cursor_shown = true;
    }
}

void appmode_splash_update() {
    sound_update();
    draw_logo();

    frame_timer_update();
    if (!frame_tick_is_set())
        return;
    frame_tick_clear();
    switch (splash_state) {
    case splash_state_fade_in:
        set_brightness(splash_brightness + 2 < 100 ? splash_brightness + 2 : 100);
        if (splash_brightness == 100) {
            splash_state = splash_state_wait;
            if (intro_sound != invalid_id) {
                sound_play(intro_sound, false);
                sound_set_volume(intro_sound, settings_get().sounds ? 90 : 0); // sounds off: silent, same hold
            }
        }
        break;
    case splash_state_wait:
        if (intro_sound == invalid_id || !sound_is_playing(intro_sound)) {
            splash_state = splash_state_fade_out;
            set_brightness(95);
        }
        break;
    case splash_state_fade_out:
        set_brightness(splash_brightness > 5 ? splash_brightness - 5 : 0);
        if (splash_brightness == 0)
            set_app_mode(appmode_main_menu); // the splash is gone when this returns
        break;
    }
}

void appmode_splash_lbutton(bool down) {
    if (down)
        splash_state = splash_state_fade_out;
}

void appmode_splash_keydown(unsigned virtual_key) {
    if (virtual_key == vk_escape)
        splash_state = splash_state_fade_out;
}

s32 splash_state_get() { return splash_state; }
u32 splash_brightness_get() { return splash_brightness; }
dword splash_intro_sound_get() { return intro_sound; }
