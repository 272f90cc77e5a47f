// test_game_returning.cpp -- a returning player: continue restores the save, and a save that
// vanishes before continue keeps the menu; new game and exit replace it; the map's shown,
// disabled and hidden locations and its paths for given saves
#include "game/g_strings.h"
#include "game/story/g_map.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "game/title/g_main_menu.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"

#include <gtest/gtest.h>

namespace {

constexpr int menu_x = 640, continue_y = 310, new_game_y = 376, exit_y = 596;
constexpr int back_x = 1152, back_y = 680;

// With captures in the save, the gallery too.
void expect_continue_offered() {
    EXPECT_EQ(window_button_labels(mm_window_get()),
              (std::vector<dword>{5, 6, str_mm_freeplay, str_mm_tutorial, str_mm_gallery, str_mm_library,
                                  str_mm_workshop, 8}));
}

// Continue restores the save. Back on the menu, Continue again after the save has gone
// keeps the menu, and closing writes no new save.
TEST(GameReturningPlayer, ContinueRestoresTheSavedProgressAndAVanishedSaveKeepsTheMenu) {
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
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1).then([] {
        expect_continue_offered();
        EXPECT_EQ(save_read(), progress({0, 1}));
        save_remove();
    });
    s.left_click(menu_x, continue_y).passes(3).then([&] {
        EXPECT_EQ(rec.assertions(), std::vector<std::string>{"save_file_exists()"});
        EXPECT_EQ(current_app_mode_get(), appmode_main_menu);
        rec.clear();
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_FALSE(save_exists());
}

TEST(GameReturningPlayer, NewGameAnsweredYesThenExitReplacesTheSave) {
    dialog_recorder rec;
    save_write(progress({0, 1, 2, 3}));
    game_script s;
    s.wait_mode(appmode_splash).post(msg_keydown, vk_escape).wait_mode(appmode_main_menu).passes(1);
    // A press that leaves the button fires nothing; one released over it fires, wherever it began.
    s.ready().move(menu_x, new_game_y).post(msg_lbuttondown, mk_lbutton).move(100, 100, mk_lbutton).post(msg_lbuttonup);
    s.passes(2).then([] { EXPECT_EQ(current_app_mode_get(), appmode_main_menu); }).post(msg_lbuttondown, mk_lbutton);
    // The save holds captures: the question comes first, and Yes releases them.
    s.move(menu_x, new_game_y, mk_lbutton).post(msg_lbuttonup).passes(2).post(msg_keydown, 'Y');
    s.wait_mode(appmode_map).passes(1).then([] {
        EXPECT_TRUE(map_location_shown(0));
        EXPECT_FALSE(map_location_button(0)->flags & button_flag_disabled);
        EXPECT_FALSE(map_location_shown(1));
        EXPECT_EQ(save_read(), progress({0, 1, 2, 3})); // nothing is saved yet
    });
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, exit_y);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({})); // the new game the player chose
}

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
            const char got = !map_location_shown(i)                                 ? '.'
                             : map_location_button(i)->flags & button_flag_disabled ? 'x'
                                                                                    : 'o';
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
        s.left_click(42 + 16, 456 + 16).wait_mode(appmode_necrogram).then([] { EXPECT_EQ(puzzle_get_active(), 12u); });
    });
}

// White pixels in a rectangle of the framebuffer: how many, and their leftmost and rightmost columns.
struct ink {
    int count = 0, left = 1 << 30, right = -1;
};
ink white_in(int x0, int y0, int x1, int y1) {
    ink k;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (gfx2d_screen_buffer()[y * screen_width + x] == 0xFFFFFFFF) {
                ++k.count;
                k.left = std::min(k.left, x);
                k.right = std::max(k.right, x);
            }
    return k;
}

// Location 4 opens puzzle 4, whose clues of 10 and more are two digits within their slots:
// rows 13 and 14 are full (clue 15), column 6 has the single clue 14.
TEST(Map, ALoneCompletedPuzzleOpensTheLocationAfterItWithoutAPath) {
    check_map(3, 3, "o...o....................", "........................", [](game_script &s) {
        s.left_click(map_location_get(4)->x + 16, map_location_get(4)->y + 16).wait_mode(appmode_necrogram);
        s.passes(2).then([] {
            const int gx = 342, gy = 190, cx = gx + 32 * 6;
            const ink row = white_in(gx - 40, gy + 32 * 13, gx - 1, gy + 32 * 13 + 31),
                      column = white_in(cx - 16, gy - 20, cx + 37, gy - 1); // up to column 7's digits
            EXPECT_TRUE(row.count > 20 && row.left >= gx - 24 && row.right <= gx - 4) << row.left << " " << row.right;
            EXPECT_GE(row.right - row.left + 1, 12); // wider than one digit
            EXPECT_TRUE(column.count > 20 && column.left >= cx + 1 && column.right <= cx + 30);
        });
    });
}

} // namespace
