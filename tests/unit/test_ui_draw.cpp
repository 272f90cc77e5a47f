// test_ui_draw.cpp -- the UI toolkit drawn into the real framebuffer and read back
//
// The test pack gives every frame of the toolkit's sheets its own solid colour,
// and the font a single ink pixel at each glyph's top-left, so one pixel tells
// which frame was drawn where and exactly where a label starts.
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "sound/direct_sound.h"
#include "test_gfx_util.h"
#include "ui/ec_cursor.h"
#include "ui/ec_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr u32 black = 0xFF000000u;
constexpr u32 white = 0xFFFFFFFFu;

u32 fb_px(int x, int y) { return gfx2d_screen_buffer()[y * screen_width + x]; }

u32 window_colour(int frame) { return 0xFF200000u | (u32)(frame + 1) << 8 | 0x11u; }
u32 button_colour(int frame) { return 0xFF002000u | (u32)(frame + 1) << 16 | 0x22u; }

test_sprite solid(int w, int h, u32 colour) { return {w, h, std::vector<uint32_t>((size_t)(w * h), colour)}; }

enum : dword { str_title = 0, str_ok = 1, str_caption = 2, num_strings };
string_definition strings[num_strings];

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
        bring_up(1920, 1080, {{"ui_gfx\\retro_font.kzg", test_kzg_bytes(glyphs)},
                              {"ui_gfx\\ui_window.kzg", test_kzg_bytes(window)},
                              {"ui_gfx\\ui_dynamic_button.kzg", test_kzg_bytes(button)},
                              {"audio\\click.kzs", test_kzs_bytes(1, 22050, 16, std::vector<uint8_t>(4410, 0))}});
        const char *texts[num_strings] = {"Tombweaver", "OK", "Bones"};
        for (int i = 0; i < (int)num_strings; i++)
            safestring_create(&strings[i].string, texts[i]);
        string_table_use_for_test(strings, num_strings);
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

    static void move_to(int x, int y) {
        cursor_update_position(x, y);
        ui_mousemove();
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
    add_window({.flags = window_flag_framed, .caption_id = invalid_id, .x1 = 64, .y1 = 64,
                .x2 = 96, .y2 = 96, .scale = 1, .draw = nullptr, .on_remove = nullptr});
    // 7 x 6 slices at scale 2, with a caption and contents.
    const int x1 = 200, y1 = 100, scale = 2, ss = 16;
    add_window({.flags = window_flag_framed | window_flag_filled, .caption_id = str_caption,
                .x1 = x1, .y1 = y1, .x2 = x1 + 7 * ss, .y2 = y1 + 6 * ss, .scale = scale,
                .draw = record_origin, .on_remove = nullptr});
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
