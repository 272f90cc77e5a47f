// The UI toolkit's window stack, button layout, focus and click dispatch, and its framed windows
// as drawn; the 16 ms frame timer;
// spark bursts filling the pool (sparks move on frame ticks only, which stop while the window is
// inactive: the timer's table). (Cursor conversion: test_window.)
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "sound/direct_sound.h"
#include "test_gfx_util.h"
#include "tw_test.h"
#include "ui/ec_cursor.h"
#include "ui/ec_particles.h"
#include "ui/ec_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

enum : dword { str_ten = 0, str_eleven = 1, str_ok = 2, str_caption = 3, num_test_strings };
string_definition test_strings[num_test_strings];

void use_test_strings() {
    const char *texts[] = {"0123456789", "0123456789A", "OK", "Bones"};
    for (int i = 0; i < (int)num_test_strings; i++)
        safestring_create(&test_strings[i].string, texts[i]);
    string_table_use_for_test(test_strings, num_test_strings);
}

void move_to(int x, int y) {
    cursor_update_position(x, y);
    ui_mousemove();
}

std::vector<dword> clicks;
void record_click(dword id) { clicks.push_back(id); }

class ui_test : public ::testing::Test {
protected:
    dialog_recorder rec;

    void SetUp() override {
        memory_system_init();
        d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
        use_test_strings();
        ui_window_remove_all();
        clicks.clear();
        move_to(0, 0);
    }
    void TearDown() override {
        ui_window_remove_all();
        EXPECT_EQ(memory_num_allocations(), 0) << "the toolkit left blocks behind";
        string_table_use_for_test(nullptr, 0);
    }

    static dword add(int x1, int y1, int x2, int y2, dword flags = 0, int scale = 1) {
        const window_data w = {.flags = flags,
                               .caption_id = invalid_id,
                               .x1 = x1,
                               .y1 = y1,
                               .x2 = x2,
                               .y2 = y2,
                               .scale = scale,
                               .draw = nullptr,
                               .on_remove = nullptr};
        return ui_window_add(&w);
    }
    static const ui_element *newest(dword win) { return ui_get_window_from_id(win)->elements; }
};

dynamic_button_data text_button(dword string_id, s32 x, s32 y, s32 block_width, s32 scale) {
    return {.string_id = string_id,
            .id = 7,
            .x = x,
            .y = y,
            .block_width = block_width,
            .scale = scale,
            .flags = 1,
            .on_click = record_click};
}

image_button_data image_button(s32 x, s32 y, s32 w, s32 h) {
    return {.id = 9, .x = x, .y = y, .width = w, .height = h, .flags = 0, .draw = nullptr, .on_click = record_click};
}

TEST_F(ui_test, window_ids_run_out_at_thirty_two_and_are_reused_lowest_first) {
    for (int i = 0; i < max_ui_windows; i++)
        ASSERT_EQ(add(0, 0, 10, 10), ui_window_id_start + (dword)i);
    const int blocks = memory_num_allocations();
    EXPECT_EQ(add(0, 0, 10, 10), invalid_id);
    EXPECT_TRUE(rec.asserted("w->window_id != invalid_id"));
    EXPECT_EQ(memory_num_allocations(), blocks);
    ui_window_remove(117);
    ui_window_remove(101);
    EXPECT_EQ(add(0, 0, 10, 10), 101u);
    EXPECT_EQ(add(0, 0, 10, 10), 117u);
    // The full-screen window spans the framebuffer whatever the window size.
    ui_window_remove_all();
    d3d_window_set_for_test(1024, 768, 1.25f, 0.9375f);
    const ui_window *w = ui_get_window_from_id(ui_window_add_fullscreen(nullptr));
    EXPECT_EQ(std::tuple(w->window_id, w->x2, w->y2), std::tuple(100u, 1280, 720));
}

TEST_F(ui_test, framed_windows_must_be_whole_slices_of_at_least_four) {
    EXPECT_NE(add(0, 0, 32, 32, window_flag_framed), invalid_id);
    EXPECT_NE(add(100, 100, 164, 164, window_flag_framed, 2), invalid_id);
    EXPECT_NE(add(0, 0, 100, 7), invalid_id) << "unframed windows are not validated";
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(add(0, 0, 100, 32, window_flag_framed), invalid_id);
    EXPECT_EQ(add(0, 0, 32, 24, window_flag_framed), invalid_id);
    EXPECT_EQ(add(0, 0, 32, 32, window_flag_framed, 0), invalid_id);
    EXPECT_EQ(rec.assertions(),
              (std::vector<std::string>{"( width % ss ) == 0", "height >= ss * 4", "win->scale >= 1"}));
}

