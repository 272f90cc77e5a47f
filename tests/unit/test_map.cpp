// test_map.cpp -- the map's shown, disabled and hidden locations and its paths for given saves
#include "../e2e/game_script.h"
#include "game/g_map.h"
#include "game/g_player.h"
#include "game/g_puzzles.h"
#include "graphics/d3d_gfx2d.h"

#include <gtest/gtest.h>

namespace {

std::vector<u8> progress(int first, int last) {
    std::vector<u8> bytes(25, 0);
    for (int i = first; i <= last; ++i)
        bytes[i] = 1;
    return bytes;
}

// Whether the last frame has the path's black at the middle of the straight line
// between the centres of locations a and b.
bool path_between(int a, int b) {
    const map_location *la = map_location_get(a), *lb = map_location_get(b);
    const int x = (la->x + 16 + lb->x + 16) / 2, y = (la->y + 16 + lb->y + 16) / 2;
    return gfx2d_screen_buffer()[y * screen_width + x] == 0xFF000000;
}

bool disabled(int i) { return map_location_button(i)->flags & button_flag_disabled; }

// Starts the program with this save, loads it and opens the map at once.
void open_map(game_script &s, const std::vector<u8> &save) {
    save_write(save);
    s.wait_mode(appmode_splash).then([] {
        player_continue();
        set_app_mode(appmode_map);
    });
    s.passes(2);
}

TEST(Map, ANewGameShowsLocationZeroAloneWithoutPath) {
    dialog_recorder rec;
    game_script s;
    open_map(s, progress(0, -1));
    s.then([] {
        ASSERT_TRUE(map_location_shown(0));
        EXPECT_FALSE(disabled(0));
        EXPECT_EQ(map_location_button(0)->x, 124);
        EXPECT_EQ(map_location_button(0)->id, 100u);
        for (int i = 1; i < num_map_locations; ++i)
            EXPECT_FALSE(map_location_shown(i)) << i;
        EXPECT_FALSE(path_between(0, 1));
    });
    // Handlers called with foreign ids refuse them.
    s.then([&] {
        map_do_location(99);
        map_do_location(125);
        map_do_back(100);
        EXPECT_EQ(rec.assertions(),
                  (std::vector<std::string>{"index >= 0", "index < num_map_locations", "id == map_back_id"}));
        EXPECT_EQ(current_app_mode_get(), appmode_map);
        rec.clear();
    });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

TEST(Map, TheTopChainDoneOpensTheLowerHalfWithoutAPathBetween) {
    dialog_recorder rec;
    game_script s;
    open_map(s, progress(0, 11));
    s.then([] {
        for (int i = 0; i <= 12; ++i) {
            ASSERT_TRUE(map_location_shown(i)) << i;
            EXPECT_EQ(disabled(i), i < 12) << i;
        }
        for (int i = 13; i < num_map_locations; ++i)
            EXPECT_FALSE(map_location_shown(i)) << i;
        for (int i = 1; i <= 11; ++i)
            EXPECT_TRUE(path_between(i, i - 1)) << i;
        EXPECT_FALSE(path_between(12, 11));
    });
    // Location 12 opens puzzle 12.
    s.left_click(42 + 16, 456 + 16).wait_mode(appmode_necrogram).then([] { EXPECT_EQ(puzzle_get_active(), 12u); });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

TEST(Map, EverythingDoneLeavesOnlyTheBackButton) {
    dialog_recorder rec;
    game_script s;
    open_map(s, progress(0, 24));
    s.then([] {
        for (int i = 0; i < num_map_locations; ++i) {
            ASSERT_TRUE(map_location_shown(i)) << i;
            EXPECT_TRUE(disabled(i)) << i;
        }
        EXPECT_FALSE(path_between(12, 11));
        EXPECT_TRUE(path_between(24, 23));
    });
    s.left_click(124 + 16, 94 + 16).passes(3).then([] { EXPECT_EQ(current_app_mode_get(), appmode_map); });
    s.left_click(1152, 680).wait_mode(appmode_main_menu);
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

TEST(Map, ALoneCompletedPuzzleOpensTheLocationAfterIt) {
    // Puzzle 5 alone: location 6 is open; 5 is not reached, so no path leads to it.
    dialog_recorder rec;
    game_script s;
    open_map(s, progress(5, 5));
    s.then([] {
        EXPECT_TRUE(map_location_shown(0));
        ASSERT_TRUE(map_location_shown(6));
        EXPECT_FALSE(disabled(6));
        EXPECT_FALSE(map_location_shown(5));
        EXPECT_FALSE(map_location_shown(7));
        EXPECT_FALSE(path_between(6, 5));
    });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
