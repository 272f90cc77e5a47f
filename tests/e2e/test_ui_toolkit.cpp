// test_ui_toolkit.cpp -- a toolkit screen driven through the real main loop by scripted mouse input
//
// The program runs over a small mode table of its own: start-up loads the
// toolkit's assets and enters a screen with a full-screen window holding a text
// button and an image button, and a framed window on top; the exit mode frees
// the assets and closes the window. Input is posted as window messages once per
// pass of the loop; frames are read back as presented.
#include "engine/ec_assert.h"
#include "engine/ec_cursor.h"
#include "engine/ec_ui.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "sound/direct_sound.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

enum : dword { str_play = 4, str_exit = 8 };
enum : dword { play_id = 1, image_id = 2, exit_id = 3 };

int play_clicks = 0;
int image_clicks = 0;
std::vector<int> image_states;

void do_play(dword id) {
    if (ec_assert(id == play_id))
        play_clicks++;
}
void do_image(dword id) {
    if (ec_assert(id == image_id))
        image_clicks++;
}
void do_exit(dword id) {
    if (ec_assert(id == exit_id))
        set_app_mode(appmode_exit);
}
void draw_image(dword, int x, int y, int scale, int state) {
    image_states.push_back(state);
    gfx2d_draw_pixel(x, y, 0xFF3060C0u, 64 * scale);
}

dynamic_button_data play_button = {.string_id = str_play, .id = play_id, .x = 640, .y = 200,
                                   .block_width = 8, .scale = 3, .flags = 1, .on_click = do_play};
dynamic_button_data exit_button = {.string_id = str_exit, .id = exit_id, .x = 640, .y = 560,
                                   .block_width = 8, .scale = 3, .flags = 1, .on_click = do_exit};
image_button_data image_button = {.id = image_id, .x = 100, .y = 400, .width = 63, .height = 63,
                                  .flags = 0, .draw = draw_image, .on_click = do_image};
dword framed_window = invalid_id;

void test_init_init() {
    frame_timer_start();
    ui_load_gfx();
    set_app_mode(appmode_main_menu);
}

void screen_init() {
    const dword win = ui_window_add_fullscreen(nullptr);
    play_button.flags = 1;
    exit_button.flags = 1;
    image_button.flags = 0;
    dynamic_button_add(win, &play_button);
    dynamic_button_add(win, &exit_button);
    image_button_add(win, &image_button);
    // A framed window over the image button: it takes the clicks there until closed.
    const window_data framed = {.flags = window_flag_framed, .caption_id = invalid_id, .x1 = 64,
                                .y1 = 360, .x2 = 64 + 192, .y2 = 360 + 128, .scale = 2,
                                .draw = nullptr, .on_remove = nullptr};
    framed_window = ui_window_add(&framed);
}

void screen_free() { ui_window_remove_all(); }

void screen_update() {
    frame_timer_update();
    sound_update();
    gfx2d_fill_screen(0);
    ui_draw();
    d3d_render();
}

void screen_mousemove(int x, int y, unsigned) {
    cursor_update_position(x, y);
    ui_mousemove();
}

void screen_lbutton(bool down) { ui_lbutton(down); }

void test_exit_init() {
    ui_free_gfx();
    d3d_window_destroy();
}

const app_mode toolkit_modes[num_app_modes] = {
    /* appmode_init */ {.init = test_init_init},
    /* appmode_splash */ {},
    /* appmode_main_menu: the toolkit screen */
    {.init = screen_init,
     .free = screen_free,
     .update = screen_update,
     .mousemove = screen_mousemove,
     .lbutton = screen_lbutton},
    /* appmode_map */ {},
    /* appmode_necrogram */ {},
    /* appmode_exit */ {.init = test_exit_init},
};

// One step per pass of the main loop; each step returns true when done.
struct script {
    std::vector<std::function<bool()>> steps;
    size_t next = 0;
    int passes = 0;

    script &then(std::function<void()> f) {
        steps.push_back([f] {
            f();
            return true;
        });
        return *this;
    }
    script &frames(int n) {
        for (int i = 0; i < n; i++)
            steps.push_back([] { return true; });
        return *this;
    }
    script &post(std::uint32_t message, std::int32_t lparam = 0) {
        return then([=] { platform_post_message(message, 0, lparam); });
    }
    script &move(int x, int y) { return post(msg_mousemove, (std::int32_t)((std::uint32_t)y << 16 | (std::uint32_t)x)); }
    script &down() { return post(msg_lbuttondown); }
    script &up() { return post(msg_lbuttonup); }
    script &click(int x, int y) { return move(x, y).down().up(); }

