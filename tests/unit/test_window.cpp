// test_window.cpp -- resolution choice, placement, mouse scale, and the video start-up failures
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
        {{}, false, 0, 0},
    };
    for (auto &c : cases) {
        d3d_window_set_for_test(1, 1, 1.0f, 1.0f);
        inject(c.modes);
        EXPECT_EQ(d3d_choose_resolution(), c.ok) << c.modes.size();
        int w = 0, h = 0;
        d3d_get_window_res(&w, &h);
        if (c.ok) {
            EXPECT_EQ(w, c.w);
            EXPECT_EQ(h, c.h);
        } else {
            EXPECT_EQ(w, 1); // unchanged
        }
    }
    platform_video_set_modes_for_test(nullptr, 0);
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);

    d3d_window_res_string();
    EXPECT_STREQ(scratch_string()->text, "Current Resolution: 1280x720");

    dialog_recorder rec;
    d3d_get_window_res(nullptr, nullptr);
    EXPECT_TRUE(rec.asserted("width"));
}

class window_up : public gfx_test::stack {};

TEST_F(window_up, placed_in_the_usable_area_with_the_cursor_centred) {
    int w = 0, h = 0;
    platform_window_client_size(&w, &h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    // The dummy display's usable area is 1024 x 768 at (0, 0): the client is
    // centred in it, rounding down, even where it does not fit.
    int cx = 0, cy = 0;
    d3d_window_get_client_centre(&cx, &cy);
    EXPECT_EQ(cx, ((1024 - 1280) >> 1) + 640);
    EXPECT_EQ(cy, ((768 - 720) >> 1) + 360);
    cursor_centre();
    int wx = 0, wy = 0;
    platform_mouse_last_warp(&wx, &wy);
    EXPECT_EQ(wx, cx);
    EXPECT_EQ(wy, cy);
    cursor_get_position(&wx, &wy);
    EXPECT_EQ(wx, 640);
    EXPECT_EQ(wy, 360);
}

TEST_F(window_up, mouse_scale_follows_maximise_and_restore) {
    float sx = 0, sy = 0;
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 1.0f);
    EXPECT_FLOAT_EQ(sy, 1.0f);

    app_modes_use_for_test(nullptr, appmode_exit);
    platform_video_set_client_size_for_test(1920, 1017);
    platform_message minimised = {msg_size, size_minimized, 0};
    main_window_proc(&minimised);
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 1.0f); // only restores and maximises count
    platform_message maximised = {msg_size, size_maximized, 0};
    main_window_proc(&maximised);
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0.6666667f);
    EXPECT_FLOAT_EQ(sy, 0.7079646f);
    int w = 0, h = 0;
    d3d_get_window_res(&w, &h);
    EXPECT_EQ(w, 1280); // window_res stays as chosen
    platform_video_set_client_size_for_test(0, 500); // an empty client area leaves the scale at 1
    d3d_window_update_mouse_scale();
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 1.0f);

    // A real change of the client area: the picture is stretched to it as well.
    platform_video_set_client_size_for_test(0, 0);
    platform_window_place(0, 0, 1600, 900);
    platform_message restored = {msg_size, size_restored, 0};
    main_window_proc(&restored);
    d3d_get_mouse_scale(&sx, &sy);
    EXPECT_FLOAT_EQ(sx, 0.8f);
    EXPECT_FLOAT_EQ(sy, 0.8f);
    gfx2d_fill_screen(0);
    gfx2d_screen_buffer()[719 * 1280 + 1279] = 0xFFFF0000u;
    frame();
    EXPECT_EQ(frame_w, 1600);
    EXPECT_EQ(frame_h, 900);
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

// Each video failure ends start-up with its own "Fatal Error" text, and leaves
// neither window nor renderer behind.
TEST(window_start_up, each_failure_shows_its_fatal_error) {
    struct {
        platform_video_failure failure;
        mode_list modes;
        int string_id;
    } cases[] = {
        {platform_video_fail_init, {{1280, 720}}, 9},
        {platform_video_fail_window, {{1280, 720}}, 9},
        {platform_video_fail_display_list, {{1280, 720}}, 10},
        {platform_video_fail_none, {{800, 600}, {1280, 720}}, 11},
        {platform_video_fail_renderer, {{1280, 720}, {1024, 768}}, 12},
        {platform_video_fail_caps, {{1280, 720}, {1024, 768}}, 13},
    };
    memory_system_init();
    for (auto &c : cases) {
        dialog_recorder rec;
        platform_video_fail_for_test(c.failure);
        inject(c.modes);
        {
            scoped_graphics gfx(0, 0);
            EXPECT_FALSE(gfx.ok()) << c.string_id;
            ASSERT_EQ(rec.count(), 1u) << c.string_id;
            EXPECT_EQ(rec.dialogs()[0].caption, "Fatal Error");
            EXPECT_EQ(rec.dialogs()[0].text, gfx_env_string(c.string_id));
            EXPECT_FALSE(platform_window_exists());
            EXPECT_FALSE(platform_renderer_exists());
            EXPECT_FALSE(d3d_device_exists());
        }
        platform_video_fail_for_test(platform_video_fail_none);
    }
    EXPECT_EQ(memory_num_allocations(), 0);
}

} // namespace
