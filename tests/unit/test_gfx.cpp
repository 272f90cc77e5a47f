// The graphics stack read back: scaled pixels clipped at the edges, bitmap-font advances; the composed
// frame (layers, brightness, overlay, stretching) against the renderer's composition; the picture's
// place in any client area; the row composers and decoded sprites; and what drawing marks as drawn.
// (Lines and runs are read back on the board and the map in the end-to-end runs; the overlay's
// visibility switch with the F1 panel in test_window_shell.)
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_window.h"
#include "platform/pf_video.h"
#include "test_gfx_util.h"
#include "ui/ec_cursor.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr u32 red = 0xFFFF0000u;

class gfx_draw : public gfx_test::stack {
protected:
    void SetUp() override {
        gfx_test::stack::SetUp();
        gfx2d_fill_screen(0);
    }
    // The pixels that are not 0, as (x, y) pairs.
    std::set<std::pair<int, int>> drawn() const {
        std::set<std::pair<int, int>> out;
        const u32 *p = gfx2d_screen_buffer();
        for (int i = 0; i < screen_width * screen_height; ++i)
            if (p[i])
                out.insert({i % screen_width, i / screen_width});
        return out;
    }
};

TEST_F(gfx_draw, scaled_pixels_clip_at_the_edges) {
    gfx2d_draw_pixel(5, 5, red, 0);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"scale >= 1"}));
    EXPECT_TRUE(drawn().empty());

    gfx2d_draw_pixel(1280, 0, red, 1);
    gfx2d_draw_pixel(-1, 0, red, 1);
    gfx2d_draw_pixel(1278, 0, red, 4);
    std::set<std::pair<int, int>> expect;
    for (int y = 0; y < 4; ++y)
        for (int x = 1278; x < 1280; ++x)
            expect.insert({x, y});
    EXPECT_EQ(drawn(), expect);

    // A block crossing the top-left corner.
    gfx2d_fill_screen(0);
    gfx2d_draw_pixel(-2, -2, red, 3);
    EXPECT_EQ(drawn(), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST_F(gfx_draw, string_lengths_scale_and_match_the_drawn_advance) {
    safestring hi, line;
    safestring_create(&hi, "Hi!");
    EXPECT_EQ(gfx2d_strlen(&hi, 3), 3 * gfx2d_strlen(&hi, 1));
    EXPECT_EQ(rec.count(), 0u);
    const u8 widths[95] = {};
    EXPECT_EQ(font_kern_lookup(widths, (char)200), -1); // the overlay font's lookup stops at 126
    EXPECT_TRUE(rec.asserted("in >= 0"));
    // The drawn advance equals the measured one wherever the text lands, wholly off the left too.
    // (Glyphs are clipped as sprites: the kzg clip tests.)
    safestring_create(&line, "Tomb {weaver} #1: 100%");
    for (int x : {0, -40, -400, 1270, 600})
        EXPECT_EQ(gfx2d_draw_string(x, 700, &line, red, 2), gfx2d_strlen(&line, 2)) << x;
}

// The font's second part holds the Latin-1 characters 160..255 after the 94 of ASCII: the
// sheet's sprite 94 + (code - 160) is drawn at its own advance, and the C1 codes draw nothing,
// like the other control codes (a name's bytes reach the font as text_for_font made them).
TEST_F(gfx_draw, latin1_characters_are_drawn_from_their_own_cells) {
    std::vector<test_sprite> glyphs(190, test_sprite{8, 8, std::vector<uint32_t>(64, 0)});
    glyphs[94 + (0xE9 - 160)].pixels.assign(64, 0xFFFFFFFFu); // only 'é' has ink
    bring_up(1280, 720, {{"ui_gfx\\retro_font.kzg", test_kzg_bytes(glyphs)}});
    gfx2d_fill_screen(0);
    safestring s;
    safestring_create_utf8(&s, "?e\xC3\xA9\xC2\x85");
    EXPECT_EQ(s.length, 4);
    EXPECT_EQ(gfx2d_draw_string(0, 0, &s, red, 1), 2 * font_kern_width('?') + font_kern_width('e') + 5);
    EXPECT_EQ(font_kern_width((char)0xE9), 5);
    EXPECT_EQ(gfx2d_draw_char(0, 20, (char)0x85, red, 1), 0);
    EXPECT_EQ(font_kern_width((char)0xA0), font_kern_width(' '));
    const int x = font_kern_width('?') + font_kern_width('e');
    EXPECT_EQ(drawn().size(), 64u);
    EXPECT_EQ(*drawn().begin(), std::make_pair(x, 0));
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

using gfx_test::overlay_ink;

constexpr u32 white = 0xFFFFFFFFu;
constexpr u32 blue = 0xFF0000FFu;

// A picture the stack copies; freed by the fixture.
struct picture {
    std::vector<u32> px;
    kzb_image_data image;
    picture(int w, int h, u32 colour) : px((size_t)(w * h), colour) { image = {w, h, px.data()}; }
};

using gfx_present = gfx_draw;

// (Alpha over a layer at brightness 100 and 50, and transparent pixels over it, are matched
// pixel by pixel in present_compose below; brightness 0 is the splash's first black frame in
// the new player's run.)
TEST_F(gfx_present, full_size_layer_covers_exactly_the_framebuffer_pixels) {
    picture layer(1280, 720, 0);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            layer.px[(size_t)(y * 1280 + x)] =
                0xFF000000u | (u32)(x & 0xFF) << 16 | (u32)(y & 0xFF) << 8 | (u32)((x >> 8) * 16 + (y >> 8));
    ASSERT_NE(gfx2d_background_layer_add(&layer.image), invalid_id);
    frame();
    ASSERT_EQ(frame_w, 1280);
    ASSERT_EQ(frame_h, 720);
    EXPECT_EQ(frame_pixels, layer.px);
    // The same pattern drawn into the framebuffer lands on the same pixels.
    std::copy(layer.px.begin(), layer.px.end(), gfx2d_screen_buffer());
    frame();
    EXPECT_EQ(frame_pixels, layer.px);
}

TEST_F(gfx_present, layers_sit_top_left_in_slot_order_and_the_table_reuses_slots) {
    std::vector<picture> pics;
    pics.reserve(9);
    for (int i = 0; i < 9; ++i)
        pics.emplace_back(i == 3 ? 1280 : 10, i == 3 ? 720 : 10, 0xFF000000u | (u32)(i + 1) * 0x10u);
    for (dword i = 0; i < 8; ++i)
        ASSERT_EQ(gfx2d_background_layer_add(&pics[i].image), i);
    EXPECT_EQ(gfx2d_background_layer_add(&pics[8].image), invalid_id);
    EXPECT_TRUE(rec.asserted("num_background_layers < max_background_layers"));
    frame();
    EXPECT_EQ(px(5, 5), 0xFF000080u);  // slot 7 over the full-size slot 3
    EXPECT_EQ(px(10, 9), 0xFF000040u); // small layers end at their own size

    // After deleting layer 3, the next layer gets id 3 and is drawn fourth.
    gfx2d_background_layer_delete(3);
    picture wide(1280, 720, red);
    EXPECT_EQ(gfx2d_background_layer_add(&wide.image), 3u);
    frame();
    EXPECT_EQ(std::pair(px(500, 500), px(5, 5)), std::pair(red, 0xFF000080u));
    rec.clear();
    gfx2d_background_layer_delete(8);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"id < max_background_layers"}));
    // The rest are deleted when the device goes, without complaint.
    rec.clear();
    gfx.reset();
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(gfx_present, textures_come_back_after_the_renderer_loses_them) {
    picture layer(1280, 720, blue);
    ASSERT_NE(gfx2d_background_layer_add(&layer.image), invalid_id);
    safestring t;
    safestring_create(&t, "A");
    dword s = d3dui_string_new(100, 100, &t, white, 1);
    gfx2d_screen_buffer()[0] = red;
    platform_video_lose_textures_for_test();
    frame();
    EXPECT_EQ(px(0, 0), red);
    EXPECT_EQ(px(500, 500), blue);
    EXPECT_EQ(px(100, 100), overlay_ink);
    d3dui_string_free(s);
    EXPECT_EQ(rec.count(), 0u);
}

