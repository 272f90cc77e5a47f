// test_present_compose.cpp -- the picture composed on the CPU, and its place in any client area
#include "ui/ec_cursor.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_window.h"
#include "test_gfx_util.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

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
    std::vector<u32> layer_px(1280 * 720, 0xFFC08040u);
    kzb_image_data layer = {1280, 720, layer_px.data()};
    ASSERT_NE(gfx2d_background_layer_add(&layer), invalid_id);
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
        {c.x, c.y, 0, 0},
        {c.x + c.w / 2, c.y + c.h / 2, 640, 360},
        {c.x + c.w - 1, c.y + c.h - 1, 1279, 719},
        {0, 0, 0, 0},
        {c.client_w - 1, c.client_h - 1, 1279, 719},
    };
    for (const auto &k : clicks) {
        cursor_update_position(k.x, k.y);
        int fx = -1, fy = -1;
        cursor_get_position(&fx, &fy);
        EXPECT_TRUE(std::abs(fx - k.fx) <= 1 && std::abs(fy - k.fy) <= 1) << k.x << ", " << k.y << " -> " << fx << ", " << fy;
    }
}

INSTANTIATE_TEST_SUITE_P(client_sizes, present_letterbox,
                         ::testing::Values(letterbox_case{1920, 1080, 0, 0, 1920, 1080},
                                           letterbox_case{1280, 1024, 0, 152, 1280, 720},
                                           letterbox_case{1000, 1000, 0, 218, 1000, 563},
                                           letterbox_case{2560, 1080, 320, 0, 1920, 1080}),
                         [](const auto &info) {
                             return std::to_string(info.param.client_w) + "x" + std::to_string(info.param.client_h);
                         });

} // namespace
