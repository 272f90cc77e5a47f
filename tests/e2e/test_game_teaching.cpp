// test_game_teaching.cpp -- what teaches a new player, end to end: hints that name their reason,
// a solve's banner and its Next
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_records.h"
#include "game/g_strings.h"
#include "game_script.h"

#include <gtest/gtest.h>

#include <algorithm>
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
                    EXPECT_TRUE(outlined(h->support[i], necrogram_reason_colour)) << h->text << ", mark " << h->support[i];
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
        EXPECT_GT(pixels_of(0xFF7CFF6Au, necrogram_banner_top + 90, necrogram_banner_top + 120), 100) << "New best time!";
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

} // namespace