class gfx_stretch : public gfx_present {
protected:
    void SetUp() override {
        bring_up(1920, 1080, {});
        gfx2d_fill_screen(0);
    }
};

TEST_F(gfx_stretch, framebuffer_and_layers_stretch_as_one_overlay_does_not) {
    // 8 x 8 blocks of colours in the framebuffer; a 640 x 360 layer in the corner.
    u32 *fb = gfx2d_screen_buffer();
    for (int y = 0; y < 720; ++y)
        for (int x = 640; x < 1280; ++x)
            fb[y * 1280 + x] = 0xFF000000u | (u32)((x / 8) & 0xFF) << 8 | (u32)((y / 8) & 0xFF);
    picture layer(640, 360, red);
    ASSERT_NE(gfx2d_background_layer_add(&layer.image), invalid_id);
    safestring t;
    safestring_create(&t, "A");
    dword s = d3dui_string_new(8, 1000, &t, white, 1);
    frame();
    ASSERT_EQ(frame_w, 1920);
    ASSERT_EQ(frame_h, 1080);
    // Each framebuffer block is 12 x 12 client pixels.
    for (int by = 1; by < 90; by += 7)
        for (int bx = 81; bx < 160; bx += 9)
            ASSERT_EQ(px(bx * 12 + 6, by * 12 + 6), 0xFF000000u | (u32)(bx & 0xFF) << 8 | (u32)(by & 0xFF))
                << bx << "," << by;
    // The layer covers 960 x 540 client pixels, as 640 x 360 framebuffer pixels do.
    EXPECT_EQ(px(957, 537), red);
    EXPECT_EQ(px(950, 100), red);
    EXPECT_EQ(px(940, 543), 0xFF000000u);
    EXPECT_EQ(px(963, 5), 0xFF000000u | 80u << 8 | 0u);
    // Overlay glyphs keep their size: 4 ink columns, 8 rows at (8, 1000).
    EXPECT_EQ(std::vector<u32>({px(8, 1000), px(11, 1007)}), std::vector<u32>(2, overlay_ink));
    EXPECT_NE(px(12, 1000), overlay_ink);
    EXPECT_NE(px(8, 1008), overlay_ink);
    d3dui_string_free(s);
    EXPECT_EQ(rec.count(), 0u);
}

