// test_ui_draw.cpp -- the UI toolkit drawn into the real framebuffer and read back
//
// The test pack gives every frame of the toolkit's sheets its own solid colour,
// and the font a single ink pixel at each glyph's top-left, so one pixel tells
// which frame was drawn where and exactly where a label starts.
#include "engine/ec_cursor.h"
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "engine/ec_ui.h"
#include "gfx_env.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "sound/direct_sound.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr u32 black = 0xFF000000u;
constexpr u32 white = 0xFFFFFFFFu;
constexpr u32 yellow = 0xFFFFFF00u;

u32 fb_px(int x, int y) { return gfx2d_screen_buffer()[y * screen_width + x]; }

u32 window_colour(int frame) { return 0xFF200000u | (u32)(frame + 1) << 8 | 0x11u; }
u32 button_colour(int frame) { return 0xFF002000u | (u32)(frame + 1) << 16 | 0x22u; }

test_sprite solid(int w, int h, u32 colour) {
    return {w, h, std::vector<uint32_t>((size_t)(w * h), colour)};
}

std::vector<test_pack_entry> ui_pack(int window_frames = 11, bool with_click = true) {
    std::vector<test_sprite> glyphs;
    for (int i = 0; i < 94; i++) {
        test_sprite g = solid(8, 8, 0);
        g.pixels[0] = 0xFF808080u;
        glyphs.push_back(g);
    }
    std::vector<test_sprite> window;
    for (int i = 0; i < window_frames; i++)
        window.push_back(i < 8 ? solid(8, 8, window_colour(i)) : solid(16, 16, window_colour(i)));
    std::vector<test_sprite> button;
    for (int i = 0; i < 36; i++)
        button.push_back(solid(8, 8, button_colour(i)));
    std::vector<test_pack_entry> entries = {
        {"ui_gfx\\retro_font.kzg", test_kzg_bytes(glyphs)},
        {"ui_gfx\\c64_font.kzg", test_kzg_bytes({solid(128, 64, 0xFFFFFFFFu)})},
        {"ui_gfx\\ui_window.kzg", test_kzg_bytes(window)},
        {"ui_gfx\\ui_dynamic_button.kzg", test_kzg_bytes(button)},
    };
    if (with_click)
        entries.push_back({"audio\\click.kzs", test_kzs_bytes(1, 22050, 16, std::vector<uint8_t>(4410, 0))});
    return entries;
}

enum : dword { str_title = 0, str_ok = 1, str_caption = 2, num_strings };
string_definition strings[num_strings];

void install_strings() {
    const char *texts[num_strings] = {"Tombweaver", "OK", "Bones"};
    for (int i = 0; i < (int)num_strings; i++) {
        std::strcpy(strings[i].string_token, "test");
        safestring_create(&strings[i].string, texts[i]);
    }
    string_table_use_for_test(strings, num_strings);
}

// The pack, the graphics, the sound device and the toolkit's assets, for one test.
class ui_draw_test : public ::testing::Test {
protected:
    dialog_recorder rec;
    std::unique_ptr<scoped_test_pack> pack;
    std::unique_ptr<scoped_graphics> gfx;
    bool sound_up = false;

    void bring_up(const std::vector<test_pack_entry> &entries) {
        memory_system_init();
        pack = std::make_unique<scoped_test_pack>(entries);
        ASSERT_TRUE(pack->ok());
        gfx = std::make_unique<scoped_graphics>(1920, 1080);
        for (const recorded_dialog &d : rec.dialogs())
            ADD_FAILURE() << d.caption << ": " << d.text;
        ASSERT_TRUE(gfx->ok());
        install_strings();
        d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
        sound_up = sound_system_init();
        ASSERT_TRUE(sound_up);
        ui_load_gfx();
        ui_window_remove_all();
        move_to(1270, 710);
    }
    void SetUp() override { bring_up(ui_pack()); }
    void TearDown() override {
        ui_window_remove_all();
        ui_free_gfx();
        if (sound_up) {
            sounds_free_all();
            sound_system_close();
        }
        gfx.reset();
        pack.reset();
        string_table_use_for_test(nullptr, 0);
    }