TEST_F(ui_test, the_close_button_lies_inside_its_window_and_removes_it) {
    const dword below = add(0, 0, 1279, 719);
    const dword framed = add(64, 40, 64 + 96, 40 + 64, window_flag_framed, 2);
    const ui_element *close = newest(framed);
    // The last two caption columns, 32 pixels at scale 2, one pixel short of x2.
    EXPECT_EQ(close->x1, 64 + 96 - 32);
    EXPECT_EQ(close->x2, 64 + 96 - 1);
    EXPECT_EQ(close->y2, 40 + 31);
    move_to(150, 50);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    // Gone, and the focus moved to the window that was under it.
    EXPECT_EQ(ui_focus_window()->window_id, below);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(add(0, 0, 1, 1), framed);
}

// A button is its block width plus four slices wide: "OK" in 2 blocks at scale 1 spans 48 pixels.
TEST_F(ui_test, text_buttons_are_kept_on_screen) {
    const dword win = add(100, 100, 1279, 719);
    // Pushed to the screen's x 0 (not the window's x1), and back inside x2.
    dynamic_button_data left = text_button(str_ok, -90, 0, 2, 1), right = text_button(str_ok, 1170, 0, 2, 1);
    dynamic_button_add(win, &left);
    EXPECT_EQ(std::pair(newest(win)->x1, newest(win)->x2), std::pair(0, 48));
    dynamic_button_add(win, &right);
    EXPECT_EQ(std::pair(newest(win)->x1, newest(win)->x2), std::pair(1278 - 48, 1278));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_test, refused_buttons_leave_nothing_behind) {
    const dword win = add(100, 100, 300, 200);
    dynamic_button_data too_long = text_button(str_eleven, 100, 0, 10, 1);
    dynamic_button_add(win, &too_long);
    image_button_data refused[] = {image_button(150, 0, 50, 10), image_button(0, -101, 10, 10)};
    for (image_button_data &b : refused)
        image_button_add(win, &b);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"(int)safestring_length( s ) <= button->block_width",
                                                          "new_button->x2 < win->x2", "new_button->y1 >= 0"}));
    EXPECT_EQ(newest(win), nullptr);
    move_to(150, 105);
    EXPECT_EQ(ui_focus_element(), nullptr);
}

TEST_F(ui_test, focus_includes_edges_and_the_newest_window_hides_older_buttons) {
    EXPECT_FALSE(ui_lbutton(false)); // no window at all
    const dword older = add(0, 0, 400, 400);
    image_button_data b = image_button(100, 100, 50, 50);
    image_button_add(older, &b);
    move_to(150, 150);
    EXPECT_EQ(ui_focus_element()->data, &b);
    move_to(151, 150);
    EXPECT_EQ(ui_focus_element(), nullptr);
    // Away from elements, ui_lbutton takes the click over a newer window or none.
    EXPECT_FALSE(ui_lbutton(false)); // the oldest window
    add(90, 90, 130, 130);
    move_to(120, 120);
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_TRUE(clicks.empty());
    move_to(800, 600);
    EXPECT_TRUE(ui_lbutton(false)); // over no window
    move_to(140, 140);              // the part the newer window leaves free
    EXPECT_EQ(ui_focus_element()->data, &b);
    ui_get_window_from_id(older)->elements->active = false;
    ui_mousemove();
    EXPECT_EQ(ui_focus_element(), nullptr) << "inactive elements are never focused";
}

TEST_F(ui_test, a_click_fires_on_release_over_an_enabled_button_wherever_it_was_pressed) {
    const dword win = add(0, 0, 1279, 719);
    dynamic_button_data t = text_button(str_ok, 640, 100, 4, 2);
    image_button_data i = image_button(100, 400, 64, 64), off = image_button(300, 400, 64, 64);
    off.on_click = nullptr;
    dynamic_button_add(win, &t);
    image_button_add(win, &i);
    image_button_add(win, &off);

    move_to(640, 110);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_EQ(t.flags, 1u | button_flag_down);
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(t.flags, 1u);
    EXPECT_EQ(clicks, (std::vector<dword>{7}));
    // Disabled, or without a handler: the click is not taken. (Pressed away and released over
    // a button, or the other way round: the returning player's new-game run.)
    image_button_disable(&i);
    for (int x : {130, 330}) {
        move_to(x, 430);
        EXPECT_FALSE(ui_lbutton(true) || ui_lbutton(false));
    }
    EXPECT_EQ(clicks.size(), 1u);
}