// The previous composition on the renderer: the framebuffer's colour times the
// brightness grey (v = percent * 255 / 100), then blended by its alpha over the layer.
u32 renderer_reference(u32 fb, u32 layer, u32 percent) {
    u32 v = percent * 255 / 100, a = fb >> 24, out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        double s = (double)((fb >> shift) & 0xFF) * v / 255.0, d = (layer >> shift) & 0xFF;
        out |= (u32)(s * a / 255.0 + d * (255 - a) / 255.0 + 0.5) << shift;
    }
    return out;
}

using present_compose = gfx_test::stack;

// One step per channel is allowed where a pixel is half transparent: the renderer
// truncated where the CPU rounds.
TEST_F(present_compose, matches_the_renderer_with_a_layer_half_alpha_and_brightness_50) {
    picture layer(1280, 720, 0xFFC08040u);
    ASSERT_NE(gfx2d_background_layer_add(&layer.image), invalid_id);
    const u32 cases[] = {0xFFFFFFFFu, 0x80FF0000u, 0x8000FF80u, 0x40102030u, 0xC0FFFFFFu, 0x00FFFFFFu, 0x01808080u};
    for (u32 percent : {100u, 50u}) {
        gfx2d_fill_screen(0);
        for (int i = 0; i < (int)std::size(cases); ++i)
            gfx2d_screen_buffer()[100 * 1280 + i] = cases[i];
        gfx2d_fullscreen_brightness(percent);
        frame();
        for (int i = 0; i < (int)std::size(cases); ++i)
            EXPECT_TRUE(gfx_test::near_colour(px(i, 100), renderer_reference(cases[i], 0xFFC08040u, percent)))
                << std::hex << cases[i] << " at " << std::dec << percent << "%: " << std::hex << px(i, 100);
        EXPECT_EQ(px(500, 500), 0xFFC08040u);
    }
    gfx2d_fullscreen_brightness(100);
}

