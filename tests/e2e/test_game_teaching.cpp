// test_game_teaching.cpp -- what teaches a new player, end to end: the tutorial, hints that name
// their reason, a solve's banner and its Next, the gallery and the map's count
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_records.h"
#include "game/g_question.h"
#include "game/g_strings.h"
#include "game/story/g_gallery.h"
#include "game/story/g_map.h"
#include "game/title/g_main_menu.h"
#include "game/tutorial/g_tutorial.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace {

class Teaching : public fresh_game_test {};

// Whether the frame outlines a board cell (story layout) in colour along most of its ring.
bool outlined(int cell, u32 colour) {
    const necrogram_layout l = necrogram_layout_for(necrogram_shown());
    const int w = necrogram_shown()->width;
    const int x = l.grid_x + 32 * (cell % w), y = l.grid_y + 32 * (cell / w);
    int hits = 0;
    for (int i = 1; i < 32; ++i)
        hits += (frame_pixel(x + i, y + 1) == colour) + (frame_pixel(x + i, y + 31) == colour) +
                (frame_pixel(x + 1, y + i) == colour) + (frame_pixel(x + 31, y + i) == colour);
    return hits > 3 * 4 * 31 / 4;
}

// Presses T until the board is captured or the wanted reasons are seen. Each line hint of
// a reason not seen before is checked once drawn: its cells outlined in the hint's colour,
// the marks its reason rests on in the reason's; its sentence goes into *seen.
game_script &collect_reasons(game_script &s, std::map<pz_reason, std::string> *seen, std::vector<pz_reason> wanted) {
    return s.until(
        [seen, wanted, pass = 0, drawn = 0]() mutable {
            if (necrogram_captured() ||
                std::all_of(wanted.begin(), wanted.end(), [&](pz_reason r) { return seen->count(r) > 0; }))
                return true;
            const necrogram_hint *h = necrogram_hint_shown();
            if (h && h->kind == necrogram_hint_line && !seen->count(h->reason)) {
                if (++drawn < 3)
                    return false; // a frame or two to draw it
                drawn = 0;
                (*seen)[h->reason] = h->text;
                EXPECT_GT(h->num_cells, 0) << h->text;
                for (int i = 0; i < h->num_cells; ++i)
                    EXPECT_TRUE(outlined(h->cells[i], necrogram_hint_colour)) << h->text << ", cell " << h->cells[i];
                for (int i = 0; i < h->num_support; ++i)
                    EXPECT_TRUE(outlined(h->support[i], necrogram_reason_colour))
                        << h->text << ", mark " << h->support[i];
            }
            if (++pass % 4 == 0 && !necrogram_help_thinking())
                platform_post_message(msg_keydown, 'T', 0), platform_post_message(msg_keyup, 'T', 0);
            return false;
        },
        "hints of every reason");
}

