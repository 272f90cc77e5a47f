// test_game_splash.cpp -- the splash's skip, the keys that do not skip, and the stop while inactive
#include "game_script.h"
#include "sound/direct_sound.h"
#include "ui/ec_splash.h"

#include <gtest/gtest.h>

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

TEST(GameSplash, TheFadeStandsStillWhileTheWindowIsInactive) {
    dialog_recorder rec;
    game_script s;
    u32 before = 0;
    s.until([] { return splash_brightness_get() >= 20; }, "brightness 20").post(msg_activate, 0).passes(1);
    s.then([&] { before = splash_brightness_get(); }).passes(30).then([&] {
        EXPECT_EQ(splash_brightness_get(), before);
        EXPECT_EQ(splash_state_get(), splash_state_fade_in);
    });
    s.post(msg_activate, 1).passes(10).then([&] { EXPECT_GT(splash_brightness_get(), before); });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