// Where the picture lands in the client area, and where a click there lands in it.
struct letterbox_case {
    int client_w, client_h;
    int x, y, w, h; // the picture's rectangle
};

class present_letterbox : public gfx_test::stack, public ::testing::WithParamInterface<letterbox_case> {
protected:
    void SetUp() override { bring_up(GetParam().client_w, GetParam().client_h, {}); }
};

TEST_P(present_letterbox, picture_keeps_16_9_with_black_bars_and_clicks_map_through_it) {
    const letterbox_case &c = GetParam();
    gfx2d_fill_screen(0xFFFFFFFFu);
    frame();
    ASSERT_EQ(std::pair(frame_w, frame_h), std::pair(c.client_w, c.client_h));
    // The picture's corners are white; the bars beside or above and below it black.
    EXPECT_EQ(px(c.x, c.y), 0xFFFFFFFFu);
    EXPECT_EQ(px(c.x + c.w - 1, c.y + c.h - 1), 0xFFFFFFFFu);
    if (c.x > 0 || c.y > 0) { // just outside both corners
        EXPECT_EQ(px(c.x - (c.x > 0), c.y - (c.y > 0)), 0xFF000000u);
        EXPECT_EQ(px(c.x + c.w - (c.x == 0), c.y + c.h - (c.y == 0)), 0xFF000000u);
    }
    // The picture's corners and centre, and the bars, which clamp to the picture's edge.
    const struct {
        int x, y, fx, fy;
    } clicks[] = {
        {c.x, c.y, 0, 0}, {c.x + c.w / 2, c.y + c.h / 2, 640, 360},    {c.x + c.w - 1, c.y + c.h - 1, 1279, 719},
        {0, 0, 0, 0},     {c.client_w - 1, c.client_h - 1, 1279, 719},
    };
    for (const auto &k : clicks) {
        cursor_update_position(k.x, k.y);
        int fx = -1, fy = -1;
        cursor_get_position(&fx, &fy);
        EXPECT_TRUE(std::abs(fx - k.fx) <= 1 && std::abs(fy - k.fy) <= 1)
            << k.x << ", " << k.y << " -> " << fx << ", " << fy;
    }
}

INSTANTIATE_TEST_SUITE_P(
    client_sizes, present_letterbox,
    ::testing::Values(letterbox_case{1920, 1080, 0, 0, 1920, 1080}, letterbox_case{1280, 1024, 0, 152, 1280, 720},
                      letterbox_case{1000, 1000, 0, 218, 1000, 563}, letterbox_case{2560, 1080, 320, 0, 1920, 1080}),
    [](const auto &info) { return std::to_string(info.param.client_w) + "x" + std::to_string(info.param.client_h); });

using frame_cache = gfx_test::stack;

// The portable composer and the widest one give the same picture over a layer, whole
// or by changed groups, at full and half brightness, for 16-pixel groups all clear,
// all opaque, clear and opaque mixed, and opaque with one half-transparent pixel.
TEST_F(frame_cache, row_composers_give_the_same_picture) {
    picture layer(1280, 720, 0);
    for (size_t i = 0; i < layer.px.size(); ++i)
        layer.px[i] = 0xFF000000u | (u32)(i * 2654435761u >> 8);
    ASSERT_NE(gfx2d_background_layer_add(&layer.image), invalid_id);
    std::vector<u32> pictures[2];
    for (int portable = 0; portable < 2; ++portable) {
        gfx2d_compose_portable_for_test(portable != 0);
        for (u32 percent : {100u, 50u}) {
            gfx2d_fullscreen_brightness(percent);
            gfx2d_fill_screen(0);
            u32 *row = gfx2d_screen_buffer() + 300 * 1280;
            for (int x = 0; x < 16; ++x) {
                row[16 + x] = 0xFF102030u + (u32)x;
                row[32 + x] = x % 3 ? 0xFF405060u : 0u;
                row[48 + x] = x == 7 ? 0x80FF8040u : 0xFF00FF00u;
            }
            frame();
            row[20] = 0u;                 // becomes clear: the layer shows
            row[1280 + 40] = 0x40FFFFFFu; // a new half-transparent pixel
            std::vector<u32> f = frame();
            pictures[portable].insert(pictures[portable].end(), f.begin() + 299 * 1280, f.begin() + 302 * 1280);
        }
    }
    gfx2d_compose_portable_for_test(false);
    gfx2d_fullscreen_brightness(100);
    ASSERT_TRUE(pictures[0] == pictures[1]);
    EXPECT_EQ(pictures[0][1280 + 20], layer.px[300 * 1280 + 20]);
}

