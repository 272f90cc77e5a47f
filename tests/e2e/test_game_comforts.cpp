// test_game_comforts.cpp -- clue marks, undo and redo, keyboard play, the full-screen keys, the music and
// sound switches, end to end
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/g_game.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"
#include "sound/direct_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

constexpr u32 white = 0xFFFFFFFF, yellow = 0xFFFFFF00;
constexpr int gx = 402, gy = 250; // puzzle 0's 10 x 10 grid

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk); }
// Ctrl held round a key.
game_script &ctrl(game_script &s, unsigned vk) {
    return key(s.post(msg_keydown, vk_control), vk).post(msg_keyup, vk_control).passes(2);
}

// White and grey pixels of row 1's single clue, as the frame shows it.
std::pair<int, int> row_1_clue_ink() {
    int whites = 0, greys = 0;
    for (int y = gy + 32 + 6; y < gy + 32 + 22; ++y)
        for (int x = gx - 20; x < gx - 4; ++x) {
            whites += frame_pixel(x, y) == white;
            greys += frame_pixel(x, y) == necrogram_clue_done_colour;
        }
    return {whites, greys};
}
bool row_1_dimmed() { return row_1_clue_ink().first == 0 && row_1_clue_ink().second > 10; }
bool row_1_white() { return row_1_clue_ink().first > 10 && row_1_clue_ink().second == 0; }

bool banner_shown() { return frame_pixel(0, necrogram_banner_top) == yellow; }

class GameComforts : public fresh_game_test {};