    static void move_to(int x, int y) {
        cursor_update_position(x, y);
        ui_mousemove();
    }
    static void frame() {
        gfx2d_fill_screen(0);
        ui_draw();
    }
    static u32 px(int x, int y) { return fb_px(x, y); }
    static dword add_window(const window_data &w) { return ui_window_add(&w); }
};

// The frame the layout puts at column c, row r of a framed window of cols x rows
// slices: -1 for the black interior, 8 for the close button.
int expected_window_frame(int c, int r, int cols, int rows) {
    if (r <= 1) {
        if (c >= cols - 2)
            return 8;
        if (c == 0)
            return r == 0 ? 0 : 5;
        if (c == cols - 3)
            return r == 0 ? 2 : 7;
        return r == 0 ? 1 : 6;
    }
    if (r == 2 || r == rows - 1) {
        const int base = r == 2 ? 0 : 5;
        return c == 0 ? base : c == cols - 1 ? base + 2 : base + 1;
    }
    return c == 0 ? 3 : c == cols - 1 ? 4 : -1;
}

void expect_framed_layout(int x1, int y1, int cols, int rows, int scale, int close_state) {
    const int ss = 8 * scale;
    for (int r = 0; r < rows; r++) {
        for (int c = 0; c < cols; c++) {
            const int f = expected_window_frame(c, r, cols, rows);
            const u32 want = f < 0 ? black : window_colour(f == 8 ? 8 + close_state : f);
            // Sample the slice's far corner: no ink falls there.
            EXPECT_EQ(fb_px(x1 + c * ss + ss - 1, y1 + r * ss + ss - 1), want)
                << "column " << c << " row " << r;
        }
    }
}

TEST_F(ui_draw_test, a_window_of_four_by_four_slices) {
    const dword id = add_window({.flags = window_flag_framed, .caption_id = invalid_id, .x1 = 64,
                                 .y1 = 64, .x2 = 96, .y2 = 96, .scale = 1, .draw = nullptr,
                                 .on_remove = nullptr});
    ASSERT_NE(id, invalid_id);
    frame();
    expect_framed_layout(64, 64, 4, 4, 1, 0);
    // Frames 0 and 2 side by side in the caption bar; the frame ends before x2, y2.
    EXPECT_EQ(px(64, 64), window_colour(0));
    EXPECT_EQ(px(72, 64), window_colour(2));
    EXPECT_EQ(px(96, 80), 0u);
    EXPECT_EQ(px(80, 96), 0u);
    EXPECT_EQ(px(63, 64), 0u);
    // An empty caption draws no ink anywhere in the caption bar.
    for (int y = 64; y < 80; y++)
        for (int x = 64; x < 80; x++)
            EXPECT_NE(px(x, y), white);
    EXPECT_EQ(rec.count(), 0u);
}

std::vector<std::pair<int, int>> draw_origins;
void record_origin(int x, int y) { draw_origins.push_back({x, y}); }

