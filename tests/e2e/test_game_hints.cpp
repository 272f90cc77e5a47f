// test_game_hints.cpp -- hints step by step and mistake checking on the real loop, end to end
#include "engine/ec_settings.h"
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_help.h"
#include "game/freeplay/g_freeplay.h"
#include "game/g_strings.h"
#include "game/story/g_puzzles.h"
#include "game_script.h"
#include "puzzle/pz_solve.h"
#include "ui/ec_particles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

game_script &key(game_script &s, unsigned vk) { return s.post(msg_keydown, vk).post(msg_keyup, vk).passes(2); }
// Waits until a fill's sparks, which fly at random, have died out and no longer cross outlines.
game_script &sparks_gone(game_script &s) {
    return s.until([] { return particles_num_alive() == 0; }, "sparks gone").passes(2);
}
game_script &ctrl_z(game_script &s) {
    return s.post(msg_keydown, vk_control)
        .post(msg_keydown, 'Z')
        .post(msg_keyup, 'Z')
        .post(msg_keyup, vk_control)
        .passes(2);
}

// Whether the frame outlines a board cell in colour: most of the ring one pixel inside
// its edge (sparks of a fill may cross a few pixels).
bool outlined(int cell, u32 colour) {
    const necrogram_layout l = necrogram_layout_for(necrogram_shown());
    const int w = necrogram_shown()->width, s = l.cell;
    const int x = l.grid_x + s * (cell % w), y = l.grid_y + s * (cell / w);
    int hits = 0;
    for (int i = 1; i < s; ++i)
        hits += (frame_pixel(x + i, y + 1) == colour) + (frame_pixel(x + i, y + s - 1) == colour) +
                (frame_pixel(x + 1, y + i) == colour) + (frame_pixel(x + s - 1, y + i) == colour);
    return hits > 3 * 4 * (s - 1) / 4;
}

necrogram_hint_kind shown_kind() {
    const necrogram_hint *h = necrogram_hint_shown();
    return h ? h->kind : necrogram_hint_none;
}

// Presses T, a frame at a time, until the board is captured; then the banner, across the
// middle, has yellow ink on the line under its text (the count's).
game_script &hint_until_captured(game_script &s) {
    return press_hints_until_captured(s).passes(3).then([] {
        EXPECT_GT(necrogram_hints_used(), 0);
        int ink = 0;
        for (int x = 0; x < 1280; ++x)
            for (int y = necrogram_banner_top + 96; y < necrogram_banner_top + 112; ++y)
                ink += frame_pixel(x, y) == 0xFFFFFF00;
        EXPECT_GT(ink, 50) << "the banner's line naming the hints";
    });
}

class GameHints : public fresh_game_test {};