// A damaged settings file gives the defaults: music, and clue marks that follow every
// mark, undo and redo. Keys wait while a mouse button is held. Undo and redo take whole
// strokes, up to the solving one; a fill drag leaves crosses, and a new stroke ends redo.
TEST_F(GameComforts, ClueMarksAndUndoFromADamagedSettingsFile) {
    std::filesystem::create_directories(std::filesystem::path(settings_ini()).parent_path());
    std::ofstream(settings_ini(), std::ios::binary) << "music = maybe\nclue_marks\n\xff=off\n"
                                                    << std::string(5000, 'x');
    auto history = [] {
        return std::pair(necrogram_can_undo(necrogram_shown()), necrogram_can_redo(necrogram_shown()));
    };
    open_board(s, 0).then([] {
        EXPECT_TRUE(sound_is_playing(game_song_get()));
        EXPECT_TRUE(row_1_white());
    });
    ctrl(s, 'Z');
    ctrl(s, 'Y').then([&] { EXPECT_EQ(history(), std::pair(false, false)); }); // the empty ends
    // Keys wait while a mouse button is held: X crosses nothing under a fill in progress.
    s.ready().move(cell_x(9), cell_y(9)).post(msg_lbuttondown, mk_lbutton).post(msg_keydown, 'X').post(msg_keyup, 'X');
    s.passes(2).then([] { EXPECT_EQ(necrogram_get_mark(9, 9), mark_full); }).post(msg_lbuttonup);
    ctrl(s, 'Z');
    // A fill drag passes over a cross; a click on the cross takes it away, the next fills.
    s.right_click(cell_x(4), cell_y(1));
    drag_row(s, 1, 3, 6).then([] { EXPECT_TRUE(row_1_white() && necrogram_get_mark(1, 4) == mark_cross); });
    // A right drag from a fill empties the fills and leaves the cross (taken back at once).
    s.ready().move(cell_x(3), cell_y(1)).post(msg_rbuttondown, mk_rbutton).move(cell_x(6), cell_y(1), mk_rbutton);
    s.post(msg_rbuttonup).passes(2).then([] { EXPECT_EQ(necrogram_get_mark(1, 3) + necrogram_get_mark(1, 4), 2); });
    ctrl(s, 'Z');
    s.left_click(cell_x(4), cell_y(1)).passes(2).then([] { EXPECT_EQ(necrogram_get_mark(1, 4), mark_empty); });
    s.left_click(cell_x(4), cell_y(1)).passes(2).then([] { EXPECT_TRUE(row_1_dimmed()); });
    for (int i = 0; i < 3; ++i)
        ctrl(s, 'Z');
    s.then([&] {
        EXPECT_TRUE(row_1_white() && necrogram_get_mark(1, 6) == mark_empty); // the whole drag at once
        EXPECT_EQ(necrogram_get_mark(1, 4), mark_cross);
        EXPECT_EQ(history(), std::pair(true, true));
    });
    for (int i = 0; i < 3; ++i)
        ctrl(s, 'Y');
    s.then([] { EXPECT_TRUE(row_1_dimmed()); });
    s.left_click(cell_x(0), cell_y(1)).passes(2).then([] { EXPECT_TRUE(row_1_white()); }); // broken
    ctrl(s, 'Z').then([] { EXPECT_TRUE(row_1_dimmed()); });
    for (int r = 2; r < 10; ++r)
        for (int c : puzzle_0[r])
            s.left_click(cell_x(c), cell_y(r));
    s.passes(2).then([&] { EXPECT_TRUE(banner_shown() && !history().second && player_has_completed(0)); });
    // Captured: the history ends at the solving stroke (neither Undo nor Ctrl+Z takes the
    // capture back).
    s.left_click(1152, 560).passes(2).then([] { EXPECT_TRUE(banner_shown() && necrogram_solved()); });
    ctrl(s, 'Z').left_click(1152, 680).wait_mode(appmode_map).passes(1).then([] {
        EXPECT_EQ(save_read(), progress({0}));
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// From the splash to a captured board and back to the map without touching the mouse.
TEST_F(GameComforts, KeysAloneFromTheMenuToASolvedBoardAndItsSave) {
    int row = 0, column = 0; // where the keyboard cursor is
    auto go = [&](int r, int c) {
        for (; column < c; ++column)
            key(s, vk_right);
        for (; column > c; --column)
            key(s, vk_left);
        for (; row < r; ++row)
            key(s, vk_down);
    };
    key(s.wait_mode(appmode_splash), vk_escape).wait_mode(appmode_main_menu).passes(1);
    key(s, vk_down).passes(2); // focus on Play
    // Alt+Enter and F11 switch full screen, saved at once, and never reach the focused button.
    s.post(msg_syskeydown, vk_return).post(msg_syskeyup, vk_return).passes(2).then([] {
        EXPECT_TRUE(settings_get().fullscreen && current_app_mode_get() == appmode_main_menu);
        EXPECT_NE(file_text(settings_ini()).find("fullscreen = on"), std::string::npos);
    });
    key(s, vk_f11).passes(1).then([] { EXPECT_FALSE(settings_get().fullscreen); });
    key(s, vk_return).decline_tutorial().wait_mode(appmode_map).passes(1);
    key(s, vk_tab).passes(1); // focus on the first location
    key(s, vk_space).wait_mode(appmode_necrogram).passes(1);

    key(s, vk_right); // shows the cursor on the top-left cell
    // Row 1 painted by holding Space while moving; the rest with Z.
    go(1, 3);
    s.post(msg_keydown, vk_space);
    go(1, 6);
    s.post(msg_keyup, vk_space);
    for (int r = 2; r < 9; ++r)
        for (int c : puzzle_0[r]) {
            go(r, c);
            key(s, 'Z');
        }
    s.passes(2).then([] { EXPECT_TRUE(necrogram_solved()); }); // (the dummy display's full screen moved the picture)
    key(s, vk_escape).wait_mode(appmode_map).passes(1).then([] {
        ASSERT_EQ(save_read().size(), 25u);
        EXPECT_EQ(save_read()[0], 1);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(GameComforts, MSilencesTheMusicAndTheChoiceSurvivesARestart) {
    const std::string raw = std::string(TW_BUILD_DIR) + "/test-comforts-music.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    auto half_a_second = [] { std::this_thread::sleep_for(std::chrono::milliseconds(500)); };
    s.skip_splash().then(half_a_second); // the title song, mixed in real time
    key(s, 'M').passes(2).then([] { EXPECT_FALSE(sound_is_playing(title_song_get())); }).then(half_a_second);
    EXPECT_EQ(s.close().run(), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // What was mixed: the song, then silence to the end.
    const std::string bytes = file_text(raw);
    std::filesystem::remove(raw);
    const size_t silence = std::find_if(bytes.rbegin(), bytes.rend(), [](char b) { return b != 0; }) - bytes.rbegin();
    EXPECT_LT(silence, bytes.size());   // the song was mixed
    EXPECT_GT(silence, 44100u * 4 / 4); // at least a quarter second of silence at the end

    // The next start stays quiet until M is pressed again.
    game_script again;
    again.skip_splash().then([] { EXPECT_FALSE(sound_is_playing(title_song_get())); });
    key(again, 'M').passes(1).then([] { EXPECT_TRUE(sound_is_playing(title_song_get())); });
    EXPECT_EQ(again.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