// A click handler that rebuilds the screen, as a mode switch does.
dynamic_button_data rebuilt_button;
void rebuild_screen(dword id) {
    clicks.push_back(id);
    rebuilt_button = text_button(str_ok, 640, 300, 4, 1);
    dynamic_button_add(ui_window_add_fullscreen(nullptr), &rebuilt_button);
}

TEST_F(ui_test, no_click_reaches_a_removed_element) {
    const dword win = add(0, 0, 1279, 719);
    const dword top = add(100, 100, 400, 400);
    image_button_data b = image_button(10, 10, 50, 50);
    image_button_add(top, &b);
    move_to(130, 130);
    ui_window_remove(top);
    EXPECT_EQ(ui_focus_window()->window_id, win);
    EXPECT_FALSE(ui_lbutton(true));
    image_button_add(win, &b);
    move_to(20, 20);
    ui_window_remove_all();
    EXPECT_EQ(ui_focus_element(), nullptr);
    EXPECT_FALSE(ui_lbutton(false));
    EXPECT_TRUE(clicks.empty());

    // A handler that replaces the whole stack while its own click is dispatched.
    dynamic_button_data t = text_button(str_ok, 130, 120, 4, 1);
    t.on_click = rebuild_screen;
    dynamic_button_add(ui_window_add_fullscreen(nullptr), &t);
    move_to(130, 130);
    ui_lbutton(true);
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(clicks, std::vector<dword>{7});
    EXPECT_EQ(ui_focus_element(), nullptr) << "the new button waits for a mouse move";
    move_to(640, 310);
    EXPECT_EQ(ui_focus_element()->data, &rebuilt_button);
    EXPECT_EQ(rec.count(), 0u);
}

// Each row: clock times in ms, then whether the frame tick is set after each
// update (the timer starts at 0; the window goes inactive where active is false).
TEST(FrameTimer, TicksEvery16msCatchesUpOneTickPerCallAndDropsALongStall) {
    const struct {
        const char *what;
        std::vector<unsigned> times;
        std::vector<bool> ticks;
        bool active;
    } cases[] = {
        {"every 16 ms from the tick time, not the call", {10, 16, 20, 40, 41, 47, 48}, {0, 1, 0, 1, 0, 0, 1}, true},
        {"a late caller catches up one tick per call", {60, 60, 60, 60}, {1, 1, 1, 0}, true},
        {"a long stall drops the backlog", {300, 315, 316}, {1, 0, 1}, true},
        {"nothing moves while inactive", {500, 1500}, {0, 0}, false},
    };
    manual_clock clock;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        window_active_set(true);
        clock.set(0);
        frame_timer_start();
        window_active_set(c.active);
        for (size_t i = 0; i < c.times.size(); ++i) {
            clock.set(c.times[i]);
            frame_timer_update();
            EXPECT_EQ(frame_tick_is_set(), c.ticks[i]) << c.times[i];
        }
    }
    window_active_set(true);
}

TEST(particles, five_hundred_live_sparks_leave_room_for_twelve) {
    // 500 live: one burst aged until exactly 4 of it are left, then 31 bursts.
    bool reached = false;
    for (unsigned seed = 1; seed < 100 && !reached; seed++) {
        std::srand(seed);
        particles_clear();
        particle_burst(10, 10);
        while (particles_num_alive() > 4)
            particles_update();
        reached = particles_num_alive() == 4;
    }
    ASSERT_TRUE(reached);
    for (int i = 0; i < 31; i++)
        particle_burst(20, 20);
    ASSERT_EQ(particles_num_alive(), 500);

    particle_burst(640, 360);
    EXPECT_EQ(particles_num_alive(), max_particles);
    EXPECT_EQ(std::count_if(particles_pool(), particles_pool() + max_particles,
                            [](const particle &p) { return p.x == 640.0f; }),
              12);
    particles_clear();
}

// The toolkit drawn into the real framebuffer and read back. The test pack gives every frame of
// the toolkit's sheets its own solid colour, and the font a single ink pixel at each glyph's
// top-left, so one pixel tells which frame was drawn where and exactly where a label starts.
constexpr u32 black = 0xFF000000u;
constexpr u32 white = 0xFFFFFFFFu;

u32 fb_px(int x, int y) { return gfx2d_screen_buffer()[y * screen_width + x]; }

u32 window_colour(int frame) { return 0xFF200000u | (u32)(frame + 1) << 8 | 0x11u; }
u32 button_colour(int frame) { return 0xFF002000u | (u32)(frame + 1) << 16 | 0x22u; }

test_sprite solid(int w, int h, u32 colour) { return {w, h, std::vector<uint32_t>((size_t)(w * h), colour)}; }