// Location 0: a wrong fill is outlined first; undone, the hint is the line that forces
// most, outlined on the frame; a second press marks it as one step that Ctrl+Z takes
// back; the count is kept with the marks of a board left; then hints alone capture it.
TEST_F(GameHints, WrongMarkThenALineAppliedAsOneStepThenHintsToTheCapture) {
    open_board(s, 0);
    s.left_click(cell_x(0), cell_y(0)).move(1200, 300); // row 0 is empty; the cursor off the grid
    sparks_gone(key(s, 'T')).then([] {
        ASSERT_EQ(shown_kind(), necrogram_hint_wrong_mark);
        EXPECT_EQ(necrogram_hint_shown()->cells[0], 0);
        EXPECT_TRUE(outlined(0, necrogram_wrong_colour));
        EXPECT_EQ(necrogram_hints_used(), 1);
    });
    ctrl_z(s).then([] { EXPECT_EQ(shown_kind(), necrogram_hint_none); }); // a change of marks takes it away
    static necrogram_hint line;
    sparks_gone(key(s, 'T')).then([] {
        ASSERT_EQ(shown_kind(), necrogram_hint_line);
        line = *necrogram_hint_shown();
        EXPECT_GT(line.num_cells, 0);
        for (int i = 0; i < line.num_cells; ++i)
            EXPECT_TRUE(outlined(line.cells[i], necrogram_hint_colour)) << "cell " << line.cells[i];
    });
    key(s, 'T').then([] {
        EXPECT_EQ(shown_kind(), necrogram_hint_none);
        for (int i = 0; i < line.num_cells; ++i)
            EXPECT_EQ(necrogram_shown()->marks[line.cells[i]], line.marks[i]);
    });
    ctrl_z(s).then([] {
        for (int i = 0; i < line.num_cells; ++i)
            EXPECT_EQ(necrogram_shown()->marks[line.cells[i]], mark_empty);
        EXPECT_FALSE(necrogram_can_undo(necrogram_shown()));
        EXPECT_EQ(necrogram_hints_used(), 2);
    });
    // The count is kept with the marks of a board left unfinished.
    key(key(s, 'T'), 'T');
    key(s, vk_escape).wait_mode(appmode_map).then([] { set_app_mode(appmode_necrogram); }).passes(2).then([] {
        EXPECT_EQ(necrogram_hints_used(), 3);
    });
    hint_until_captured(s);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// A double click on Hint shows the step and leaves it shown; a later click applies it.
TEST_F(GameHints, ADoubleClickOnHintShowsTheStepFirst) {
    open_board(s, 0);
    s.ready().move(1152, 500).post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup);
    s.post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup).passes(4).then([] {
        EXPECT_EQ(shown_kind(), necrogram_hint_line);
        EXPECT_FALSE(necrogram_can_undo(necrogram_shown())); // nothing applied
    });
    s.passes(40).left_click(1152, 500).passes(2).then([] {
        EXPECT_EQ(shown_kind(), necrogram_hint_none);
        EXPECT_TRUE(necrogram_can_undo(necrogram_shown()));
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// Location 6 has several solutions. With mistake checking on (C), a fill that another
// solution has but the picture lacks is not flagged, one that no solution has is; the
// hints then capture the board from those marks. The switch is kept for the next start.
TEST_F(GameHints, MistakeCheckingOnASeveralSolutionBoardAndHintsToItsCapture) {
    // Location 6's picture before it was mended to one solution (rows as hex, left cell
    // high), played from a file: its clues fit several pictures.
    const int size = 15;
    static u8 picture[size * size];
    const char *hex = "007E 07FC 3FC8 2A90 18A2 5E40 50A0 1947 32D3 6584 0B0B 131F 260C 4E30 0C26";
    for (int r = 0; r < size; ++r) {
        char *end = nullptr;
        const unsigned long bits = std::strtoul(hex, &end, 16);
        hex = end;
        for (int c = 0; c < size; ++c)
            picture[r * size + c] = (bits >> (size - 1 - c)) & 1;
    }
    // The cells, row by row: one that another solution fills and the picture does not, one no solution fills.
    int other = -1, never = -1;
    auto b = std::make_unique<necrogram_board>();
    necrogram_load(b.get(), size, size, picture);
    necrogram_analysis analysis;
    necrogram_analysis_begin(&analysis, b.get());
    ASSERT_TRUE(necrogram_analysis_run(&analysis, 60.0));
    const pz_solution sol = pz_solve(analysis.puzzle, nullptr, {}, true);
    ASSERT_EQ(sol.verdict, pz_verdict::multiple);
    const std::vector<uint8_t> &differs = sol.first == analysis.puzzle.goal ? sol.second : sol.first;
    for (int i = 0; i < size * size; ++i) {
        if (differs[i] && !picture[i])
            other = i;
        if (analysis.allowed[i] == pz_empty)
            never = i;
    }
    ASSERT_TRUE(other >= 0 && never >= 0);
    const int other_cell = other;
    const int never_cell = never;

    s.wait_mode(appmode_splash).then([] {
        freeplay_puzzle p;
        p.puzzle = pz_from_picture(size, size, picture);
        p.origin = freeplay_origin_file;
        p.path = "several.non";
        p.several_solutions = true;
        p.caption = "several.non";
        freeplay_set_current(p);
        set_app_mode(appmode_necrogram);
    });
    s.passes(2).until([] { return necrogram_help_analysis()->ready; }, "the board's analysis");
    key(s, 'C').then([] { // on, and its legend line lit
        EXPECT_TRUE(settings_get().mistake_check);
        EXPECT_EQ(frame_pixel(1036, 30 + 21 * (num_ng_legend_lines + 1)), 0xFF3C4A30u);
    });
    const necrogram_layout l = necrogram_layout_for(b.get()); // the board's, as free play shows it
    for (int cell : {other, never})
        s.left_click(l.grid_x + l.cell * (cell % size) + l.cell / 2, l.grid_y + l.cell * (cell / size) + l.cell / 2);
    s.move(1200, 300).passes(2);
    sparks_gone(s).then([=] {
        EXPECT_EQ(necrogram_shown()->marks[other_cell], mark_full);
        EXPECT_EQ(necrogram_shown()->marks[never_cell], mark_full);
        EXPECT_FALSE(outlined(other_cell, necrogram_wrong_colour));
        EXPECT_TRUE(outlined(never_cell, necrogram_wrong_colour));
    });
    hint_until_captured(s);
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_NE(file_text(settings_ini()).find("mistake_check = on"), std::string::npos);

    game_script again;
    again.wait_mode(appmode_splash).then([] { EXPECT_TRUE(settings_get().mistake_check); });
    EXPECT_EQ(again.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