TEST_F(ui_draw_test, a_larger_framed_window_with_caption_and_contents) {
    draw_origins.clear();
    // 7 x 6 slices at scale 2.
    const int x1 = 200, y1 = 100, scale = 2, ss = 16;
    add_window({.flags = window_flag_framed | window_flag_filled, .caption_id = str_caption,
                .x1 = x1, .y1 = y1, .x2 = x1 + 7 * ss, .y2 = y1 + 6 * ss, .scale = scale,
                .draw = record_origin, .on_remove = nullptr});
    frame();
    expect_framed_layout(x1, y1, 7, 6, scale, 0);
    // The interior is black right up to the frame pieces.
    EXPECT_EQ(px(x1 + ss, y1 + 3 * ss), black);
    EXPECT_EQ(px(x1 + 6 * ss - 1, y1 + 5 * ss - 1), black);
    // The caption "Bones" (5 + 5 + 5 + 5 + 5 = 25 pixels at scale 1) is centred
    // over columns 1 to 4: x = x1 + ss + ((7 - 4) * ss - 50) / 2.
    const int tx = x1 + ss + (3 * ss - 50) / 2, ty = y1 + 4 * scale;
    EXPECT_EQ(px(tx, ty), white);
    EXPECT_EQ(px(tx + 1, ty + 1), white);
    EXPECT_EQ(px(tx + 10, ty), white);
    EXPECT_NE(px(tx - 1, ty), white);
    ASSERT_EQ(draw_origins.size(), 1u);
    EXPECT_EQ(draw_origins[0], std::make_pair(x1 + 8 * scale, y1 + 24 * scale));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_draw_test, the_close_button_shows_hover_and_press) {
    add_window({.flags = window_flag_framed, .caption_id = invalid_id, .x1 = 0, .y1 = 0,
                .x2 = 64, .y2 = 32, .scale = 1, .draw = nullptr, .on_remove = nullptr});
    frame();
    EXPECT_EQ(px(48, 0), window_colour(8));
    move_to(50, 5);
    frame();
    EXPECT_EQ(px(48, 0), window_colour(9));
    EXPECT_EQ(px(63, 15), window_colour(9));
    EXPECT_TRUE(ui_lbutton(true));
    frame();
    EXPECT_EQ(px(48, 0), window_colour(10));
    EXPECT_TRUE(ui_lbutton(false));
    EXPECT_EQ(ui_focus_window(), nullptr);
    EXPECT_EQ(rec.count(), 0u);
}

std::vector<std::string> paint_log;
void older_draw(int, int) {
    paint_log.push_back("older");
    gfx2d_draw_pixel(50, 50, 0xFFFF0000u, 100);
}
void newer_draw(int, int) {
    // The older window is complete, and this window's own fill is done.
    paint_log.push_back(fb_px(60, 60) == 0xFFFF0000u && fb_px(120, 120) == black
                            ? "newer after older"
                            : "newer too early");
}
void older_button_draw(dword, int, int, int, int) { paint_log.push_back("older button"); }

TEST_F(ui_draw_test, the_newest_window_is_painted_last_on_top) {
    paint_log.clear();
    const dword older = add_window({.flags = 0, .caption_id = invalid_id, .x1 = 0, .y1 = 0,
                                    .x2 = 400, .y2 = 400, .scale = 1, .draw = older_draw,
                                    .on_remove = nullptr});
    image_button_data b = {.id = 3, .x = 300, .y = 300, .width = 10, .height = 10, .flags = 0,
                           .draw = older_button_draw, .on_click = nullptr};
    image_button_add(older, &b);
    add_window({.flags = window_flag_filled, .caption_id = invalid_id, .x1 = 100, .y1 = 100,
                .x2 = 200, .y2 = 200, .scale = 1, .draw = newer_draw, .on_remove = nullptr});
    frame();
    EXPECT_EQ(paint_log, (std::vector<std::string>{"older", "older button", "newer after older"}));
    EXPECT_EQ(px(60, 60), 0xFFFF0000u);
    EXPECT_EQ(px(120, 120), black);
    EXPECT_EQ(px(200, 200), black); // the filled rectangle includes x2, y2
    EXPECT_EQ(px(99, 120), 0xFFFF0000u);
    EXPECT_EQ(rec.count(), 0u);
}

// Checks the nine-piece frame of a text button in state s.
void expect_button_frames(int x1, int y1, int slices, int scale, int s) {
    const int ss = 8 * scale;
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < slices; c++) {
            const int piece = c == 0 ? 0 : c == slices - 1 ? 2 : 1;
            EXPECT_EQ(fb_px(x1 + c * ss + ss - 1, y1 + r * ss + ss - 1),
                      button_colour(9 * s + 3 * r + piece))
                << "state " << s << " column " << c << " row " << r;
        }
    }
}

