// test_game_new_player.cpp -- a new player, end to end: splash, menu, map, a solved board and back
#include "game/board/g_necrogram.h"
#include "game/g_game.h"
#include "game/g_strings.h"
#include "game/story/g_map.h"
#include "game/story/g_puzzles.h"
#include "game/title/g_main_menu.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "sound/direct_sound.h"
#include "ui/ec_splash.h"

#include <gtest/gtest.h>

namespace {

constexpr u32 yellow = 0xFFFFFF00, black = 0xFF000000;

// The banner's yellow edges at y 296 and 424 and black between them, across the width.
bool banner_shown() {
    bool shown = frame_pixel(0, 295) != yellow && frame_pixel(0, 425) != yellow;
    for (int x : {0, 200, 1279}) // clear of the sparks around the last click
        shown = shown && frame_pixel(x, 296) == yellow && frame_pixel(x, 424) == yellow &&
                frame_pixel(x, 297) == black && frame_pixel(x, 423) == black;
    return shown;
}

int yellow_text_pixels() {
    int n = 0;
    for (int y = 352; y < 380; ++y)
        for (int x = 200; x < 1080; ++x)
            n += frame_pixel(x, y) == yellow;
    return n;
}

TEST(GameNewPlayer, FromTheSplashToASolvedBoardAndBackToTheMap) {
    dialog_recorder rec;
    save_remove();
    game_script s;

    // The splash fades in from black, holds while the intro sound plays, fades out by itself.
    // (Its steps and their 16 ms spacing: test_game_splash.)
    s.wait_mode(appmode_splash);
    s.passes(1).then([] { EXPECT_EQ(frame_pixel(5, 5), black); });
    s.until([] { return splash_state_get() == splash_state_wait; }, "the hold");
    s.passes(2).then([] { EXPECT_EQ(frame_pixel(5, 5), 0xFFE7E0C3u); });
    s.wait_mode(appmode_main_menu);

    // No save yet: play, free play, the tutorial and exit. Play (its tutorial declined) goes to the
    // map, which shows location 0 alone.
    s.passes(2).then([] {
        EXPECT_EQ(splash_brightness_get(), 100u); // restored on the way out
        EXPECT_EQ(window_button_labels(mm_window_get()),
                  (std::vector<dword>{4, str_mm_freeplay, str_mm_tutorial, str_mm_library, str_mm_workshop, 8}));
        EXPECT_TRUE(sound_is_playing(title_song_get()));
    });
    s.left_click(640, 310).decline_tutorial().wait_mode(appmode_map).passes(2).then([] {
        EXPECT_TRUE(map_location_shown(0));
        EXPECT_FALSE(map_location_shown(1));
    });

    // Location 0 opens puzzle 0, with the game song instead of the title song,
    // over the gradient where the framebuffer is clear.
    s.left_click(140, 110).wait_mode(appmode_necrogram).passes(2).then([] {
        EXPECT_EQ(frame_pixel(1279, 0), 0xFFDDDECBu);
        EXPECT_EQ(frame_pixel(1279, 719), 0xFFBDCDB1u);
        EXPECT_EQ(gfx2d_screen_buffer()[296 * screen_width + 5], 0u);
        EXPECT_EQ(puzzle_get_active(), 0u);
        EXPECT_EQ(necrogram_shown()->width, 10);
        EXPECT_TRUE(sound_is_playing(game_song_get()));
        EXPECT_FALSE(sound_is_playing(title_song_get()));
    });

    // The hovered cell is framed in the cursor's colour; the border column right of the grid is no cell,
    // and a stroke begun there and wandering off the grid marks nothing (the board stays
    // unsolved until its last cell below).
    s.move(cell_x(3), cell_y(2)).passes(2).then([] {
        const u32 ring = necrogram_palette_usual.cursor;
        EXPECT_EQ(std::pair(frame_pixel(402 + 96, 324), frame_pixel(402 + 128, 324)), std::pair(ring, ring));
    });
    s.move(402 + 320, 260).passes(2).then([] {
        int c = 0, r = 0;
        necrogram_get_hover(&c, &r);
        EXPECT_EQ(std::pair(c, r), std::pair(-1, -1));
    });
    s.post(msg_lbuttondown, mk_lbutton).move(372, 290, mk_lbutton).move(442, 600, mk_lbutton).post(msg_lbuttonup);

    // Solve it: drags along the long rows, clicks for the rest, a cross and a
    // wrong cell taken back on the way.
    drag_row(s, 1, 3, 6);
    drag_row(s, 7, 1, 6);
    drag_row(s, 8, 3, 6);
    s.right_click(cell_x(0), cell_y(0));
    s.left_click(cell_x(9), cell_y(9)).left_click(cell_x(9), cell_y(9));
    for (int r : {2, 3, 4, 5})
        for (int c : puzzle_0[r])
            s.left_click(cell_x(c), cell_y(r));
    s.left_click(cell_x(1), cell_y(6)).left_click(cell_x(2), cell_y(6)).left_click(cell_x(6), cell_y(6));
    s.passes(3).then([] {
        EXPECT_FALSE(necrogram_solved());
        EXPECT_FALSE(banner_shown());
        EXPECT_EQ(necrogram_get_mark(0, 0), mark_cross);
        EXPECT_EQ(necrogram_get_mark(9, 9), mark_empty);
    });
    s.left_click(cell_x(7), cell_y(6)).passes(3).then([] {
        EXPECT_TRUE(necrogram_solved());
        EXPECT_TRUE(banner_shown());
        EXPECT_GT(yellow_text_pixels(), 200);
    });
    // The capture is saved at once, and the board is finished: a click, a cross, Ctrl+Z
    // and the Undo button change nothing, and the banner stays.
    s.then([] { EXPECT_EQ(save_read(), progress({0})); }).left_click(cell_x(0), cell_y(9));
    s.right_click(cell_x(3), cell_y(1)).post(msg_keydown, vk_control).post(msg_keydown, 'Z').left_click(1152, 560);
    s.post(msg_keyup, 'Z').post(msg_keyup, vk_control).passes(2).then([] {
        EXPECT_TRUE(necrogram_captured() && banner_shown());
        EXPECT_TRUE(necrogram_get_mark(9, 0) == mark_empty && necrogram_get_mark(1, 3) == mark_full);
    });

    // The exit button leads back to the map: 0 is done, 1 is open with its path.
    s.left_click(1152, 680).wait_mode(appmode_map).passes(2).then([] {
        ASSERT_TRUE(map_location_shown(0));
        EXPECT_TRUE(map_location_button(0)->flags & button_flag_disabled);
        ASSERT_TRUE(map_location_shown(1));
        EXPECT_FALSE(map_location_button(1)->flags & button_flag_disabled);
        EXPECT_FALSE(map_location_shown(2));
        EXPECT_EQ(frame_pixel(180, 80), black); // halfway between the two
        EXPECT_TRUE(sound_is_playing(title_song_get()));
        EXPECT_FALSE(sound_is_playing(game_song_get()));
    });
    s.close();

    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({0}));
}

} // namespace
