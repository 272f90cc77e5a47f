// test_game_returning.cpp -- a returning player: continue restores the save; new game and exit replace it
#include "game/g_main_menu.h"
#include "game/g_map.h"
#include "game/g_player.h"
#include "game_script.h"

#include <gtest/gtest.h>

namespace {

constexpr int menu_x = 640, continue_y = 310, new_game_y = 376, exit_y = 596;
constexpr int back_x = 1152, back_y = 680;

void expect_continue_offered() {
    EXPECT_EQ(window_button_labels(mm_window_get()), (std::vector<dword>{5, 6, 8}));
}

TEST(GameReturningPlayer, ContinueRestoresTheSavedProgress) {
    dialog_recorder rec;
    save_write(progress({0, 1}));
    game_script s;
    s.skip_splash().then(expect_continue_offered);
    s.left_click(menu_x, continue_y).wait_mode(appmode_map).passes(2).then([] {
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(map_location_shown(i)) << i;
        EXPECT_TRUE(map_location_button(0)->flags & button_flag_disabled);
        EXPECT_TRUE(map_location_button(1)->flags & button_flag_disabled);
        EXPECT_FALSE(map_location_button(2)->flags & button_flag_disabled);
        EXPECT_FALSE(map_location_shown(3));
    });
    // Back to the menu, which still offers continue; closing saves nothing.
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1).then(expect_continue_offered);
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({0, 1}));
}

TEST(GameReturningPlayer, NewGameThenExitReplacesTheSave) {
    dialog_recorder rec;
    save_write(progress({0, 1, 2, 3}));
    game_script s;
    s.wait_mode(appmode_splash).post(msg_keydown, vk_escape).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, new_game_y).wait_mode(appmode_map).passes(1).then([] {
        EXPECT_TRUE(map_location_shown(0));
        EXPECT_FALSE(map_location_button(0)->flags & button_flag_disabled);
        EXPECT_FALSE(map_location_shown(1));
        EXPECT_EQ(save_read(), progress({0, 1, 2, 3})); // nothing is saved yet
    });
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, exit_y);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({}));
}

} // namespace
