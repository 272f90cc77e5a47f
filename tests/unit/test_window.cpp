// test_window.cpp -- resolution choice, placement, mouse scale, destroying the window
// (the video start-up failures run through the whole program in test_window_shell)
#include "engine/ec_strings.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "test_gfx_util.h"
#include "ui/ec_cursor.h"

#include <string>
#include <vector>

namespace {

typedef std::vector<std::pair<int, int>> mode_list;

void inject(const mode_list &modes) {
    std::vector<int> flat;
    for (auto &m : modes) {
        flat.push_back(m.first);
        flat.push_back(m.second);
    }
    platform_video_set_modes_for_test((const int(*)[2])flat.data(), (int)modes.size());
}

TEST(window_resolution, chosen_from_the_display_modes) {
    struct {
        mode_list modes;
        bool ok;
        int w, h;
    } cases[] = {
        {{{800, 600}, {1280, 720}, {1920, 1080}}, true, 1280, 720}, // 1280 x 720 when listed
        {{{1024, 768}, {1600, 900}}, true, 1600, 900},              // else the largest area
        {{{800, 600}, {1280, 720}}, false, 0, 0},                   // nothing reaches 768 rows
        {{{1280, 1024}, {1024, 1280}}, true, 1280, 1024},           // equal areas: the first
        {{{1024, 768}, {1024, 768}, {800, 600}}, true, 1024, 768},  // repeats change nothing
    };
    for (auto &c : cases) {
        d3d_window_set_for_test(1, 1, 1.0f, 1.0f);
        inject(c.modes);
        EXPECT_EQ(d3d_choose_resolution(), c.ok) << c.modes.size();
        int w = 0, h = 0;
        d3d_get_window_res(&w, &h);
        EXPECT_EQ(std::pair(w, h), c.ok ? std::pair(c.w, c.h) : std::pair(1, 1)); // unchanged on failure
    }
    platform_video_set_modes_for_test(nullptr, 0);
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);

    d3d_window_res_string();
    EXPECT_STREQ(scratch_string()->text, "Current Resolution: 1280x720");
}

class window_up : public gfx_test::stack {};

TEST_F(window_up, placed_in_the_usable_area_with_the_cursor_centred) {
    // The dummy display's usable area is 1024 x 768 at (0, 0): the 1280 x 720 client is
    // centred in it, rounding down, even where it does not fit.
    int cx = 0, cy = 0;
    d3d_window_get_client_centre(&cx, &cy);
    EXPECT_EQ(std::pair(cx, cy), std::pair(((1024 - 1280) >> 1) + 640, ((768 - 720) >> 1) + 360));
    cursor_centre();
    int x = 0, y = 0;
    platform_mouse_last_warp(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(cx, cy));
    cursor_get_position(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(640, 360));
}

TEST_F(window_up, mouse_scale_follows_maximise_and_restore) {
    app_modes_use_for_test(nullptr, appmode_exit);
    // Each row: the client size the window reports, the size message, the scale after it.
    const struct {
        int client_w, client_h;
        u32 kind;
        float sx, sy;
    } cases[] = {
        {1920, 1017, size_minimized, 1.0f, 1.0f}, // only restores and maximises count
        {1920, 1017, size_maximized, 0.7079646f, 0.7079646f}, // 16:9 picture 1808 x 1017, bars beside it
        {0, 500, size_restored, 1.0f, 1.0f}, // an empty client area leaves the scale at 1
    };
    for (const auto &c : cases) {
        platform_video_set_client_size_for_test(c.client_w, c.client_h);
        platform_message size = {msg_size, c.kind, 0};
        main_window_proc(&size);
        float sx = 0, sy = 0;
        d3d_get_mouse_scale(&sx, &sy);
        EXPECT_FLOAT_EQ(sx, c.sx) << c.kind;
        EXPECT_FLOAT_EQ(sy, c.sy) << c.kind;
    }
    int w = 0, h = 0;
    d3d_get_window_res(&w, &h);
    EXPECT_EQ(w, 1280); // window_res stays as chosen

    // A real change of the client area: the picture is stretched to it as well.
    platform_video_set_client_size_for_test(0, 0);
    platform_window_place(0, 0, 1600, 900);
    platform_message restored = {msg_size, size_restored, 0};
    main_window_proc(&restored);
    float sx = 0, sy = 0;
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0.8f);
    gfx2d_fill_screen(0);
    gfx2d_screen_buffer()[719 * 1280 + 1279] = 0xFFFF0000u;
    frame();
    EXPECT_EQ(std::pair(frame_w, frame_h), std::pair(1600, 900));
    EXPECT_EQ(px(1599, 899), 0xFFFF0000u);
    EXPECT_EQ(px(1595, 895), 0xFF000000u);
    app_modes_use_for_test(nullptr, appmode_init);
}

std::vector<platform_message> sent;
std::intptr_t record_message(const platform_message *msg) {
    sent.push_back(*msg);
    return 0;
}

TEST_F(window_up, destroying_the_window_sends_msg_destroy_once) {
    sent.clear();
    platform_set_window_proc(record_message);
    d3d_free();
    d3d_window_destroy();
    d3d_window_destroy();
    platform_set_window_proc(nullptr);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message, (u32)msg_destroy);
    EXPECT_FALSE(platform_window_exists());
    EXPECT_FALSE(platform_renderer_exists());
}

} // namespace