// Location 0's hints, from an empty board, name six kinds of reason; location 3 has the
// seventh, a cell filled whichever run lies over it.
TEST_F(Teaching, LineHintsNameTheirReasonAndOutlineWhatItRestsOn) {
    static std::map<pz_reason, std::string> seen;
    open_board(s, 0);
    using enum pz_reason;
    collect_reasons(s, &seen, {zero, overlap, reach, gap, ends, complete}).then([] {
        EXPECT_EQ(seen[pz_reason::zero], "Row 1: the clue is 0, so every cell stays empty");
        EXPECT_EQ(seen[pz_reason::overlap], "Row 8: the 6 must cover cells 4-7 wherever it lies");
        EXPECT_EQ(seen[pz_reason::reach], "Row 4: the 2 cannot reach this cell");
        EXPECT_EQ(seen[pz_reason::gap], "Column 2: the 3 cannot fit between these crosses");
        EXPECT_EQ(seen[pz_reason::ends], "Row 7: the 2 is complete, so the cell beside it stays empty");
        EXPECT_EQ(seen[pz_reason::complete], "Column 6: every run is placed, so the rest stays empty");
        seen.clear();
        set_app_mode(appmode_map), puzzle_set_active(3), set_app_mode(appmode_necrogram);
    });
    s.passes(2);
    s.until([] { return necrogram_help_analysis()->ready; }, "the analysis");
    collect_reasons(s, &seen, {every_fit}).then([] {
        EXPECT_EQ(seen[pz_reason::every_fit], "Row 2: every way the runs fit fills this cell");
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

int pixels_of(u32 colour, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < 1024; ++x)
            n += frame_pixel(x, y) == colour;
    return n;
}

// A generated puzzle solved faster than its record: the banner says "New best time!" and Hint
// gives its place to Next, which opens the next number of the same size and grade; Return
// does the same on the next solve.
TEST_F(Teaching, ASolveBeatsTheRecordAndNextOpensTheNextNumber) {
    s.wait_mode(appmode_splash).then([] {
        freeplay_progress progress;
        freeplay_record_solved(&progress, "5x5 easy 7", "5x5 easy 7", 600, 0);
        freeplay_progress_write(progress);
        freeplay_start_generated(5, 5, 0, 7);
    });
    s.passes(2).then([] {
        EXPECT_EQ(window_button_labels(ui_window_id_start),
                  (std::vector<dword>{str_map_back, str_ng_undo, str_ng_redo, str_ng_hint}));
    });
    press_hints_until_captured(s).passes(3).then([] {
        EXPECT_TRUE(necrogram_new_best());
        EXPECT_GT(pixels_of(0xFF7CFF6Au, necrogram_banner_top + 90, necrogram_banner_top + 120), 100)
            << "New best time!";
        EXPECT_EQ(window_button_labels(ui_window_id_start).back(), str_ng_play_next);
    });
    s.left_click(1152, 500).passes(2).then([] {
        ASSERT_NE(freeplay_current(), nullptr);
        EXPECT_EQ(freeplay_current()->number, 8u);
        EXPECT_EQ(freeplay_current()->grade, 0);
        EXPECT_EQ(necrogram_shown()->width, 5);
        EXPECT_FALSE(necrogram_captured());
        EXPECT_EQ(necrogram_shown()->puzzle.rows.size(), 5u);
    });
    press_hints_until_captured(s).passes(3).then([] { EXPECT_FALSE(necrogram_new_best()); }); // a first solve
    s.post(msg_keydown, vk_return).post(msg_keyup, vk_return).passes(2).then([] {
        EXPECT_EQ(freeplay_current()->number, 9u);
        const freeplay_progress progress = freeplay_progress_read();
        ASSERT_NE(freeplay_record_find(progress, "5x5 easy 7"), nullptr);
        EXPECT_LT(freeplay_record_find(progress, "5x5 easy 7")->seconds, 600);
        EXPECT_NE(freeplay_record_find(progress, "5x5 easy 8"), nullptr);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}

// The centre of a cell of the board shown.
std::pair<int, int> centre(int row, int column) {
    const necrogram_layout l = necrogram_layout_for(necrogram_shown());
    return {l.grid_x + l.cell * column + l.cell / 2, l.grid_y + l.cell * row + l.cell / 2};
}

void post_move(int row, int column, unsigned flags) {
    const auto [x, y] = centre(row, column);
    platform_post_message(msg_mousemove, flags, (std::int32_t)((std::uint32_t)y << 16 | (std::uint32_t)x));
}

// One stroke of the left (or right) button from a cell to another along a row or a column.
game_script &stroke(game_script &s, int r0, int c0, int r1, int c1, bool right = false) {
    return s.ready()
        .then([=] {
            post_move(r0, c0, 0);
            platform_post_message(right ? msg_rbuttondown : msg_lbuttondown, right ? mk_rbutton : mk_lbutton, 0);
            for (int r = r0, c = c0; r != r1 || c != c1;) {
                r += (r1 > r) - (r1 < r), c += (c1 > c) - (c1 < c);
                post_move(r, c, right ? mk_rbutton : mk_lbutton);
            }
            platform_post_message(right ? msg_rbuttonup : msg_lbuttonup, 0, 0);
        })
        .passes(std::max(std::abs(r1 - r0), std::abs(c1 - c0)) + 6); // a message a pass
}

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk).passes(2); }

game_script &expect_step(game_script &s, int board, int step) {
    return s.then([=] {
        EXPECT_TRUE(tutorial_on());
        EXPECT_EQ(tutorial_board(), board);
        EXPECT_EQ(tutorial_step(), step) << tutorial_lesson_text();
    });
}

// The first Play offers the tutorial; Yes plays its three boards, each step waiting for its
// move: fills by click and drag, crosses, the keys, the overlap, a hint shown and made, a
// finished line crossed. Each capture's Next goes on; the last one starts the story on the
// map. The tutorial is remembered: the next Play goes straight to the map, and the title's
// Tutorial button still plays it, Skip (Escape) going back to the title.
TEST_F(Teaching, TheTutorialFromTheFirstPlayToItsLastBoardThenNotOfferedAgain) {
    s.skip_splash().left_click(640, 310).passes(2).then([] { EXPECT_TRUE(question_is_open()); });
    s.post(msg_keydown, 'Y').wait_mode(appmode_necrogram).passes(2);
    expect_step(s, 0, 0).then([] {
        EXPECT_EQ(necrogram_shown()->width, 5);
        EXPECT_EQ(window_button_labels(ui_window_id_start).front(), str_tut_skip);
        EXPECT_GT(pixels_of(0xFFFFFFFFu, 150, 215), 500) << "the lesson's text over the board";
    });
    stroke(s, 2, 0, 2, 4);
    expect_step(s, 0, 1);
    stroke(s, 0, 2, 4, 2);
    expect_step(s, 0, 2);
    stroke(s, 1, 1, 1, 1, true);
    stroke(s, 1, 3, 1, 3, true);
    expect_step(s, 0, 3);
    for (unsigned vk : {vk_left, vk_left, vk_left, vk_space, vk_right, vk_right, vk_right, vk_right, vk_space})
        key(s, vk);
    expect_step(s, 0, 4);
    stroke(s, 0, 1, 0, 3);
    stroke(s, 3, 0, 3, 4);
    for (int c : {0, 4}) // the middle one is column 3's
        stroke(s, 4, c, 4, c);
    s.passes(2).then([] {
        EXPECT_TRUE(necrogram_captured());
        EXPECT_EQ(tutorial_step(), tutorial_num_steps(0));
        EXPECT_EQ(std::string(tutorial_lesson_text()), "Captured! Press Next for the next board.");
    });

    // The skull: the overlap of a 6 in 8 cells, then a hint shown and made.
    s.left_click(1152, 500).passes(2);
    expect_step(s, 1, 0).then([] { EXPECT_EQ(necrogram_shown()->width, 8); });
    stroke(s, 1, 2, 1, 5);
    expect_step(s, 1, 1);
    s.until([] { return necrogram_help_analysis()->ready; }, "the analysis");
    key(s, 'T').until([] { return !necrogram_help_thinking(); }, "the hint").passes(1);
    expect_step(s, 1, 2).then([] { EXPECT_NE(necrogram_hint_shown(), nullptr); });
    key(s, 'T');
    expect_step(s, 1, 3);
    press_hints_until_captured(s).passes(2);
    s.left_click(1152, 500).passes(2);

    // The tombstone: two full rows, then its finished first column crossed with one stroke.
    expect_step(s, 2, 0).then([] { EXPECT_EQ(necrogram_shown()->width, 10); });
    stroke(s, 8, 0, 8, 9);
    stroke(s, 9, 0, 9, 9);
    expect_step(s, 2, 1);
    stroke(s, 7, 0, 0, 0, true);
    expect_step(s, 2, 2);
    press_hints_until_captured(s).passes(2).then([] {
        EXPECT_EQ(std::string(tutorial_lesson_text()), "You know the rules now. Press Next to start the story.");
        EXPECT_FALSE(settings_get().tutorial_done);
    });
    s.post(msg_keydown, vk_return).post(msg_keyup, vk_return).wait_mode(appmode_map).passes(1).then([] {
        EXPECT_TRUE(settings_get().tutorial_done);
        EXPECT_FALSE(tutorial_on());
        EXPECT_FALSE(save_exists()); // the tutorial's captures are not the story's
    });
    key(s, vk_escape).wait_mode(appmode_main_menu).passes(1);
    s.left_click(640, 310).wait_mode(appmode_map).passes(1).then([] { EXPECT_FALSE(question_is_open()); });
    key(s, vk_escape).wait_mode(appmode_main_menu).passes(1);
    s.left_click(640, 420).wait_mode(appmode_necrogram).passes(2);
    expect_step(s, 0, 0);
    key(s, vk_escape).wait_mode(appmode_main_menu);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_NE(file_text(settings_ini()).find("tutorial_done = on"), std::string::npos);
}

int pixels_in(u32 colour, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += frame_pixel(x, y) == colour;
    return n;
}

// Two captures: the title offers the Gallery, which shows those two among 25 places; each
// opens its board finished, named on the banner, and Back returns to the gallery. The map
// says "2 of 25 captured" and names the location under the mouse.
TEST_F(Teaching, TheGalleryWithTwoCapturesOpensTheirFinishedBoards) {
    save_write(progress({0, 3}));
    s.skip_splash().then([] {
        EXPECT_EQ(window_button_labels(mm_window_get()),
                  (std::vector<dword>{str_mm_continue, str_mm_new_game, str_mm_freeplay, str_mm_tutorial,
                                      str_mm_gallery, str_mm_library, str_mm_workshop, str_mm_exit}));
    });
    s.left_click(640 + 104, 478).wait_mode(appmode_gallery).passes(2).then([] {
        for (int i = 0; i < num_map_locations; ++i)
            EXPECT_EQ(gallery_picture_shown(i), i == 0 || i == 3) << i;
        int x = 0, y = 0, size = 0;
        gallery_picture_rect(3, &x, &y, &size);
        EXPECT_GT(pixels_in(0xFFE8E2CCu, x, y, x + size, y + size), 500) << "the picture's ink";
        gallery_picture_rect(1, &x, &y, &size);
        EXPECT_EQ(pixels_in(0xFFE8E2CCu, x, y, x + size, y + size), 0) << "no picture before its capture";
    });
    static int x3 = 0, y3 = 0;
    s.then([] {
        int size = 0;
        gallery_picture_rect(3, &x3, &y3, &size);
        x3 += size / 2, y3 += size / 2;
    });
    s.ready().then(
        [] { platform_post_message(msg_mousemove, 0, (std::int32_t)((std::uint32_t)y3 << 16 | (std::uint32_t)x3)); });
    s.post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup).wait_mode(appmode_necrogram).passes(3).then([] {
        EXPECT_TRUE(necrogram_captured());
        EXPECT_EQ(necrogram_shown()->width, 15);
        EXPECT_GT(pixels_of(0xFFFFFFFFu, necrogram_banner_top + 10, necrogram_banner_top + 36), 100) << "its name";
    });
    key(s, vk_escape).wait_mode(appmode_gallery).passes(1);
    key(s, vk_escape).wait_mode(appmode_main_menu).passes(1);
    s.left_click(640, 310).wait_mode(appmode_map).passes(2).then([] {
        EXPECT_GT(pixels_in(0xFFF0E0A0u, 700, 664, 1040, 690), 200) << "2 of 25 captured";
        EXPECT_EQ(pixels_in(0xFFF0E0A0u, 60, 60, 240, 92), 0);
    });
    s.move(140, 110).passes(2).then(
        [] { EXPECT_GT(pixels_in(0xFFF0E0A0u, 40, 60, 240, 92), 100) << "Location 1 over its button"; });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({0, 3}));
}

} // namespace
