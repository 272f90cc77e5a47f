// test_menu.cpp -- the main menu: foreign ids, and a save that vanishes before continue
#include "../e2e/game_script.h"
#include "game/g_main_menu.h"
#include "game/g_player.h"

#include <gtest/gtest.h>

namespace {

TEST(Menu, ForeignIdsAndContinueWithTheSaveGoneStayOnTheMenu) {
    dialog_recorder rec;
    save_write(std::vector<u8>(25, 1));
    game_script s;
    s.skip_splash().then([&] {
        mm_do_play(mm_exit_id);
        mm_do_continue(mm_play_id);
        mm_do_exit(mm_continue_id);
        EXPECT_EQ(rec.assertions(),
                  (std::vector<std::string>{"id == mm_play_id", "id == mm_continue_id", "id == mm_exit_id"}));
        rec.clear();
        save_remove();
    });
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
