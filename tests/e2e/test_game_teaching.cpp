// test_game_teaching.cpp -- what teaches a new player, end to end: hints that name their reason
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
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

} // namespace
