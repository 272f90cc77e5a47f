// test_board_feel.cpp -- the board in small windows (thin lines kept), the picture revealed
// after a capture, drags locked to a line, presses held back after a change of screen, and
// the notes of the switches, end to end
#include "game/board/g_necrogram.h"
#include "game/story/g_map.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "ui/ec_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr int gx = 402, gy = 250; // puzzle 0's 10 x 10 grid

// The largest difference of one channel between two colours.
int colour_distance(u32 a, u32 b) {
    auto ch = [](u32 c, int shift) { return (int)((c >> shift) & 0xFF); };
    return std::max({std::abs(ch(a, 16) - ch(b, 16)), std::abs(ch(a, 8) - ch(b, 8)), std::abs(ch(a, 0) - ch(b, 0))});
}

// The marks of the cells as '.', '#' and 'x'.
std::string marks(std::initializer_list<std::pair<int, int>> cells) {
    std::string out;
    for (auto [r, c] : cells)
        out += ".#x"[necrogram_get_mark(r, c)];
    return out;
}

// Every grid line (grey, the yellow guide, the black border) of the 10 x 10 board still
// shows in the shrunk frame: along each line, at the middle of every cell it borders, one
// of the window pixels the line falls on differs from the middles of the cells on both sides.
void expect_grid_lines(int width, int height) {
    const picture_rect p = d3d_picture_rect(width, height);
    const double s = (double)p.height / screen_height;
    // The window pixel of a framebuffer point along and across a row (or column) line, d pixels further across.
    auto px = [&](bool rows, int along, int across, int d = 0) {
        const int a = (int)(along * s), c = (int)(across * s) + d;
        return rows ? frame_pixel(p.x + a, p.y + c) : frame_pixel(p.x + c, p.y + a);
    };
    for (bool rows : {true, false})
        for (int line = 0; line <= 10; ++line)
            for (int cell = 0; cell < 10; ++cell) {
                const int along = (rows ? gx : gy) + 32 * cell + 16, at = (rows ? gy : gx) + 32 * line;
                // The middles of the cells on both sides (the border has cells on one side only).
                const u32 before = px(rows, along, at - 16 + 32 * (line == 0));
                const u32 after = px(rows, along, at + 16 - 32 * (line == 10));
                int best = 0;
                for (int d = -1; d <= 1; ++d)
                    best = std::max(best, std::min(colour_distance(px(rows, along, at, d), before),
                                                   colour_distance(px(rows, along, at, d), after)));
                // The tiles' own grain differs by a few steps; a line picked away differs by no more.
                EXPECT_GE(best, 8) << width << "x" << height << (rows ? " row " : " column ") << line << " " << cell;
            }
}

TEST(BoardFeel, GridLinesStayVisibleInSmallerWindows) {
    dialog_recorder rec;
    game_script s;
    open_board(s, 0);
    for (auto [w, h] : {std::pair(1000, 700), std::pair(1152, 648), std::pair(640, 360)}) // as a dragged frame does
        s.then([w = w, h = h] { platform_window_place(0, 0, w, h), platform_post_message(msg_size, size_restored, 0); })
            .passes(3)
            .then([w = w, h = h] { expect_grid_lines(w, h); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// A diagonal drag fills only the row it starts along; a fill drag leaves crosses. After the capture the banner moves
// below the board within a few seconds and the picture shows: filled cells, no crosses, no lines between cells.
TEST(BoardFeel, DragsKeepToTheirLineAndTheCapturedPictureIsRevealed) {
    dialog_recorder rec;
    save_remove();
    game_script s;
    open_board(s, 0);
    s.right_click(cell_x(5), cell_y(1)).ready();
    s.move(cell_x(3), cell_y(1)).post(msg_lbuttondown, mk_lbutton);
    s.move(cell_x(4), cell_y(2), mk_lbutton).move(cell_x(6), cell_y(3), mk_lbutton).post(msg_lbuttonup).passes(1);
    s.then([] { EXPECT_EQ(marks({{1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 4}, {3, 6}}), "##x#.."); });
    // A click takes the cross away and the next fills; a cross elsewhere stays until the capture.
    s.left_click(cell_x(5), cell_y(1)).left_click(cell_x(5), cell_y(1)).right_click(cell_x(0), cell_y(0));
    for (int r = 2; r < 10; ++r)
        for (int c : puzzle_0[r])
            s.left_click(cell_x(c), cell_y(r));
    s.passes(necrogram_reveal_end + 10).then([] {
        ASSERT_TRUE(necrogram_captured());
        const u32 *fb = gfx2d_screen_buffer();
        // Cell middles as '#' (the full tile) or '.' (the ground: the cross at 0, 0 is gone), and
        // '|' where a grid line or guide still runs along a cell's top.
        const u32 full = fb[(gy + 48) * screen_width + gx + 112], ground = fb[(gy + 16) * screen_width + gx + 16];
        std::string seen, picture;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) {
                const u32 mid = fb[(gy + 32 * r + 16) * screen_width + gx + 32 * c + 16];
                const u32 top = fb[(gy + 32 * r) * screen_width + gx + 32 * c + 16];
                const bool line = top == necrogram_palette_usual.grid || top == necrogram_palette_usual.guide;
                seen += r && line ? '|' : mid == full ? '#' : mid == ground ? '.' : '?';
                picture += std::count(puzzle_0[r].begin(), puzzle_0[r].end(), c) ? '#' : '.';
            }
        EXPECT_EQ(seen, picture);
        // The banner lies under the grid, its text still there.
        EXPECT_EQ(fb[necrogram_strip_top * screen_width + 10], 0xFFFFFF00u);
        EXPECT_NE(fb[necrogram_banner_top * screen_width + 10], 0xFFFFFF00u);
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
    EXPECT_EQ(save_read(), progress({0}));
}

// The second click of a double click on Map, landing on the map's Back button, is held back;
// so is its release. M shows its note for about a second.
TEST(BoardFeel, ADoubleClickOnMapStaysOnTheMapAndSwitchesShowANote) {
    dialog_recorder rec;
    game_script s;
    open_board(s, 0);
    s.left_click(1152, 680).post(msg_lbuttondown, mk_lbutton).post(msg_lbuttonup).passes(25).then([] {
        EXPECT_EQ(current_app_mode_get(), appmode_map);
    });
    // The note's black box at the bottom-left corner, over the map's picture.
    s.post(msg_keydown, 'M').post(msg_keyup, 'M').passes(2).then([&] {
        EXPECT_EQ(std::string(ui_note_text()) + (frame_pixel(13, 681) == 0xFF000000u ? " shown" : ""),
                  "Music off shown");
    });
    s.passes(65).then(
        [&] { EXPECT_EQ(std::string(ui_note_text()) + (frame_pixel(13, 681) == 0xFF000000u ? "box" : ""), ""); });
    s.post(msg_keydown, 'N').post(msg_keyup, 'N').passes(1).then([] {
        EXPECT_EQ(std::string(ui_note_text()), "Sounds off");
    });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
