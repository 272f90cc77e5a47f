// test_freeplay_board.cpp -- a free-play board of its own shape on the real loop: its clock, kept still
// while the window is inactive, its capture (not the story's) with the time on the banner, its list's
// buttons, and leaving for the free-play screen
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/freeplay/g_freeplay.h"
#include "game/g_strings.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "puzzle/pz_generate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>

namespace {

// A generated 7 x 13 puzzle as free play's, in a list of count puzzles.
freeplay_puzzle generated_7x13(int count) {
    freeplay_puzzle p;
    EXPECT_TRUE(pz_generate(7, 13, pz_grade::easy, 5, &p.puzzle, nullptr));
    p.number = 5;
    p.list_count = count;
    p.caption = "7x13 easy 5";
    return p;
}

// The centre of a cell of the board shown.
std::pair<int, int> cell_centre(int row, int column) {
    const necrogram_layout l = necrogram_layout_for(necrogram_shown());
    return {l.grid_x + l.cell * column + l.cell / 2, l.grid_y + l.cell * row + l.cell / 2};
}

// Yellow pixels across the middle of the frame, where the banner's text lies.
int banner_ink() {
    int ink = 0;
    for (int y = necrogram_banner_top + 50; y < necrogram_banner_top + 80; ++y)
        for (int x = 0; x < screen_width; x += 2)
            ink += frame_pixel(x, y) == 0xFFFFFF00u;
    return ink;
}

class FreeplayBoard : public fresh_game_test {};

// The board comes up at its shape with its caption's puzzle; two seconds of play count, an
// inactive window's do not; every goal cell clicked captures it as free play's (no story save,
// no marks file), the banner naming the time; the clock stops; Escape leaves for free play's
// screen and ends free play.
TEST_F(FreeplayBoard, PlayedToItsCaptureWithTheClock) {
    static double at_capture = 0;
    const freeplay_puzzle p = generated_7x13(1);
    s.wait_mode(appmode_splash).then([&] {
        freeplay_set_current(p);
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).then([] {
        ASSERT_TRUE(freeplay_on());
        EXPECT_EQ(std::pair(necrogram_shown()->width, necrogram_shown()->height), std::pair(7, 13));
        EXPECT_EQ(window_button_labels(ui_window_id_start),
                  (std::vector<dword>{str_map_back, str_ng_undo, str_ng_redo, str_ng_hint}));
    });
    static double before = 0;
    s.then([] { before = necrogram_play_seconds(); }).passes(125).then([] {
        EXPECT_NEAR(necrogram_play_seconds() - before, 2.0, 0.05);
    });
    s.post(msg_activate, 0).passes(2).then([] { before = necrogram_play_seconds(); }).passes(100);
    s.then([] { EXPECT_EQ(necrogram_play_seconds(), before); }).post(msg_activate, 1);
    for (int i = 0; i < 7 * 13; ++i)
        if (p.puzzle.goal[(size_t)i])
            s.then([i, &p] {
                 auto [x, y] = cell_centre(i / 7, i % 7);
                 (void)p;
                 platform_post_message(msg_mousemove, 0, (std::int32_t)((std::uint32_t)y << 16 | (std::uint32_t)x));
                 platform_post_message(msg_lbuttondown, mk_lbutton, 0);
                 platform_post_message(msg_lbuttonup, 0, 0);
             }).passes(3);
    s.until([] { return necrogram_captured(); }, "the capture").passes(3).then([] {
        at_capture = necrogram_play_seconds();
        EXPECT_GT(banner_ink(), 100) << "the banner with the time";
    });
    s.passes(60).then([] {
        EXPECT_EQ(necrogram_play_seconds(), at_capture);
        EXPECT_FALSE(save_exists());
        EXPECT_FALSE(std::filesystem::exists(save_folder_file_path("nonogram.marks")));
    });
    s.post(msg_keydown, vk_escape).post(msg_keyup, vk_escape).wait_mode(appmode_freeplay).then([] {
        EXPECT_FALSE(freeplay_on());
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// A list of three shows Prev and Next (Prev disabled on the first); the story's board is the
// story's again after free play, with its Map button.
TEST_F(FreeplayBoard, AListHasItsButtonsAndTheStoryBoardIsUnchanged) {
    s.wait_mode(appmode_splash).then([] {
        freeplay_set_current(generated_7x13(3));
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).then([] {
        const std::vector<dword> labels = window_button_labels(ui_window_id_start);
        EXPECT_EQ(std::count(labels.begin(), labels.end(), str_ng_previous), 1);
        EXPECT_EQ(std::count(labels.begin(), labels.end(), str_ng_next), 1);
    });
    s.post(msg_keydown, vk_next).post(msg_keyup, vk_next).passes(2).then([] {
        EXPECT_EQ(current_app_mode_get(), appmode_necrogram); // the list's next: the step's business
        necrogram_do_exit(ng_exit_id);
    });
    s.wait_mode(appmode_freeplay).then([] {
        set_app_mode(appmode_map);
        puzzle_set_active(0);
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).then([] {
        EXPECT_FALSE(freeplay_on());
        EXPECT_EQ(necrogram_shown()->width, 10);
        const std::vector<dword> labels = window_button_labels(ui_window_id_start);
        EXPECT_EQ(labels.front(), str_ng_exit);
        EXPECT_EQ(std::count(labels.begin(), labels.end(), str_ng_next), 0);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// The clock is the wall clock less the time the window was inactive: a frame seconds late
// (a busy machine, a box) counts in full, an inactive spell does not.
TEST_F(FreeplayBoard, TheClockIsTheWallClockLessInactiveTime) {
    static double before = 0;
    s.wait_mode(appmode_splash).then([] {
        freeplay_set_current(generated_7x13(1));
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).then([] {
        before = necrogram_play_seconds();
        platform_clock_advance(3000);
    });
    s.passes(2).then([] { EXPECT_NEAR(necrogram_play_seconds() - before, 3.032, 0.02); });
    s.post(msg_activate, 0).then([] {
        before = necrogram_play_seconds();
        platform_clock_advance(5000);
    });
    s.post(msg_activate, 1).passes(2).then([] { EXPECT_NEAR(necrogram_play_seconds() - before, 0.05, 0.04); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// A 30 x 30 board from a file whose clues allow several pictures, its top 20 rows marked as
// the picture has them (kept from an earlier visit), and its analysis of wrong marks held back
// (on such a board it can take the solver minutes, or seconds on a fast machine): a hint asked
// at once is found without waiting for the analysis, and leaving the board stops it.
TEST_F(FreeplayBoard, AHintOnABoardStillBeingAnalysedIsFoundAndLeavingStopsTheWork) {
    s.wait_mode(appmode_splash).then([] {
        std::mt19937 rng(4);
        std::vector<uint8_t> cells(900);
        for (uint8_t &c : cells)
            c = rng() % 100 < 45;
        freeplay_puzzle p;
        p.puzzle = pz_from_picture(30, 30, cells.data());
        p.origin = freeplay_origin_file;
        p.path = "/noise.non";
        p.several_solutions = true;
        freeplay_set_current(p);
        auto kept = std::make_unique<necrogram_board>();
        necrogram_load(kept.get(), 30, 30, cells.data());
        for (int i = 0; i < 600; ++i)
            kept->marks[i] = cells[(size_t)i] ? mark_full : mark_cross;
        freeplay_board_keep(kept.get(), 0);
        necrogram_help_hold_analysis(true);
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).post(msg_keydown, 'T').post(msg_keyup, 'T').passes(1);
    s.until([] { return !necrogram_help_thinking(); }, "the hint").then([] {
        EXPECT_FALSE(necrogram_help_analysis()->ready);
        ASSERT_NE(necrogram_hint_shown(), nullptr);
        EXPECT_NE(necrogram_hint_shown()->kind, necrogram_hint_not_found) << necrogram_hint_shown()->text;
    });
    s.post(msg_keydown, vk_escape).post(msg_keyup, vk_escape).wait_mode(appmode_freeplay);
    const int status = s.close().run();
    necrogram_help_hold_analysis(false);
    EXPECT_EQ(status, 0);
}

} // namespace
