// test_window_shell.cpp -- the real program: video start-up failures, and F1 over a running screen
#include "game_script.h"
#include "graphics/d3d_font.h"
#include "platform/pf_video.h"
#include "ui/ec_cursor.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// The panel's area at the top left of the client: four lines of 24-pixel glyphs.
std::vector<u32> panel_area() {
    std::vector<u32> out;
    for (int y = 8; y < 136; ++y)
        for (int x = 8; x < 600; ++x)
            out.push_back(frame_pixel(x, y));
    return out;
}

// Each video failure ends start-up with exit code 1 and one "Fatal Error" box of its own
// text, and leaves neither window nor renderer behind.
TEST(window_shell, video_failures_end_start_up_with_their_own_fatal_error) {
    struct {
        platform_video_failure failure;
        int modes[2][2];
        int error; // failures with the same number share a text
    } cases[] = {
        {platform_video_fail_init, {{1280, 720}, {1920, 1080}}, 10}, // no video system: no display
        {platform_video_fail_window, {{1280, 720}, {1920, 1080}}, 9},
        {platform_video_fail_display_list, {{1280, 720}, {1920, 1080}}, 10},
        {platform_video_fail_none, {{0, 0}, {0, 0}}, 11}, // no mode of any size
        {platform_video_fail_renderer, {{1280, 720}, {1920, 1080}}, 12},
        {platform_video_fail_caps, {{1280, 720}, {1920, 1080}}, 13},
    };
    std::map<int, std::string> texts;
    for (auto &c : cases) {
        SCOPED_TRACE(c.error);
        dialog_recorder rec;
        platform_video_set_modes_for_test(c.modes, 2);
        platform_video_fail_for_test(c.failure);
        EXPECT_EQ(tombweaver_main(), 1);
        platform_video_fail_for_test(platform_video_fail_none);
        platform_video_set_modes_for_test(nullptr, 0);
        ASSERT_EQ(rec.count(), 1u) << (rec.count() > 1 ? rec.dialogs()[1].text : "");
        EXPECT_EQ(rec.dialogs()[0].caption, "Fatal Error");
        EXPECT_FALSE(rec.dialogs()[0].text.empty());
        EXPECT_EQ(texts.emplace(c.error, rec.dialogs()[0].text).first->second, rec.dialogs()[0].text);
        EXPECT_FALSE(platform_window_exists());
        EXPECT_FALSE(platform_renderer_exists());
    }
    std::set<std::string> distinct;
    for (auto &[error, text] : texts)
        distinct.insert(text);
    EXPECT_EQ(distinct.size(), 5u);
}

TEST(window_shell, f1_shows_and_hides_the_panel_over_the_menu) {
    dialog_recorder rec;
    std::vector<u32> before;
    auto differing = [&before] {
        const std::vector<u32> now = panel_area();
        int n = 0;
        for (size_t i = 0; i < now.size(); ++i)
            n += now[i] != before[i];
        return n;
    };
    game_script s;
    s.skip_splash().passes(3).then([&] { before = panel_area(); });
    s.post(msg_keydown, vk_f1).passes(3).then([&] {
        EXPECT_TRUE(diag_visible_get());
        EXPECT_GT(differing(), 1000); // four lines of text appeared
    });
    s.post(msg_keydown, vk_f1).passes(3).then([&] { EXPECT_EQ(differing(), 0); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_FALSE(diag_visible_get());
    EXPECT_EQ(rec.count(), 0u) << rec.dialogs()[0].text;
}

} // namespace