TEST_F(ui_draw_test, a_text_button_in_its_four_states) {
    const dword win = ui_window_add_fullscreen(nullptr);
    // "OK" at scale 2: 6 slices of 16 = 96 wide, 48 high; the label is 20 wide.
    dynamic_button_data b = {.string_id = str_ok, .id = 5, .x = 400, .y = 300, .block_width = 2,
                             .scale = 2, .flags = 1, .on_click = [](dword) {}};
    dynamic_button_add(win, &b);
    const int x1 = 352, y1 = 300;
    const int lx = x1 + ((96 - 10 * 2) >> 1), ly = y1 + 16;

    frame();
    expect_button_frames(x1, y1, 6, 2, image_button_sprite_normal);
    EXPECT_EQ(px(lx, ly), white);
    EXPECT_EQ(px(lx + 10, ly), white);
    EXPECT_EQ(px(lx - 1, ly), button_colour(4));

    move_to(400, 320);
    frame();
    expect_button_frames(x1, y1, 6, 2, image_button_sprite_over);
    EXPECT_EQ(px(lx, ly), yellow);

    EXPECT_TRUE(ui_lbutton(true));
    frame();
    expect_button_frames(x1, y1, 6, 2, image_button_sprite_down);
    EXPECT_EQ(px(lx - 4, ly + 4), yellow);
    EXPECT_EQ(px(lx, ly), button_colour(18 + 4));

    // Still pressed, but the cursor has left it: drawn as normal.
    move_to(600, 600);
    frame();
    expect_button_frames(x1, y1, 6, 2, image_button_sprite_normal);
    EXPECT_EQ(px(lx, ly), white);
    ui_lbutton(false);

    b.flags |= button_flag_disabled;
    move_to(400, 320);
    frame();
    expect_button_frames(x1, y1, 6, 2, image_button_sprite_disabled);
    EXPECT_EQ(px(lx, ly), black);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_draw_test, a_text_button_touching_the_left_edge_draws_from_x_zero) {
    const dword win = ui_window_add_fullscreen(nullptr);
    dynamic_button_data b = {.string_id = str_ok, .id = 5, .x = 0, .y = 0, .block_width = 2,
                             .scale = 1, .flags = 0, .on_click = nullptr};
    dynamic_button_add(win, &b);
    frame();
    expect_button_frames(0, 0, 6, 1, image_button_sprite_normal);
    EXPECT_EQ(px(48, 0), 0u);
    EXPECT_EQ(rec.count(), 0u);
}

struct draw_call {
    dword id;
    int x, y, scale, state;
    bool operator==(const draw_call &) const = default;
};
std::vector<draw_call> image_calls;
void record_image_draw(dword id, int x, int y, int scale, int state) {
    image_calls.push_back({id, x, y, scale, state});
}

