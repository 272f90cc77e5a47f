// test_lost_progress.cpp -- closing the program on any screen ends cleanly, progress survives
// closing on a captured board and an unreadable save (kept aside, the player told in plain
// words); a still screen is not presented again
#include "engine/ec_assert.h"
#include "game/board/g_necrogram.h"
#include "game/story/g_board_marks.h"
#include "game/story/g_map.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"
#include "sound/direct_sound.h"
#include "ui/ec_splash.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int menu_x = 640, first_button_y = 310;
constexpr int map_button_x = 1152, map_button_y = 680;

// From the menu's first button (play or continue) to a solved board of puzzle 0.
void capture_puzzle_0(game_script &s) {
    s.left_click(menu_x, first_button_y).decline_tutorial().wait_mode(appmode_map).passes(1);
    s.left_click(140, 110).wait_mode(appmode_necrogram).passes(1);
    for (int r = 0; r < 10; ++r)
        for (int c : puzzle_0[r])
            s.left_click(cell_x(c), cell_y(r));
    s.passes(2).then([] { ASSERT_TRUE(necrogram_solved()); });
}

// Runs the script, then ends the program (by its close button unless told otherwise) and
// checks the shutdown: result 0, no box (a leak would show one per block), no sound left,
// the cursor back, and a save only when a board was captured.
void end_cleanly(
    game_script &s, bool captured = false, std::function<void()> end = [] { platform_post_message(msg_close, 0, 0); }) {
    dialog_recorder rec;
    save_remove();
    s.then(end);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), captured ? progress({0}) : std::vector<u8>());
    EXPECT_EQ(sound_count(), 0);
    EXPECT_TRUE(platform_cursor_shown());
}

TEST(GameClose, DuringTheSplashFadeInWhileTheIntroSoundPlaysAndOnTheMap) {
    game_script fading;
    fading.wait_mode(appmode_splash).passes(5).then([] {
        EXPECT_EQ(splash_state_get(), splash_state_fade_in);
        EXPECT_FALSE(platform_cursor_shown());
    });
    end_cleanly(fading);
    EXPECT_EQ(splash_brightness_get(), 100u);

    game_script intro;
    intro.until([] { return splash_state_get() == splash_state_wait; }, "the hold").passes(2).then([] {
        EXPECT_TRUE(sound_is_playing(splash_intro_sound_get()));
    });
    end_cleanly(intro);
    EXPECT_EQ(splash_intro_sound_get(), invalid_id);

    // The map, once drawn, is not presented again while nothing changes.
    std::uint32_t frames = 0, still = 0;
    game_script map;
    map.skip_splash().left_click(menu_x, first_button_y).decline_tutorial().wait_mode(appmode_map).passes(5);
    map.then([&] { platform_video_captured_frame(nullptr, nullptr, &still); }).passes(60).then([&] {
        platform_video_captured_frame(nullptr, nullptr, &frames);
        EXPECT_EQ(frames, still) << "the idle map was presented again";
    });
    end_cleanly(map);
}

TEST(LostProgress, ClosingOnACapturedBoardKeepsTheCapture) {
    // The window's close button, and the system asking the game to end (a hang-up and
    // Ctrl+C take the same way: test_boxes_and_signals).
    const std::vector<std::pair<const char *, std::function<void()>>> closings = {
        {"close button", [] { platform_post_message(msg_close, 0, 0); }},
        {"SIGTERM", [] { std::raise(SIGTERM); }},
    };
    for (const auto &[how, close] : closings) {
        SCOPED_TRACE(how);
        game_script s;
        s.skip_splash();
        capture_puzzle_0(s);
        // Recorded when made: stray clicks and Ctrl+Z after it take nothing away (the new player's run).
        s.left_click(cell_x(0), cell_y(0)).post(msg_keydown, vk_control).post(msg_keydown, 'Z');
        end_cleanly(s, true, close); // the save's bytes (continuing from them: the returning player's run)
    }
}

