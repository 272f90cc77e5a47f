// test_gfx_present.cpp -- the composed frame: layers, brightness, overlay, stretching
// (the overlay's visibility switch is read back with the F1 panel in test_window_shell)
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "platform/pf_video.h"
#include "test_gfx_util.h"

#include <vector>

namespace {

using gfx_test::overlay_ink;

constexpr u32 black = 0xFF000000u;
constexpr u32 white = 0xFFFFFFFFu;
constexpr u32 red = 0xFFFF0000u;
constexpr u32 blue = 0xFF0000FFu;

// A picture the stack copies; freed by the fixture.
struct picture {
    std::vector<u32> px;
    kzb_image_data image;
    picture(int w, int h, u32 colour) : px((size_t)(w * h), colour) { image = {w, h, px.data()}; }
};

class gfx_present : public gfx_test::stack {
protected:
    void SetUp() override {
        gfx_test::stack::SetUp();
        gfx2d_fill_screen(0);
    }
    void TearDown() override {
        gfx2d_fullscreen_brightness(100);
        gfx_test::stack::TearDown();
    }
};

// (Alpha over a layer at brightness 100 and 50, and transparent pixels over it, are matched
// pixel by pixel in test_present_compose; brightness 0 is the splash's first black frame in
// the new player's run.)
TEST_F(gfx_present, full_size_layer_covers_exactly_the_framebuffer_pixels) {
    picture layer(1280, 720, 0);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            layer.px[(size_t)(y * 1280 + x)] = 0xFF000000u | (u32)(x & 0xFF) << 16 | (u32)(y & 0xFF) << 8 |
                                               (u32)((x >> 8) * 16 + (y >> 8));
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
    EXPECT_EQ(px(5, 5), 0xFF000080u); // slot 7 over the full-size slot 3
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
    EXPECT_EQ(px(940, 543), black);
    EXPECT_EQ(px(963, 5), 0xFF000000u | 80u << 8 | 0u);
    // Overlay glyphs keep their size: 4 ink columns, 8 rows at (8, 1000).
    EXPECT_EQ(std::vector<u32>({px(8, 1000), px(11, 1007)}), std::vector<u32>(2, overlay_ink));
    EXPECT_NE(px(12, 1000), overlay_ink);
    EXPECT_NE(px(8, 1008), overlay_ink);
    d3dui_string_free(s);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
