// test_ui_toolkit.cpp -- a toolkit screen driven through the real main loop by scripted mouse input
//
// The program runs over a mode table of its own: start-up loads the toolkit's
// assets and enters a full-screen window with two text buttons and an image
// button, under a framed window; the exit mode frees the assets.
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "ui/ec_cursor.h"

#include <gtest/gtest.h>

namespace {

int play_clicks = 0, image_clicks = 0;
void do_play(dword) { play_clicks++; }
void do_image(dword) { image_clicks++; }
void do_exit(dword) { set_app_mode(appmode_exit); }
void draw_image(dword, int x, int y, int scale, int) { gfx2d_draw_pixel(x, y, 0xFF3060C0u, 64 * scale); }

// "Play" and "Exit" from the game's string table.
dynamic_button_data play_button = {.string_id = 4, .id = 1, .x = 640, .y = 200, .block_width = 8,
                                   .scale = 3, .flags = 1, .on_click = do_play};
dynamic_button_data exit_button = {.string_id = 8, .id = 2, .x = 640, .y = 560, .block_width = 8,
                                   .scale = 3, .flags = 1, .on_click = do_exit};
image_button_data image_button = {.id = 3, .x = 100, .y = 400, .width = 63, .height = 63,
                                  .flags = 0, .draw = draw_image, .on_click = do_image};

void test_init_init() {
    frame_timer_start();
    ui_load_gfx();
    set_app_mode(appmode_main_menu);
}

void screen_init() {
    const dword win = ui_window_add_fullscreen(nullptr);
    dynamic_button_add(win, &play_button);
    dynamic_button_add(win, &exit_button);
    image_button_add(win, &image_button);
    // Over the image button: it takes the clicks there until it is closed.
    const window_data framed = {.flags = window_flag_framed, .caption_id = invalid_id, .x1 = 64,
                                .y1 = 360, .x2 = 256, .y2 = 488, .scale = 2, .draw = nullptr,
                                .on_remove = nullptr};
    ui_window_add(&framed);
}

void screen_update() {
    frame_timer_update();
    gfx2d_fill_screen(0);
    ui_draw();
    d3d_render();
}

void screen_mousemove(int x, int y, unsigned) {
    cursor_update_position(x, y);
    ui_mousemove();
}

void test_exit_init() {
    ui_free_gfx();
    d3d_window_destroy();
}

const app_mode toolkit_modes[num_app_modes] = {
    /* appmode_init */ {.init = test_init_init},
    /* appmode_splash */ {},
    /* appmode_main_menu: the toolkit screen */
    {.init = screen_init,
     .free = ui_window_remove_all,
     .update = screen_update,
     .mousemove = screen_mousemove,
     .lbutton = [](bool down) { ui_lbutton(down); }},
    /* appmode_map */ {},
    /* appmode_necrogram */ {},
    /* appmode_exit */ {.init = test_exit_init},
};

// Pixels of the Play button in the last presented frame that have this colour.
int play_pixels_of(u32 colour) {
    int n = 0;
    for (int y = 200; y <= 272; y++) // 12 slices of 24 wide, 72 high
        for (int x = 640 - 144; x <= 640 + 144; x++)
            n += (frame_pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu);
    return n;
}

TEST(ui_toolkit_e2e, a_toolkit_screen_answers_the_mouse_as_a_player_expects) {
    dialog_recorder rec;
    int white_idle = 0, yellow_idle = 0, yellow_hover = 0, image_clicks_under_window = -1;
    bool framed_gone = false;

    game_script s;
    s.passes(3)
        .then([&] { white_idle = play_pixels_of(0xFFFFFFFFu), yellow_idle = play_pixels_of(0xFFFFFF00u); })
        .move(640, 236)
        .passes(2)
        .then([&] { yellow_hover = play_pixels_of(0xFFFFFF00u); }) // the label turns yellow
        .left_click(640, 236)                                        // Play fires
        .post(msg_lbuttondown, mk_lbutton).move(900, 236).post(msg_lbuttonup) // released off it: nothing
        .left_click(130, 430) // the framed window covers the image button
        .then([&] { image_clicks_under_window = image_clicks; })
        .left_click(240, 370) // its close button removes it
        .then([&] { framed_gone = ui_focus_window() && ui_focus_window()->next == nullptr; })
        .move(30, 700).post(msg_lbuttondown, mk_lbutton).move(130, 430).post(msg_lbuttonup) // fires
        .passes(2)
        .left_click(640, 590); // Exit ends the program

    app_modes_use_for_test(toolkit_modes, appmode_init);
    EXPECT_EQ(s.run(5000), 0);
    app_modes_use_for_test(nullptr, appmode_init);
    for (const recorded_dialog &d : rec.dialogs())
        ADD_FAILURE() << d.caption << ": " << d.text;
    EXPECT_GT(white_idle, 0);
    EXPECT_GT(yellow_hover, yellow_idle);
    EXPECT_EQ(play_clicks, 1);
    EXPECT_EQ(image_clicks_under_window, 0);
    EXPECT_TRUE(framed_gone);
    EXPECT_EQ(image_clicks, 1);
}

} // namespace
