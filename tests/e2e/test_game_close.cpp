// test_game_close.cpp -- closing the window on every screen ends cleanly: no leak, no save
#include "game/g_necrogram.h"
#include "game/g_puzzles.h"
#include "game_script.h"
#include "platform/pf_video.h"
#include "sound/direct_sound.h"
#include "ui/ec_splash.h"

#include <gtest/gtest.h>

namespace {

// Runs the script, closes the window at its end and checks the shutdown: result 0,
// no box at all (a leak would show one per block), no save file unless a captured
// board was open, no sound left.
void close_cleanly(game_script &s, bool captured = false) {
    dialog_recorder rec;
    save_remove();
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_exists(), captured);
    EXPECT_EQ(sound_count(), 0);
    EXPECT_TRUE(platform_cursor_shown());
}

TEST(GameClose, DuringTheSplashFadeIn) {
    game_script s;
    s.wait_mode(appmode_splash).passes(5).then([] {
        EXPECT_EQ(splash_state_get(), splash_state_fade_in);
        EXPECT_FALSE(platform_cursor_shown());
    });
    close_cleanly(s);
    EXPECT_EQ(splash_brightness_get(), 100u);
}

TEST(GameClose, WhileTheIntroSoundPlays) {
    game_script s;
    s.until([] { return splash_state_get() == splash_state_wait; }, "the hold").passes(2).then([] {
        EXPECT_TRUE(sound_is_playing(splash_intro_sound_get()));
    });
    close_cleanly(s);
    EXPECT_EQ(splash_intro_sound_get(), invalid_id);
}

TEST(GameClose, OnTheMenuTheMapAndASolvedBoard) {
    for (int screen : {appmode_main_menu, appmode_map, appmode_necrogram}) {
        SCOPED_TRACE(screen);
        game_script s;
        s.skip_splash();
        if (screen != appmode_main_menu)
            s.left_click(640, 310).wait_mode(appmode_map).passes(2);
        if (screen == appmode_necrogram) {
            // Puzzle 0 solved by clicks: closing keeps the capture (see test_lost_progress).
            s.left_click(140, 110).wait_mode(appmode_necrogram).passes(1);
            int size = 0;
            const u8 *cells = puzzle_get_info(0, &size, nullptr);
            for (int i = 0; i < size * size; ++i)
                if (cells[i])
                    s.left_click(402 + 32 * (i % size) + 16, 250 + 32 * (i / size) + 16);
            s.passes(2).then([] { EXPECT_TRUE(necrogram_solved()); });
        }
        close_cleanly(s, screen == appmode_necrogram);
    }
}

} // namespace
