// g_main_menu.cpp -- the title screen with its play / continue / new game / exit buttons
#include "game/title/g_main_menu.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_fileio.h"
#include "engine/ec_settings.h"
#include "game/g_game.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/story/g_board_marks.h"
#include "game/story/g_gallery.h"
#include "game/story/g_player.h"
#include "game/tutorial/g_tutorial.h"
#include "game/workshop/g_workshop_share.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_main.h"
#include "platform/pf_keys.h"
#include "sound/direct_sound.h"
#include "ui/app_modes.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

#include <iterator>

namespace {

dword background_layer = invalid_id;
dword menu_window = invalid_id;

// x is the centre and y the top, in screen pixels (the window is full-screen).
dynamic_button_data play_button = {
    .string_id = str_mm_play,
    .id = mm_play_id,
    .x = 640,
    .y = 286,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_play,
};
dynamic_button_data continue_button = {
    .string_id = str_mm_continue,
    .id = mm_continue_id,
    .x = 640,
    .y = 286,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_continue,
};
dynamic_button_data new_game_button = {
    .string_id = str_mm_new_game,
    .id = mm_play_id,
    .x = 640,
    .y = 342,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_play,
};
// Placed under the story's buttons, whichever are shown.
dynamic_button_data freeplay_button = {
    .string_id = str_mm_freeplay,
    .id = mm_freeplay_id,
    .x = 640,
    .y = 352,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_freeplay,
};
// The Tutorial and the Gallery share a row under Free Play (the Tutorial alone before the
// first capture), and the Library and the Workshop the row under it: 192 pixels wide each,
// 16 apart.
dynamic_button_data tutorial_button = {
    .string_id = str_mm_tutorial,
    .id = mm_tutorial_id,
    .x = 640,
    .y = 352,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_tutorial,
};
dynamic_button_data gallery_button = {
    .string_id = str_mm_gallery,
    .id = mm_gallery_id,
    .x = 640 + 104,
    .y = 352,
    .block_width = 8,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_gallery,
};
dynamic_button_data library_button = {
    .string_id = str_mm_library,
    .id = mm_library_id,
    .x = 640 - 104,
    .y = 418,
    .block_width = 8,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_library,
};
dynamic_button_data workshop_button = {
    .string_id = str_mm_workshop,
    .id = mm_workshop_id,
    .x = 640 + 104,
    .y = 418,
    .block_width = 8,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_workshop,
};
dynamic_button_data exit_button = {
    .string_id = str_mm_exit,
    .id = mm_exit_id,
    .x = 640,
    .y = 572,
    .block_width = 10,
    .scale = 2,
    .flags = 0,
    .on_click = mm_do_exit,
};

// The buttons shown, top to bottom: the keyboard's focus order.
constexpr int max_shown_buttons = 9;
const void *shown_buttons[max_shown_buttons];
int num_shown_buttons = 0;
constexpr int button_pitch = 56;

void add_button(dynamic_button_data *button) {
    button->flags = 0; // no press left over from an earlier visit
    dynamic_button_add(menu_window, button);
    if (num_shown_buttons < max_shown_buttons)
        shown_buttons[num_shown_buttons++] = button;
}

// A button under the story's buttons and those added before it.
void add_button_below(dynamic_button_data *button) {
    button->y = play_button.y + num_shown_buttons * button_pitch;
    add_button(button);
}

void start_new_game() {
    player_new_game();
    board_marks_forget_all();
    set_app_mode(appmode_map);
}

// Yes: the tutorial, then the map of the new game; No: the new game at once, the offer
// not made again.
void tutorial_answered(bool yes) {
    if (!yes) {
        tutorial_mark_done();
        start_new_game();
        return;
    }
    player_new_game();
    board_marks_forget_all();
    tutorial_start(appmode_map);
}

void offer_tutorial() {
    question_open(str_tut_offer_caption, safestring_get_from_id(str_tut_offer_ask),
                  safestring_get_from_id(str_tut_offer_more), tutorial_answered);
}

void new_game_answered(bool yes) {
    if (yes)
        start_new_game();
}

// "Start a new game? Your N captured monsters will be released."
void ask_new_game(int captures) {
    safestring release;
    if (captures == 1) {
        safestring_create_from_id(&release, str_mm_new_game_release_one);
    } else {
        const safestring *pattern = safestring_get_from_id(str_mm_new_game_release);
        safestring_create(&release, nullptr);
        for (const char *c = pattern ? pattern->text : ""; *c; ++c) {
            if (c[0] == '%' && c[1] == 'i') {
                safestring_concat_str(&release, number_text_format(captures));
                ++c;
            } else {
                safestring_concat_char(&release, *c);
            }
        }
    }
    question_open(str_mm_new_game_caption, safestring_get_from_id(str_mm_new_game_ask), &release, new_game_answered);
}

} // namespace

