// test_game_splash.cpp -- the splash's skip and the keys that do not skip; frames spaced by the
// 16 ms tick on the hand-driven clock (the fade steps on frame ticks, which stop while the window
// is inactive: the frame timer's table; a still screen is not presented again: test_lost_progress)
#include "game_script.h"
#include "platform/pf_system.h"
#include "sound/direct_sound.h"
#include "ui/ec_cursor.h"
#include "ui/ec_splash.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(GameSplash, AClickDuringTheFadeInFadesOutFromThereWithoutTheIntroSound) {
    dialog_recorder rec;
    game_script s;
    u32 at_click = 0;
    std::vector<u32> seen;
    bool intro_played = false;
    s.until([] { return splash_brightness_get() >= 30; }, "brightness 30");
    // Neither a release, another key nor a key release skips.
    s.post(msg_lbuttonup).post(msg_keydown, 'A').post(msg_keyup, vk_escape).post(msg_keydown, vk_f1).passes(2);
    s.then([&] {
        EXPECT_EQ(splash_state_get(), splash_state_fade_in);
        at_click = splash_brightness_get();
        platform_post_message(msg_lbuttondown, mk_lbutton, 0);
    });
    s.until(
        [&] {
            if (current_app_mode_get() != appmode_splash)
                return true;
            intro_played |= sound_is_playing(splash_intro_sound_get());
            if (seen.empty() || seen.back() != splash_brightness_get())
                seen.push_back(splash_brightness_get());
            return false;
        },
        "the menu");
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(intro_played);
    ASSERT_GE(seen.size(), 3u);
    // A press lands on the pass after it is posted: the fade-in may take one more step.
    EXPECT_LE(seen[1], at_click + 2);
    for (size_t i = 2; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], seen[i - 1] - 5) << i;
}

// The clock moves 1 ms per pass of the loop, as a fast machine's would: the loop
// must sleep to the next frame rather than present on every pass.
struct fast_machine {
    std::vector<std::uint32_t> present_times, brightness;
    std::uint32_t last_frame = 0, frame_rate = 0;
    bool closing = false;
    static void hook(void *context) {
        fast_machine *m = (fast_machine *)context;
        platform_clock_advance(1);
        std::uint32_t n = 0;
        platform_video_captured_frame(nullptr, nullptr, &n);
        if (n != m->last_frame && m->present_times.size() < 30) {
            m->last_frame = n;
            m->present_times.push_back(platform_get_tick_count());
            m->brightness.push_back(splash_brightness_get());
        }
        // After a second and a half, the frames counted in the last whole second.
        if (!m->closing && platform_get_tick_count() >= 2500) {
            m->closing = true;
            m->frame_rate = frame_rate_get();
            platform_post_message(msg_close, 0, 0);
        }
    }
};

TEST(frame_pacing, presents_are_spaced_by_the_tick_and_ticks_keep_their_rate) {
    manual_clock clock(1000);
    static const int modes[2][2] = {{1280, 720}, {1920, 1080}};
    platform_video_set_modes_for_test(modes, 2);
    platform_video_set_capture(true);
    fast_machine m;
    platform_set_loop_hook(&fast_machine::hook, &m);
    EXPECT_EQ(tombweaver_main(), 0);
    platform_set_loop_hook(nullptr, nullptr);
    platform_video_set_capture(false);
    platform_video_set_modes_for_test(nullptr, 0);
    ASSERT_EQ(m.present_times.size(), 30u);
    // One frame (one pass of the screen's update) every 16 ms: 62 or 63 a second.
    EXPECT_TRUE(m.frame_rate == 62 || m.frame_rate == 63) << m.frame_rate;
    // The splash fades in by 2 per tick: one tick, and one frame, every 16 ms.
    for (size_t i = 2; i < m.present_times.size(); ++i) {
        EXPECT_EQ(m.present_times[i] - m.present_times[i - 1], 16u) << "frame " << i;
        EXPECT_EQ(m.brightness[i] - m.brightness[i - 1], 2u) << "frame " << i;
    }
}

} // namespace
