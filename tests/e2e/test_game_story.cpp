// test_game_story.cpp -- the story's ends: New Game asks before releasing captures and keeps the
// old save aside; the last capture shows the ending, after which completed locations replay
// without touching the save; and a machine without sound still reaches the title
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/story/g_ending.h"
#include "game/story/g_map.h"
#include "game/story/g_player.h"
#include "game/title/g_main_menu.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "sound/direct_sound.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int menu_x = 640, continue_y = 310, new_game_y = 376, exit_y = 596;
constexpr int back_x = 1152, back_y = 680;
// The question's Yes and No buttons (centres), in screen pixels.
constexpr int yes_x = 640 - 96, no_x = 640 + 96, answer_y = 360 - 112 + 144 + 24;

std::vector<u8> all_captured() { return std::vector<u8>(25, 1); }

std::string previous_path() { return std::string(save_file_path()) + ".previous"; }

std::vector<u8> previous_read() {
    const std::string text = file_text(previous_path());
    return std::vector<u8>(text.begin(), text.end());
}

// New Game over a finished save asks first. No (the button, then Escape) keeps everything;
// Yes starts afresh, and the first save of the new game keeps the old one aside, replacing
// an older copy.
TEST(NewGameQuestion, NoKeepsTheCapturesAndYesKeepsTheOldSaveAsPrevious) {
    dialog_recorder rec;
    save_write(all_captured());
    std::ofstream(previous_path(), std::ios::binary) << "older";
    game_script s;
    s.skip_splash().left_click(menu_x, new_game_y).passes(2).then([] {
        ASSERT_TRUE(question_is_open());
        const ui_element *focus = ui_focus_element();
        ASSERT_TRUE(focus);
        EXPECT_EQ(((const dynamic_button_data *)focus->data)->id, question_no_id); // the safe answer
    });
    // Clicks beside the window reach nothing behind it: Exit stays where it is.
    s.left_click(menu_x, exit_y).passes(2).then([] { EXPECT_TRUE(question_is_open()); });
    s.left_click(no_x, answer_y).passes(2).then([] {
        EXPECT_FALSE(question_is_open());
        EXPECT_EQ(current_app_mode_get(), appmode_main_menu);
    });
    s.left_click(menu_x, new_game_y).passes(2).post(msg_keydown, vk_escape).passes(2).then([] {
        EXPECT_FALSE(question_is_open());
        EXPECT_EQ(current_app_mode_get(), appmode_main_menu);
        EXPECT_EQ(save_read(), all_captured());
    });
    // The keyboard: Left moves to Yes, Return answers it.
    s.left_click(menu_x, new_game_y).passes(2).post(msg_keydown, vk_left).post(msg_keydown, vk_return);
    s.wait_mode(appmode_map).passes(1).then([] {
        EXPECT_FALSE(map_location_shown(1));
        EXPECT_EQ(save_read(), all_captured()); // nothing is saved yet
        EXPECT_EQ(file_text(previous_path()), "older");
    });
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1).left_click(menu_x, exit_y);
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({}));
    EXPECT_EQ(previous_read(), all_captured());
    std::remove(previous_path().c_str());
}