// In a developer's build the assertion comes first; in the player's build only the plain box.
TEST(LostProgress, AnUnreadableSaveIsMovedAsideOnContinueWithAPlainMessage) {
    for (bool player : {false, true}) {
        player_build_set(player);
        dialog_recorder rec;
        std::vector<u8> old_save = progress({0, 1, 2, 3});
        old_save.push_back(0); // 26 bytes: one too many
        save_write(old_save);
        const std::string damaged = std::string(save_file_path()) + ".damaged";
        std::filesystem::remove(damaged);

        game_script s;
        s.skip_splash();
        capture_puzzle_0(s); // by Continue, which goes on to the map
        s.then([&] {
            EXPECT_EQ(save_read(), progress({0})); // saved at the capture
            EXPECT_EQ(file_text(damaged), std::string(old_save.begin(), old_save.end()));
        });
        s.left_click(map_button_x, map_button_y).wait_mode(appmode_map).passes(1);
        EXPECT_EQ(s.close().run(), 0);
        player_build_set(false);

        ASSERT_EQ(rec.count(), player ? 1u : 2u);
        EXPECT_EQ(rec.asserted("save_size == sizeof( player_data )"), !player);
        EXPECT_EQ(rec.dialogs().back().text,
                  "Your saved game could not be read; it was kept as nonogram.sav.damaged. "
                  "A new game starts.");
        EXPECT_EQ(save_read(), progress({0}));
        EXPECT_EQ(file_text(damaged), std::string(old_save.begin(), old_save.end()));
        std::filesystem::remove(damaged);
    }
}

// The title screen's Exit writes only progress the session read or made (a save with
// captures passed by: the returning player's run), so a save the game cannot read (a named
// pipe in its place, which must not hang the end of the splash either) is left as it is.
TEST(LostProgress, ExitFromTheTitleLeavesAnUnreadableSave) {
    dialog_recorder rec;
    save_remove();
    ASSERT_EQ(mkfifo(save_file_path(), 0644), 0);
    game_script s;
    EXPECT_EQ(s.wait_mode(appmode_splash).post(msg_keydown, vk_escape).left_click(menu_x, 596).run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_TRUE(std::filesystem::is_fifo(save_file_path()));
    save_remove();
}

// A half-done board left by Escape and by closing the program comes back with its marks
// across a restart, the 25-byte save untouched; New game forgets them.
TEST(LostProgress, AHalfDoneBoardKeepsItsMarksUntilANewGame) {
    dialog_recorder rec;
    save_write(progress({}));
    auto board_0 = [](game_script &s) -> game_script & { return s.left_click(140, 110).wait_mode(appmode_necrogram); };
    game_script first, second;
    board_0(first.skip_splash().left_click(menu_x, first_button_y).decline_tutorial().wait_mode(appmode_map));
    first.left_click(cell_x(3), cell_y(1)).right_click(cell_x(0), cell_y(0));
    board_0(first.post(msg_keydown, vk_escape).wait_mode(appmode_map)).left_click(cell_x(4), cell_y(1));
    EXPECT_EQ(first.close().run(), 0);
    EXPECT_EQ(save_read(), progress({}));

    board_0(second.skip_splash().left_click(menu_x, first_button_y).decline_tutorial().wait_mode(appmode_map)).then([] {
        EXPECT_TRUE(necrogram_get_mark(1, 3) + necrogram_get_mark(1, 4) == 2 && necrogram_get_mark(0, 0) == mark_cross);
    });
    second.left_click(map_button_x, map_button_y).wait_mode(appmode_map).left_click(1152, 680);
    board_0(second.wait_mode(appmode_main_menu).left_click(menu_x, 376).wait_mode(appmode_map)).then([] {
        EXPECT_EQ(necrogram_get_mark(1, 3) + necrogram_get_mark(0, 0), mark_empty);
    });
    EXPECT_EQ(second.close().run(), 0);
    EXPECT_FALSE(std::filesystem::exists(save_folder_file_path(board_marks_file_name)));
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// A second game on the same save is refused with a plain box before it opens a window, so it
// cannot write its stale save over the first one's captures; once the first ends, a game
// starts again. (The lock file stands for the first game: another process holding it.)
TEST(LostProgress, ASecondGameOnTheSameSaveIsRefused) {
    dialog_recorder rec;
    save_write(progress({0, 1}));
    const std::string lock = save_folder_file_path("tombweaver.lock");
    const int first = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(first, 0);
    ASSERT_EQ(flock(first, LOCK_EX | LOCK_NB), 0);
    game_script refused;
    EXPECT_EQ(refused.command_line({"--window", "x.non"}).run(), 1);
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Tombweaver Is Already Running");
    EXPECT_NE(rec.dialogs()[0].text.find("drop the puzzle files on it"), std::string::npos);
    EXPECT_EQ(save_read(), progress({0, 1}));
    close(first);

    rec.clear();
    game_script second;
    EXPECT_EQ(second.wait_mode(appmode_splash).close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    save_remove();
}

} // namespace
