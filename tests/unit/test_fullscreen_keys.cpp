// test_fullscreen_keys.cpp -- F11 and Alt+Enter switch full screen, keep the choice, and reach no screen
#include "engine/ec_settings.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

int keys_seen = 0;
void count_key(unsigned) { ++keys_seen; }

TEST(fullscreen_keys, f11_and_alt_enter_toggle_the_saved_choice_and_never_reach_the_screen) {
    settings_load();
    ASSERT_FALSE(settings_get().fullscreen);
    app_mode modes[num_app_modes] = {};
    modes[appmode_main_menu].keydown = count_key;
    modes[appmode_main_menu].keyup = count_key;
    app_modes_use_for_test(modes, appmode_main_menu);
    const platform_message presses[] = {
        {msg_keydown, vk_f11, 0}, {msg_keyup, vk_f11, 0}, {msg_syskeydown, vk_return, 0}, {msg_syskeyup, vk_return, 0}};
    bool expected[] = {true, true, false, false};
    for (int i = 0; i < 4; ++i) {
        main_window_proc(&presses[i]);
        EXPECT_EQ(settings_get().fullscreen, expected[i]) << i;
    }
    EXPECT_EQ(keys_seen, 0);
    main_window_proc(&presses[0]); // on again: the file says so for the next start
    std::ifstream file(settings_file_path());
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("fullscreen = on"), std::string::npos) << text.str();
    settings_set(game_settings{});
    app_modes_use_for_test(nullptr, appmode_init);
}

} // namespace
