// test_menu.cpp -- the main menu: a save that vanishes before continue
#include "../e2e/game_script.h"
#include "game/g_main_menu.h"
#include "game/g_player.h"

#include <gtest/gtest.h>

namespace {

TEST(Menu, ContinueWithTheSaveGoneStaysOnTheMenu) {
    dialog_recorder rec;
    save_write(std::vector<u8>(25, 1));
    game_script s;
    s.skip_splash().then(save_remove);
    s.left_click(640, 310).passes(3).then([&] {
        EXPECT_EQ(rec.assertions(), std::vector<std::string>{"save_file_exists()"});
        EXPECT_EQ(current_app_mode_get(), appmode_main_menu);
        rec.clear();
    });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(save_exists());
}

} // namespace