TEST_F(ui_draw_test, image_buttons_are_drawn_by_their_callback_with_window_scale_and_state) {
    const dword win = add_window({.flags = 0, .caption_id = invalid_id, .x1 = 100, .y1 = 50,
                                  .x2 = 700, .y2 = 500, .scale = 3, .draw = nullptr,
                                  .on_remove = nullptr});
    image_button_data b = {.id = 44, .x = 20, .y = 30, .width = 40, .height = 40, .flags = 0,
                           .draw = record_image_draw, .on_click = [](dword) {}};
    image_button_data hidden = {.id = 45, .x = 200, .y = 30, .width = 40, .height = 40,
                                .flags = 0, .draw = nullptr, .on_click = nullptr};
    image_button_add(win, &b);
    image_button_add(win, &hidden);
    auto drawn_state = [] {
        image_calls.clear();
        frame();
        EXPECT_EQ(image_calls.size(), 1u);
        return image_calls.empty() ? -1 : image_calls[0].state;
    };
    EXPECT_EQ(drawn_state(), image_button_sprite_normal);
    EXPECT_EQ(image_calls[0], (draw_call{44, 120, 80, 3, 0}));
    move_to(130, 90);
    EXPECT_EQ(drawn_state(), image_button_sprite_over);
    ui_lbutton(true);
    EXPECT_EQ(drawn_state(), image_button_sprite_down);
    ui_lbutton(false);
    EXPECT_EQ(drawn_state(), image_button_sprite_over);
    image_button_disable(&b);
    EXPECT_EQ(drawn_state(), image_button_sprite_disabled);

    // Inactive elements are not drawn.
    ui_get_window_from_id(win)->elements->next->active = false;
    image_calls.clear();
    frame();
    EXPECT_TRUE(image_calls.empty());
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_draw_test, only_a_text_button_press_plays_the_click) {
    // The toolkit's click is the only sound loaded, in the first entry.
    ASSERT_EQ(sound_count(), 1);
    const dword click = 0;
    const dword win = ui_window_add_fullscreen(nullptr);
    dynamic_button_data t = {.string_id = str_ok, .id = 5, .x = 200, .y = 100, .block_width = 2,
                             .scale = 1, .flags = 0, .on_click = [](dword) {}};
    image_button_data i = {.id = 6, .x = 500, .y = 100, .width = 40, .height = 40, .flags = 0,
                           .draw = nullptr, .on_click = [](dword) {}};
    dynamic_button_add(win, &t);
    image_button_add(win, &i);

    move_to(520, 110);
    ui_lbutton(true);
    ui_lbutton(false);
    EXPECT_FALSE(sound_is_playing(click));

    move_to(200, 110);
    ui_lbutton(true);
    EXPECT_TRUE(sound_is_playing(click));
    sound_stop(click);
    ui_lbutton(false);
    EXPECT_FALSE(sound_is_playing(click));

    t.flags |= button_flag_disabled;
    ui_lbutton(true);
    EXPECT_FALSE(sound_is_playing(click));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(ui_draw_test, drawing_with_no_window_is_refused) {
    gfx2d_fill_screen(0);
    ui_draw();
    EXPECT_TRUE(rec.asserted("ui_window_list"));
    EXPECT_EQ(px(0, 0), 0u);
}

TEST_F(ui_draw_test, loading_twice_keeps_one_click_sound) {
    ui_load_gfx();
    EXPECT_TRUE(rec.asserted("click_down_sound == invalid_id"));
    EXPECT_EQ(sound_count(), 1);
}

class ui_damaged_assets_test : public ui_draw_test {
protected:
    void SetUp() override { bring_up(ui_pack(3, false)); }
};

TEST_F(ui_damaged_assets_test, a_short_sheet_is_reported_once_and_not_drawn) {
    // The window sheet holds 3 frames instead of 11; the click sound is missing.
    EXPECT_TRUE(rec.asserted("sheet->num_sprites >= frames_needed"));
    EXPECT_TRUE(rec.asserted("click_down_sound != invalid_id"));
    rec.clear();
    const dword win = ui_window_add_fullscreen(nullptr);
    add_window({.flags = window_flag_framed, .caption_id = str_caption, .x1 = 600, .y1 = 0,
                .x2 = 664, .y2 = 64, .scale = 1, .draw = nullptr, .on_remove = nullptr});
    dynamic_button_data t = {.string_id = str_ok, .id = 5, .x = 200, .y = 100, .block_width = 2,
                             .scale = 1, .flags = 0, .on_click = [](dword) {}};
    dynamic_button_add(win, &t);
    frame();
    frame();
    move_to(200, 110);
    EXPECT_TRUE(ui_lbutton(true));
    EXPECT_TRUE(ui_lbutton(false));
    frame();
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(px(207, 115), button_colour(9 + 4));
    EXPECT_EQ(px(608, 30), black); // the framed window's interior still fills
}

} // namespace