// The question counts the captures on disk, in the singular for one; without any, New Game
// asks nothing.
TEST(NewGameQuestion, CountsTheSavedCapturesAndAsksNothingWithoutAny) {
    dialog_recorder rec;
    save_write(progress({4}));
    game_script s;
    s.skip_splash().left_click(menu_x, new_game_y).passes(2).then([] {
        ASSERT_TRUE(question_is_open());
        EXPECT_EQ(player_saved_captures(), 1);
    });
    s.post(msg_keydown, 'Y').wait_mode(appmode_map).then([] { save_write(progress({})); });
    s.left_click(back_x, back_y).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, new_game_y).wait_mode(appmode_map).then([] { EXPECT_FALSE(question_is_open()); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(std::filesystem::exists(previous_path())); // never saved over
}

// Fills every cell of the picture of puzzle with single clicks.
game_script &click_cells(game_script &s, u32 puzzle) {
    int size = 0;
    const u8 *cells = puzzle_get_info(puzzle, &size, nullptr);
    const necrogram_layout l = necrogram_story_layout(size);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
            if (cells[r * size + c])
                s.left_click(l.grid_x + 32 * c + 16, l.grid_y + 32 * r + 16);
    return s.passes(2);
}

// The ink of the gallery picture index in the last frame: how many pixels of its square are
// the picture's pale colour.
int gallery_ink(int index) {
    int x = 0, y = 0, size = 0, n = 0;
    ending_picture_rect(index, &x, &y, &size);
    for (int j = y; j < y + size; ++j)
        for (int i = x; i < x + size; ++i)
            n += frame_pixel(i, j) == 0xFFE8E2CC;
    return n;
}

// From a save with 24 captures, the 25th ends the game: the ending shows every picture and
// leads back to the title. From then on a completed location opens its board again, and
// leaving it unsolved leaves the save as it was.
TEST(Ending, TheLastCaptureShowsTheEndingAndCompletedLocationsReplay) {
    dialog_recorder rec;
    std::vector<u8> save = all_captured();
    save[24] = 0;
    save_write(save);
    game_script s;
    s.skip_splash().left_click(menu_x, continue_y).wait_mode(appmode_map).passes(1);
    s.left_click(map_location_get(24)->x + 16, map_location_get(24)->y + 16).wait_mode(appmode_necrogram);
    click_cells(s, 24).then([] { EXPECT_TRUE(necrogram_solved()); });
    s.post(msg_keydown, vk_escape).wait_mode(appmode_ending).passes(2).then([] {
        EXPECT_EQ(save_read(), all_captured());
        EXPECT_NE(ending_window_get(), invalid_id);
        for (int i = 0; i < 25; ++i) {
            int size = 0;
            const u8 *cells = puzzle_get_info((u32)i, &size, nullptr);
            int filled = 0;
            for (int k = 0; k < size * size; ++k)
                filled += cells[k] != 0;
            const int cell = 60 / size;
            EXPECT_EQ(gallery_ink(i), filled * cell * cell) << "picture " << i;
        }
    });
    s.post(msg_keydown, vk_return).wait_mode(appmode_main_menu).passes(1);
    s.left_click(menu_x, continue_y).wait_mode(appmode_map).passes(1).then([] {
        for (int i = 0; i < num_map_locations; ++i)
            EXPECT_FALSE(map_location_button(i)->flags & button_flag_disabled) << i;
    });
    std::filesystem::file_time_type written;
    s.then([&] { written = std::filesystem::last_write_time(save_file_path()); });
    s.left_click(map_location_get(3)->x + 16, map_location_get(3)->y + 16).wait_mode(appmode_necrogram);
    s.passes(1).then([] { EXPECT_EQ(puzzle_get_active(), 3u); }).left_click(cell_x(0), cell_y(0));
    s.post(msg_keydown, vk_escape).wait_mode(appmode_map).passes(1).then([&] {
        EXPECT_EQ(save_read(), all_captured());
        EXPECT_EQ(std::filesystem::last_write_time(save_file_path()), written);
    });
    // A replay solved again goes back to the map, not to the ending.
    s.left_click(map_location_get(0)->x + 16, map_location_get(0)->y + 16).wait_mode(appmode_necrogram);
    click_cells(s, 0).post(msg_keydown, vk_escape).wait_mode(appmode_map);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), all_captured());
}

// With no audio device the game starts silently, says so once, and M and N still switch.
TEST(NoSoundDevice, StartUpReachesTheTitleAndTheSwitchesStillWork) {
    dialog_recorder rec;
    save_remove();
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    testing::internal::CaptureStderr();
    const game_settings before = settings_get();
    game_script s;
    s.skip_splash().then([] {
        EXPECT_TRUE(sound_system_silent());
        EXPECT_EQ(window_button_labels(mm_window_get()),
                  (std::vector<dword>{4, str_mm_freeplay, str_mm_tutorial, str_mm_library, str_mm_workshop, 8}));
    });
    s.post(msg_keydown, 'M').post(msg_keydown, 'N').passes(1).then([&] {
        EXPECT_EQ(settings_get().music, !before.music);
        EXPECT_EQ(settings_get().sounds, !before.sounds);
    });
    s.post(msg_keydown, 'M').post(msg_keydown, 'N').passes(1).then([&] {
        EXPECT_EQ(settings_get().music, before.music);
        EXPECT_EQ(settings_get().sounds, before.sounds);
    });
    s.left_click(menu_x, 310).decline_tutorial().wait_mode(appmode_map).passes(2);
    const int result = s.close().run();
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    const size_t first = said.find("playing without sound");
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find("playing without sound", first + 1), std::string::npos) << said;
}

} // namespace