void appmode_main_menu_init() {
    menu_window = ui_window_add_fullscreen(nullptr);
    num_shown_buttons = 0;
    if (save_file_exists()) {
        add_button(&continue_button);
        add_button(&new_game_button);
    } else {
        add_button(&play_button);
    }
    add_button_below(&freeplay_button);
    const bool gallery = gallery_available();
    tutorial_button.x = gallery ? 640 - 104 : 640;
    tutorial_button.block_width = gallery ? 8 : 10;
    add_button_below(&tutorial_button);
    if (gallery) {
        gallery_button.y = tutorial_button.y;
        add_button(&gallery_button);
    }
    library_button.y = tutorial_button.y + button_pitch;
    add_button(&library_button);
    workshop_button.y = library_button.y;
    add_button(&workshop_button);
    add_button(&exit_button);

    background_layer = title_picture_add();
    main_menu_start_song();
}

void appmode_main_menu_free() {
    title_picture_remove(&background_layer);
    ui_window_remove_all();
    question_forget();
    menu_window = invalid_id;
}

void appmode_main_menu_keydown(unsigned virtual_key) {
    if (platform_key_held(vk_lbutton) || platform_key_held(vk_rbutton))
        return; // the mouse is in the middle of a click
    if (question_keydown(virtual_key))
        return;
    if (virtual_key == 'V' && platform_key_held(vk_control)) {
        workshop_paste_code(); // a picture's code opens in the Workshop
        return;
    }
    ui_focus_key(virtual_key, shown_buttons, num_shown_buttons);
}

void mm_do_play(dword id) {
    if (!ec_assert(id == mm_play_id))
        return;
    // Captures on disk are not thrown away without asking.
    if (const int captures = player_saved_captures(); captures > 0) {
        ask_new_game(captures);
        return;
    }
    if (!save_file_exists() && !settings_get().tutorial_done) {
        offer_tutorial(); // the first Play
        return;
    }
    start_new_game();
}

void mm_do_continue(dword id) {
    if (!ec_assert(id == mm_continue_id))
        return;
    if (!ec_assert(save_file_exists()))
        return;
    player_continue();
    set_app_mode(appmode_map);
}

void mm_do_exit(dword id) {
    if (!ec_assert(id == mm_exit_id))
        return;
    // Only progress this session read or made is written: a save it never read stays.
    if (player_record_owned())
        player_save();
    main_menu_stop_song();
    set_app_mode(appmode_exit);
}

void mm_do_freeplay(dword id) {
    if (!ec_assert(id == mm_freeplay_id))
        return;
    set_app_mode(appmode_freeplay);
}

void mm_do_library(dword id) {
    if (!ec_assert(id == mm_library_id))
        return;
    set_app_mode(appmode_library);
}

void mm_do_workshop(dword id) {
    if (!ec_assert(id == mm_workshop_id))
        return;
    set_app_mode(appmode_workshop);
}

void mm_do_tutorial(dword id) {
    if (!ec_assert(id == mm_tutorial_id))
        return;
    tutorial_start(appmode_main_menu);
}

void mm_do_gallery(dword id) {
    if (!ec_assert(id == mm_gallery_id))
        return;
    set_app_mode(appmode_gallery);
}

dword mm_window_get() { return menu_window; }
