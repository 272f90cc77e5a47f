// test_necrogram_screen.cpp -- the board as drawn: hover, strokes off the grid, clues of 10 and more
// (the banner and the gradient are read back in the new player's end-to-end run)
#include "../e2e/game_script.h"
#include "game/g_necrogram.h"
#include "game/g_puzzles.h"
#include "graphics/d3d_gfx2d.h"

#include <gtest/gtest.h>

namespace {

constexpr u32 green = 0xFF00FF00, white = 0xFFFFFFFF;

u32 fb(int x, int y) { return gfx2d_screen_buffer()[y * screen_width + x]; }

// Opens the board of puzzle index straight from the splash.
void open_board(game_script &s, u32 index) {
    s.wait_mode(appmode_splash).then([index] {
        set_app_mode(appmode_map);
        puzzle_set_active(index);
        set_app_mode(appmode_necrogram);
    });
    s.passes(2);
}

void move_to(game_script &s, int x, int y, unsigned flags = 0) { s.move(x, y, flags).passes(2); }

TEST(NecrogramScreen, HoverFramesOnlyCellsAndAStrokeOutsideTheGridChangesNothing) {
    dialog_recorder rec;
    game_script s;
    open_board(s, 0);
    const int gx = 402, gy = 250, edge = 320;
    // Over cell (row 2, column 3): its green frame, left and right.
    move_to(s, gx + 96 + 10, gy + 64 + 10);
    s.then([&] { EXPECT_EQ(std::pair(fb(gx + 96, gy + 74), fb(gx + 128, gy + 74)), std::pair(green, green)); });
    // The right border column is outside the grid: no cell hovered there.
    move_to(s, gx + edge, gy + 10);
    s.then([] {
        int c = 0, r = 0;
        necrogram_get_hover(&c, &r);
        EXPECT_EQ(std::pair(c, r), std::pair(-1, -1));
    });
    // A stroke begun there, wandering outside the grid, changes nothing.
    s.post(msg_lbuttondown, mk_lbutton).passes(1);
    move_to(s, gx - 30, gy + 40, mk_lbutton);
    move_to(s, gx + 40, gy + edge + 30, mk_lbutton);
    s.post(msg_lbuttonup).passes(1).then([] {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                EXPECT_EQ(necrogram_get_mark(r, c), mark_empty);
    });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// White pixels in a rectangle: how many, and their leftmost and rightmost columns.
struct ink {
    int count = 0, left = 1 << 30, right = -1;
};
ink white_in(int x0, int y0, int x1, int y1) {
    ink k;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (fb(x, y) == white) {
                ++k.count;
                k.left = std::min(k.left, x);
                k.right = std::max(k.right, x);
            }
    return k;
}

TEST(NecrogramScreen, CluesOfTenAndMoreAreNumbersInTheirSlot) {
    dialog_recorder rec;
    game_script s;
    // Puzzle 4: rows 13 and 14 are full (clue 15); column 6 has the single clue 14.
    open_board(s, 4);
    const int gx = 342, gy = 190;
    s.then([] {
        // Row 13's clue "15": two digits, inside the slot left of the grid.
        const ink row = white_in(gx - 40, gy + 32 * 13, gx - 1, gy + 32 * 13 + 31);
        EXPECT_GT(row.count, 20);
        EXPECT_GE(row.left, gx - 20 - 4);
        EXPECT_LE(row.right, gx - 4);
        EXPECT_GE(row.right - row.left + 1, 12); // wider than one digit
        // Column 6's "14" stays within its own column.
        const int cx = gx + 32 * 6;
        const ink column = white_in(cx - 16, gy - 20, cx + 37, gy - 1); // up to column 7's digits
        EXPECT_GT(column.count, 20);
        EXPECT_GE(column.left, cx + 1);
        EXPECT_LE(column.right, cx + 30);
        // A single digit for comparison: column 0's last clue 5 sits at x + 7.
        const ink digit = white_in(gx, gy - 20, gx + 31, gy - 1);
        EXPECT_EQ(digit.left, gx + 7);
        EXPECT_LT(digit.right - digit.left + 1, 12);
    });
    s.close();
    EXPECT_EQ(s.run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
