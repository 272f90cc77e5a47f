// test_freeplay.cpp -- free play from the title: the screen's choices by keys and mouse, a
// generated board solved by hints, its record kept across a restart; Continue refused
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_records.h"
#include "game/freeplay/g_freeplay_screen.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/title/g_main_menu.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk).passes(2); }

game_script &type(game_script &s, const std::string &digits) {
    for (int i = 0; i < 10; ++i)
        key(s, 0x08); // Backspace
    for (char c : digits)
        key(s, (unsigned)c);
    return s;
}

// The centre of a choice button: the grades' three in a row, the width's (row 0) and the
// height's (row 1) steps -5, -1, +1, +5.
int choice_x(int i) { return 376 + 176 * (i % 3); }
int step_x(int i) { return (const int[]){344, 448, 656, 760}[i]; }
int size_y(int row) { return 104 + 56 * row + 24; }
constexpr int grade_y = 232 + 24;

// White ink where "Making the puzzle..." is written across the middle of the screen.
int making_ink() {
    int ink = 0;
    for (int y = 352; y < 368; ++y)
        for (int x = 520; x < 760; ++x)
            ink += frame_pixel(x, y) == 0xFFFFFFFF;
    return ink;
}

std::filesystem::path progress_file() { return save_folder_file_path(freeplay_file_name); }

class Freeplay : public fresh_game_test {
protected:
    void SetUp() override {
        fresh_game_test::SetUp();
        save_file_init_path();
        std::filesystem::remove(progress_file());
    }
};

// Title (keys) -> free play: 30 x 15 and Hard by the mouse, then 20 x 20 and Easy by the keys;
// the number typed;
// Play shows "Making the puzzle..." for a frame, then the board of "20x20 easy 48213",
// which hints alone capture; its time is recorded, and after a restart the screen shows it.
TEST_F(Freeplay, AGeneratedBoardSolvedByHintsKeepsItsRecordAcrossARestart) {
    s.skip_splash().then([] {
        EXPECT_EQ(window_button_labels(mm_window_get()),
                  (std::vector<dword>{str_mm_play, str_mm_freeplay, str_mm_tutorial, str_mm_library, str_mm_workshop,
                                      str_mm_exit}));
    });
    key(key(key(s, vk_down), vk_down), vk_return).wait_mode(appmode_freeplay).passes(2);
    s.left_click(step_x(3), size_y(0)).left_click(step_x(3), size_y(0)).left_click(step_x(3), size_y(0));
    s.left_click(step_x(0), size_y(1)).left_click(choice_x(2), grade_y).then([] {
        EXPECT_EQ(std::pair(freeplay_screen_width(), freeplay_screen_height()), std::pair(30, 15)); // 35 held at 30
        EXPECT_EQ(freeplay_screen_grade(), 2);
    });
    // From Hard (the eleventh button): the height's +5, the width's -5 twice, then Easy, by keys.
    const unsigned l = vk_left, r = vk_right, enter = vk_return;
    for (unsigned k : {l, l, l, enter, l, l, l, l, l, l, l, enter, enter, r, r, r, r, r, r, r, r, enter})
        key(s, k);
    type(s, "48213").then([] {
        EXPECT_EQ(std::pair(freeplay_screen_width(), freeplay_screen_height()), std::pair(20, 20));
        EXPECT_EQ(freeplay_screen_grade(), 0);
        EXPECT_EQ(freeplay_screen_number(), 48213u);
        EXPECT_EQ(freeplay_screen_record(), nullptr);
        EXPECT_EQ(making_ink(), 0);
    });
    s.left_click(400, 616).passes(1).then([] {
        EXPECT_EQ(current_app_mode_get(), appmode_freeplay);
        EXPECT_GT(making_ink(), 50);
    });
    s.wait_mode(appmode_necrogram).passes(2).then([] {
        ASSERT_TRUE(freeplay_on());
        EXPECT_EQ(freeplay_current()->caption, "20x20 easy 48213");
        EXPECT_TRUE(freeplay_on());
        EXPECT_EQ(necrogram_shown()->width, 20);
    });
    press_hints_until_captured(s);
    s.passes(3).then([] {
        const freeplay_progress p = freeplay_progress_read();
        const freeplay_record *r = freeplay_record_find(p, "20x20 easy 48213");
        ASSERT_NE(r, nullptr);
        EXPECT_GT(r->seconds, 0);
        EXPECT_GT(r->hints, 0);
        EXPECT_FALSE(p.have_board);
    });
    EXPECT_EQ(s.close().run(), 0);

    // A new run: the chosen puzzle's best and the recent list come from the file.
    game_script again;
    again.skip_splash().left_click(640, 375).wait_mode(appmode_freeplay).passes(2);
    again.left_click(choice_x(0), grade_y);
    type(again, "48213").passes(2).then([] {
        const freeplay_record *r = freeplay_screen_record();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->name, "20x20 easy 48213");
    });
    // Its Recent entry plays it again.
    again.left_click(1000, 160).wait_mode(appmode_necrogram).passes(2).then([] {
        EXPECT_EQ(freeplay_current()->caption, "20x20 easy 48213");
    });
    EXPECT_EQ(again.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_TRUE(save_read().empty()); // the story's save is never made by free play
}

