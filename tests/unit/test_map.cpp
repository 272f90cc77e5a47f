// test_map.cpp -- the map's shown, disabled and hidden locations and its paths for given saves
#include "../e2e/game_script.h"
#include "game/g_map.h"
#include "game/g_player.h"
#include "game/g_puzzles.h"
#include "graphics/d3d_gfx2d.h"

#include <gtest/gtest.h>

namespace {

// Whether the last frame has the path's black halfway between the centres of a and b.
bool path_between(int a, int b) {
    const map_location *la = map_location_get(a), *lb = map_location_get(b);
    const int x = (la->x + 16 + lb->x + 16) / 2, y = (la->y + 16 + lb->y + 16) / 2;
    return gfx2d_screen_buffer()[y * screen_width + x] == 0xFF000000;
}

// Starts the program with puzzles first..last completed and opens the map at once.
// locations: per location '.' hidden, 'o' open, 'x' disabled; paths: per location
// i from 1, '-' when a path joins it to i - 1. more adds steps on the map.
void check_map(int first, int last, const std::string &locations, const std::string &paths,
               const std::function<void(game_script &)> &more = {}) {
    dialog_recorder rec;
    std::vector<u8> save(25, 0);
    for (int i = first; i <= last; ++i)
        save[i] = 1;
    save_write(save);
    game_script s;
    s.wait_mode(appmode_splash).then([] {
        player_continue();
        set_app_mode(appmode_map);
    });
    s.passes(2).then([&] {
        for (int i = 0; i < num_map_locations; ++i) {
            const char got = !map_location_shown(i) ? '.'
                             : map_location_button(i)->flags & button_flag_disabled ? 'x' : 'o';
            EXPECT_EQ(got, locations[i]) << "location " << i;
            if (i > 0) {
                EXPECT_EQ(path_between(i, i - 1), paths[i - 1] == '-') << "path to " << i;
            }
        }
    });
    if (more)
        more(s);
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

TEST(Map, TheTopChainDoneOpensTheLowerHalfWithoutAPathBetween) {
    check_map(0, 11, "xxxxxxxxxxxxo............", "-----------.............", [](game_script &s) {
        s.left_click(42 + 16, 456 + 16).wait_mode(appmode_necrogram).then([] {
            EXPECT_EQ(puzzle_get_active(), 12u);
        });
    });
}

TEST(Map, ALoneCompletedPuzzleOpensTheLocationAfterItWithoutAPath) {
    check_map(5, 5, "o.....o..................", "........................");
}

} // namespace
