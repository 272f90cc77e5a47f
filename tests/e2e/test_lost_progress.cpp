// test_lost_progress.cpp -- progress survives closing on a captured board and an unreadable save
#include "game/g_map.h"
#include "game/g_necrogram.h"
#include "game/g_puzzles.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

namespace {

constexpr int menu_x = 640, first_button_y = 310, exit_y = 596;
constexpr int map_button_x = 1152, map_button_y = 680;

std::vector<u8> progress(std::initializer_list<int> completed) {
    std::vector<u8> bytes(25, 0);
    for (int i : completed)
        bytes[i] = 1;
    return bytes;
}

// From the menu's first button (play or continue) to a solved board of puzzle 0.
void capture_puzzle_0(game_script &s) {
    s.left_click(menu_x, first_button_y).wait_mode(appmode_map).passes(1);
    s.left_click(140, 110).wait_mode(appmode_necrogram).passes(1);
    int size = 0;
    const u8 *cells = puzzle_get_info(0, &size, nullptr);
    for (int i = 0; i < size * size; ++i)
        if (cells[i])
            s.left_click(402 + 32 * (i % size) + 16, 250 + 32 * (i / size) + 16);
    s.passes(2).then([] { ASSERT_TRUE(necrogram_solved()); });
}

TEST(LostProgress, ClosingOnACapturedBoardKeepsTheCapture) {
    // The window's close button, and the system asking the game to end.
    const std::vector<std::pair<const char *, std::function<void()>>> closings = {
        {"close button", [] { platform_post_message(msg_close, 0, 0); }},
        {"SIGTERM", [] { std::raise(SIGTERM); }},
        {"SIGINT", [] { std::raise(SIGINT); }},
        {"SIGHUP (terminal closed)", [] { std::raise(SIGHUP); }},
    };
    for (const auto &[how, close] : closings) {
        SCOPED_TRACE(how);
        dialog_recorder rec;
        save_remove();
        game_script s;
        s.skip_splash();
        capture_puzzle_0(s);
        s.then(close);
        EXPECT_EQ(s.run(), 0);
        EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
        EXPECT_EQ(save_read(), progress({0}));

        // The next start continues with location 0 done and location 1 open.
        game_script next;
        next.skip_splash().left_click(menu_x, first_button_y).wait_mode(appmode_map).passes(1).then([] {
            ASSERT_TRUE(map_location_shown(1));
            EXPECT_TRUE(map_location_button(0)->flags & button_flag_disabled);
        });
        next.close();
        EXPECT_EQ(next.run(), 0);
    }
}

TEST(LostProgress, AnUnreadableSaveIsMovedAsideBeforeTheFirstNewSave) {
    dialog_recorder rec;
    std::vector<u8> old_save(26, 0);
    for (int i = 0; i < 4; ++i)
        old_save[i] = 1;
    save_write(old_save);
    const std::string damaged = std::string(save_file_path()) + ".damaged";
    std::filesystem::remove(damaged);

    game_script s;
    s.skip_splash();
    // Continue: the design's assertion, and nothing is lost yet.
    capture_puzzle_0(s);
    s.then([&] {
        EXPECT_TRUE(rec.asserted("save_size == sizeof( player_data )"));
        EXPECT_EQ(save_read(), old_save);
    });
    s.left_click(map_button_x, map_button_y).wait_mode(appmode_map).passes(1).then([&] {
        EXPECT_EQ(save_read(), progress({0}));
    });
    s.left_click(map_button_x, map_button_y).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, exit_y);
    EXPECT_EQ(s.run(), 0);

    EXPECT_EQ(rec.count(), 1u) << rec.dialogs().back().text;
    EXPECT_EQ(save_read(), progress({0}));
    std::ifstream in(damaged, std::ios::binary);
    std::vector<u8> aside((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(aside, old_save);
    std::filesystem::remove(damaged);
}

} // namespace