// The graphics stack over the toolkit's sheets and click sound, the sound device and a string table.
class ui_draw_test : public gfx_test::stack {
protected:
    void SetUp() override {
        std::vector<test_sprite> glyphs, window, button;
        for (int i = 0; i < 94; i++) {
            glyphs.push_back(solid(8, 8, 0));
            glyphs.back().pixels[0] = 0xFF808080u;
        }
        for (int i = 0; i < 11; i++)
            window.push_back(i < 8 ? solid(8, 8, window_colour(i)) : solid(16, 16, window_colour(i)));
        for (int i = 0; i < 36; i++)
            button.push_back(solid(8, 8, button_colour(i)));
        bring_up(1920, 1080,
                 {{"ui_gfx\\retro_font.kzg", test_kzg_bytes(glyphs)},
                  {"ui_gfx\\ui_window.kzg", test_kzg_bytes(window)},
                  {"ui_gfx\\ui_dynamic_button.kzg", test_kzg_bytes(button)},
                  {"audio\\click.kzs", test_kzs_bytes(1, 22050, 16, std::vector<uint8_t>(4410, 0))}});
        use_test_strings();
        d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
        ASSERT_TRUE(sound_up = sound_system_init());
        ui_load_gfx();
        ui_window_remove_all();
        move_to(1270, 710);
    }
    void TearDown() override {
        ui_window_remove_all();
        ui_free_gfx();
        if (sound_up) {
            sounds_free_all();
            sound_system_close();
        }
        string_table_use_for_test(nullptr, 0);
        gfx_test::stack::TearDown();
    }

    static void frame() {
        gfx2d_fill_screen(0);
        ui_draw();
    }
    static dword add_window(const window_data &w) { return ui_window_add(&w); }
    bool sound_up = false;
};

// The frame drawn in slice (c, r) of a framed window: its far corner, where no ink falls.
u32 slice(int x1, int y1, int c, int r, int scale) {
    return fb_px(x1 + (c + 1) * 8 * scale - 1, y1 + (r + 1) * 8 * scale - 1);
}

std::vector<std::pair<int, int>> draw_origins;
void record_origin(int x, int y) { draw_origins.push_back({x, y}); }

TEST_F(ui_draw_test, framed_windows_are_laid_out_in_slices_with_a_centred_caption) {
    draw_origins.clear();
    // 4 x 4 slices: frames 0 and 2 side by side in the caption bar, no sides,
    // no interior; nothing at x2 or y2.
    add_window({.flags = window_flag_framed,
                .caption_id = invalid_id,
                .x1 = 64,
                .y1 = 64,
                .x2 = 96,
                .y2 = 96,
                .scale = 1,
                .draw = nullptr,
                .on_remove = nullptr});
    // 7 x 6 slices at scale 2, with a caption and contents.
    const int x1 = 200, y1 = 100, scale = 2, ss = 16;
    add_window({.flags = window_flag_framed | window_flag_filled,
                .caption_id = str_caption,
                .x1 = x1,
                .y1 = y1,
                .x2 = x1 + 7 * ss,
                .y2 = y1 + 6 * ss,
                .scale = scale,
                .draw = record_origin,
                .on_remove = nullptr});
    frame();
    // The small window: its caption bar's right end beside the left, nothing at x2 or y2.
    EXPECT_EQ(slice(64, 64, 1, 0, 1), window_colour(2));
    EXPECT_EQ(std::pair(fb_px(96, 80), fb_px(80, 96)), std::pair(0u, 0u));
    const struct {
        int c, r, frame; // -1: the black interior
    } slices[] = {{1, 0, 1}, {4, 0, 2}, {5, 1, 8}, {2, 1, 6}, {3, 2, 1}, {6, 4, 4}, {3, 3, -1}, {6, 5, 7}};
    for (const auto &sl : slices)
        EXPECT_EQ(slice(x1, y1, sl.c, sl.r, scale), sl.frame < 0 ? black : window_colour(sl.frame))
            << sl.c << "," << sl.r;
    // "Bones" is 25 pixels at scale 1, centred over columns 1 to 4 (truncating).
    const int tx = x1 + ss + (3 * ss - 50) / 2, ty = y1 + 4 * scale;
    EXPECT_EQ(fb_px(tx, ty), white);
    EXPECT_EQ(fb_px(tx + 10, ty + 1), white);
    EXPECT_NE(fb_px(tx - 1, ty), white);
    EXPECT_EQ(draw_origins, (std::vector<std::pair<int, int>>{{x1 + 8 * scale, y1 + 24 * scale}}));
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