// Play while another puzzle's board is kept unfinished asks first: No (Escape) keeps it and
// stays; Yes drops it and plays the chosen puzzle (20 x 15), whose size is kept in the file.
TEST_F(Freeplay, PlayAsksBeforeDroppingTheUnfinishedBoard) {
    std::ofstream(progress_file()) << "tombweaver free play 1\n"
                                      "board\t0\t5\t5\t0\t7\t0\t12\t0\t#"
                                   << std::string(24, '.') << "\t5x5 easy 7\t\n";
    s.skip_splash().left_click(640, 375).wait_mode(appmode_freeplay).passes(2);
    s.left_click(400, 616).passes(2).then([] { EXPECT_TRUE(question_is_open()); });
    key(s, vk_escape).passes(3).then([] {
        EXPECT_TRUE(!question_is_open() && current_app_mode_get() == appmode_freeplay);
        EXPECT_TRUE(freeplay_progress_read().have_board);
    });
    s.left_click(step_x(0), size_y(1)).left_click(400, 616).passes(2);
    key(s, 'Y').wait_mode(appmode_necrogram).then([] {
        EXPECT_FALSE(freeplay_progress_read().have_board);
        EXPECT_EQ(std::pair(necrogram_shown()->width, necrogram_shown()->height), std::pair(20, 15));
        EXPECT_NE(file_text(progress_file()).find("choice\t20\t15\t"), std::string::npos);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// A kept board from a file that has gone: Continue says so and the screen stays; Escape
// goes back to the title.
TEST_F(Freeplay, ContinueOfAFileThatHasGoneIsRefusedInABox) {
    std::ofstream(progress_file()) << "tombweaver free play 1\n"
                                      "board\t1\t5\t5\t0\t0\t0\t12\t1\t#"
                                   << std::string(24, '.') << "\tclues 0123456789abcdef\t/nowhere/gone.non\n";
    s.skip_splash().left_click(640, 375).wait_mode(appmode_freeplay).passes(2).then([] {
        const std::vector<dword> labels = window_button_labels(freeplay_window_get());
        EXPECT_EQ(std::vector<dword>(labels.end() - 3, labels.end()),
                  (std::vector<dword>{str_mm_play, str_mm_continue, str_map_back}));
    });
    s.left_click(640, 616).passes(3).then([this] {
        EXPECT_EQ(current_app_mode_get(), appmode_freeplay);
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Free Play");
        EXPECT_NE(rec.dialogs()[0].text.find("/nowhere/gone.non"), std::string::npos) << rec.dialogs()[0].text;
    });
    key(s, vk_escape).wait_mode(appmode_main_menu);
    EXPECT_EQ(s.close().run(), 0);
}

} // namespace