// A glyph of the loaded font drawn again after its ink changes, at scale 1 (copied
// while the palette is as decoded) and 2 (filled from its runs), shows the new ink.
TEST_F(frame_cache, decoded_glyphs_take_the_ink_of_each_draw) {
    for (int scale : {1, 2, 1})
        for (u32 ink : {0xFFFF0000u, 0xFF00FF00u, 0xFFFF0000u}) {
            gfx2d_fill_screen(0);
            gfx2d_draw_char(100, 100, 'A', ink, scale);
            // Ink on the glyph's first row and column, clear elsewhere.
            EXPECT_EQ(fb(100 + 7 * scale, 100), ink) << scale;
            EXPECT_EQ(fb(100, 100 + 7 * scale), ink) << scale;
            EXPECT_EQ(fb(100 + scale, 100 + scale), 0u) << scale;
            EXPECT_EQ(fb(100 + 8 * scale, 100), 0u) << scale;
        }
}

using drawn_rows = gfx_test::stack;

// Each primitive, on screen and running off its edges, draws in one frame; the next
// frame only clears. That frame must be the clear colour everywhere: a primitive whose
// pixels are not recorded as drawn would stay in the framebuffer or on the texture.
TEST_F(drawn_rows, a_cleared_frame_shows_nothing_of_the_last) {
    safestring text;
    safestring_create(&text, "Crypt");
    const std::vector<std::function<void()>> draws = {
        [] { gfx2d_draw_pixel(700, 300, 0xFFFF0000u, 1); },
        [] { gfx2d_draw_pixel(1278, 718, 0xFFFF0000u, 5); },
        [] { gfx2d_draw_pixel(-2, 100, 0x80FF0000u, 4); },
        [] { gfx2d_draw_hline(-50, 2000, 10, 0xFFFF0000u); },
        [] { gfx2d_draw_vline(1279, -5, 800, 0xFFFF0000u); },
        [] { gfx2d_draw_vlines(-32, 64, 30, 100, 650, 0xFFFF0000u); },
        [] { gfx2d_draw_line(1300, -20, 40, 700); },
        [] { gfx2d_fill_rect(600, 710, 1400, 900); },
        [&] { gfx2d_draw_string(1250, 400, &text, 0xFFFF0000u, 3); },
        [&] { gfx2d_draw_string(100, 716, &text, 0xFFFF0000u, 1); },
        [] { gfx2d_draw_char(-3, 5, 'W', 0xFFFF0000u, 2); },
    };
    for (u32 clear : {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF203040u}) // the same clear colour, then another
        for (size_t i = 0; i < draws.size(); ++i) {
            gfx2d_fill_screen(clear);
            draws[i]();
            std::vector<u32> drawn = frame();
            ASSERT_EQ(drawn.size(), 1280u * 720u);
            gfx2d_fill_screen(clear);
            std::vector<u32> cleared = frame();
            ASSERT_EQ(cleared.size(), drawn.size());
            const u32 want = clear;
            EXPECT_NE(std::count(drawn.begin(), drawn.end(), want), (long)drawn.size()) << i;
            EXPECT_EQ(std::count(cleared.begin(), cleared.end(), want), (long)cleared.size()) << i;
        }
}

} // namespace