    static void hook(void *context) {
        script *s = (script *)context;
        platform_clock_advance(16);
        if (++s->passes > 5000) {
            platform_post_message(msg_close, 0, 0);
            return;
        }
        if (s->next < s->steps.size() && s->steps[s->next]())
            s->next++;
    }
};

// Pixels of the last presented frame inside a rectangle that have this colour.
int count_colour(int x1, int y1, int x2, int y2, u32 colour) {
    int w = 0, h = 0;
    const std::uint32_t *frame = platform_video_captured_frame(&w, &h, nullptr);
    if (!frame)
        return -1;
    int n = 0;
    for (int y = y1; y <= y2 && y < h; y++)
        for (int x = x1; x <= x2 && x < w; x++)
            n += (frame[y * w + x] & 0xFFFFFFu) == (colour & 0xFFFFFFu) ? 1 : 0;
    return n;
}

TEST(ui_toolkit_e2e, a_toolkit_screen_answers_the_mouse_as_a_player_expects) {
    dialog_recorder rec;
    manual_clock clock(1000);
    play_clicks = image_clicks = 0;
    image_states.clear();

    // Play: 12 slices of 24 = 288 wide, centred at 640; 72 high from y 200.
    const int px1 = 640 - 144, py1 = 200, px2 = 640 + 144, py2 = 272;
    int yellow_idle = -1, yellow_hover = -1, white_idle = -1, white_pressed_off = -1;
    bool framed_gone = false;
    int clicks_before_close = -1;

    script s;
    s.frames(3)
        .then([&] {
            yellow_idle = count_colour(px1, py1, px2, py2, 0xFFFFFF00u);
            white_idle = count_colour(px1, py1, px2, py2, 0xFFFFFFFFu);
        })
        // Hover: the label turns yellow.
        .move(640, 236)
        .frames(2)
        .then([&] { yellow_hover = count_colour(px1, py1, px2, py2, 0xFFFFFF00u); })
        // A click on Play fires once.
        .down()
        .up()
        .frames(1)
        // Pressed on Play, dragged off, released elsewhere: nothing fires, and
        // while off it the button is drawn as normal.
        .down()
        .move(900, 236)
        .frames(2)
        .then([&] { white_pressed_off = count_colour(px1, py1, px2, py2, 0xFFFFFFFFu); })
        .up()
        // The framed window covers the image button: a click there is its own.
        .click(130, 430)
        .frames(1)
        .then([&] { clicks_before_close = image_clicks; })
        // Its close button (the last two caption columns) removes it.
        .click(64 + 192 - 16, 370)
        .frames(1)
        // The window under the cursor is now the full-screen one, the oldest.
        .then([&] { framed_gone = ui_focus_window() && ui_focus_window()->next == nullptr; })
        // Pressed on the image button (drawn pressed), released off it: no click.
        .move(130, 430)
        .down()
        .frames(2)
        .move(300, 430)
        .up()
        .frames(1)
        // Pressed away from any button, released over the image button: it fires.
        .move(30, 700)
        .down()
        .move(130, 430)
        .up()
        .frames(2)
        // Exit switches to the exit mode, which closes the window.
        .click(640, 590);

    static const int modes[2][2] = {{1280, 720}, {1920, 1080}};
    platform_video_set_modes_for_test(modes, 2);
    platform_video_set_capture(true);
    platform_set_loop_hook(&script::hook, &s);
    app_modes_use_for_test(toolkit_modes, appmode_init);
    const int result = tombweaver_main();
    app_modes_use_for_test(nullptr, appmode_init);
    platform_set_loop_hook(nullptr, nullptr);
    platform_video_set_capture(false);
    platform_video_set_modes_for_test(nullptr, 0);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(s.next, s.steps.size()) << "the program ended before the script";
    EXPECT_LT(s.passes, 5000) << "the script stalled";
    for (const recorded_dialog &d : rec.dialogs())
        ADD_FAILURE() << d.caption << ": " << d.text;

    EXPECT_EQ(play_clicks, 1);
    EXPECT_EQ(clicks_before_close, 0);
    EXPECT_TRUE(framed_gone);
    EXPECT_EQ(image_clicks, 1);
    EXPECT_GT(white_idle, 0) << "the idle label is white";
    EXPECT_GT(yellow_hover, yellow_idle) << "the label turns yellow under the mouse";
    EXPECT_GT(white_pressed_off, 0);
    // The image button was drawn in its normal, hover and pressed states.
    bool saw[3] = {};
    for (int st : image_states)
        if (st >= 0 && st < 3)
            saw[st] = true;
    EXPECT_TRUE(saw[image_button_sprite_normal]);
    EXPECT_TRUE(saw[image_button_sprite_over]);
    EXPECT_TRUE(saw[image_button_sprite_down]);
}

} // namespace
