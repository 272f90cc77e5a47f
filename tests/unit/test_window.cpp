// test_window.cpp -- resolution choice, mouse scale and cursor position, destroying the window
// (no usable mode and the other video start-up failures: test_window_shell)
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "test_gfx_util.h"
#include "ui/ec_cursor.h"

#include <tuple>
#include <vector>

namespace {

TEST(window_resolution, without_1280_x_720_the_largest_area_and_the_first_of_equals) {
    const int largest[2][2] = {{1024, 768}, {1600, 900}}, equal[2][2] = {{1280, 1024}, {1024, 1280}};
    for (auto [modes, w, h] : {std::tuple{largest, 1600, 900}, {equal, 1280, 1024}}) {
        platform_video_set_modes_for_test(modes, 2);
        EXPECT_TRUE(d3d_choose_resolution());
        int got_w = 0, got_h = 0;
        d3d_get_window_res(&got_w, &got_h);
        EXPECT_EQ(std::pair(got_w, got_h), std::pair(w, h));
    }
    platform_video_set_modes_for_test(nullptr, 0);
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
}

class window_up : public gfx_test::stack {};

// The mouse scale, and the framebuffer pixel a client point lands on: the nearest, halves
// rounding up, and kept on the picture (a click on a bar lands on its edge).
TEST_F(window_up, mouse_scale_follows_maximise_and_restore) {
    app_modes_use_for_test(nullptr, appmode_exit);
    // Each row: the client size the window reports, the size message, the scale after it,
    // a client point and where the cursor lands.
    const struct {
        int client_w, client_h;
        u32 kind;
        float scale;
        int x, y, want_x, want_y;
    } cases[] = {
        // 16:9 picture 1808 x 1017, bars of 56 beside it: 2 * 0.7079646 + 0.5 rounds down to 1.
        {1920, 1017, size_maximized, 0.7079646f, 56 + 2, 0, 1, 0},
        {1920, 1017, size_maximized, 0.7079646f, 1919, 1016, 1279, 719},
        {0, 500, size_restored, 1.0f, -5, 720, 0, 719}, // an empty client area leaves the scale at 1
    };
    float sx = 0, sy = 0;
    for (const auto &c : cases) {
        platform_video_set_client_size_for_test(c.client_w, c.client_h);
        platform_message size = {msg_size, c.kind, 0};
        main_window_proc(&size);
        d3d_get_mouse_scale(&sx, &sy);
        EXPECT_FLOAT_EQ(sx, c.scale) << c.kind;
        EXPECT_FLOAT_EQ(sy, c.scale) << c.kind;
        cursor_update_position(c.x, c.y);
        int x = -1, y = -1;
        cursor_get_position(&x, &y);
        EXPECT_EQ(std::pair(x, y), std::pair(c.want_x, c.want_y)) << c.x << "," << c.y;
    }
    // A real change of the client area: the picture is stretched to it as well.
    platform_video_set_client_size_for_test(0, 0);
    platform_window_place(0, 0, 1600, 900);
    platform_message restored = {msg_size, size_restored, 0};
    main_window_proc(&restored);
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0.8f);
    gfx2d_screen_buffer()[719 * 1280 + 1279] = 0xFFFF0000u;
    frame();
    EXPECT_EQ(std::pair(frame_w, frame_h), std::pair(1600, 900));
    EXPECT_EQ(px(1599, 899), 0xFFFF0000u); // the last pixel, stretched to the corner
    app_modes_use_for_test(nullptr, appmode_init);
}

std::vector<platform_message> sent;
std::intptr_t record_message(const platform_message *msg) {
    sent.push_back(*msg);
    return 0;
}

TEST_F(window_up, destroying_the_window_twice_sends_msg_destroy_once) {
    platform_set_window_proc(record_message);
    d3d_free();
    d3d_window_destroy();
    d3d_window_destroy();
    platform_set_window_proc(nullptr);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, (u32)msg_destroy);
    EXPECT_FALSE(platform_window_exists() || platform_renderer_exists());
}

} // namespace
