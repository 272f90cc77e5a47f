// test_board_feel.cpp -- the board in small windows (thin lines kept), the picture revealed
// after a capture, drags locked to a line, presses held back after a change of screen, and
// the notes of the switches, end to end
#include "game/g_map.h"
#include "game/g_necrogram.h"
#include "game_script.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_window.h"
#include "ui/ec_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr int gx = 402, gy = 250, edge = 320; // puzzle 0's 10 x 10 grid

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
    auto wx = [&](int fb) { return p.x + (int)(fb * s); };
    auto wy = [&](int fb) { return p.y + (int)(fb * s); };
    for (int line = 0; line <= 10; ++line) {
        // The cells before and after the line (the border has them on one side only).
        const int before = line > 0 ? line - 1 : 0, after = line < 10 ? line : 9;
        for (int cell = 0; cell < 10; ++cell) {
            const int mid = 32 * cell + 16, at = 32 * line;
            const u32 above = frame_pixel(wx(gx + mid), wy(gy + 32 * before + 16));
            const u32 below = frame_pixel(wx(gx + mid), wy(gy + 32 * after + 16));
            const u32 left = frame_pixel(wx(gx + 32 * before + 16), wy(gy + mid));
            const u32 right = frame_pixel(wx(gx + 32 * after + 16), wy(gy + mid));
            int h_best = 0, v_best = 0;
            for (int d = -1; d <= 1; ++d) {
                const u32 h = frame_pixel(wx(gx + mid), wy(gy + at) + d), v = frame_pixel(wx(gx + at) + d, wy(gy + mid));
                h_best = std::max(h_best, std::min(colour_distance(h, above), colour_distance(h, below)));
                v_best = std::max(v_best, std::min(colour_distance(v, left), colour_distance(v, right)));
            }
            // The tiles' own grain differs by a few steps; a line picked away differs by no more.
            EXPECT_GE(std::min(h_best, v_best), 8) << width << "x" << height << ": line " << line << " at cell " << cell;
        }
    }
}

TEST(BoardFeel, GridLinesStayVisibleInSmallerWindows) {
    dialog_recorder rec;
    game_script s;
    open_board(s, 0);
    for (auto [w, h] : {std::pair(1000, 700), std::pair(1152, 648), std::pair(640, 360)}) {
        s.then([w = w, h = h] { // as the player dragging the window's frame does
            platform_window_place(0, 0, w, h);
            platform_post_message(msg_size, size_restored, 0);
        });
        s.passes(3).then([w = w, h = h] { expect_grid_lines(w, h); });
    }
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

// A diagonal drag fills only the row it starts along (a steep one only its column); a
// fill drag leaves crosses. After the capture the banner moves below the board within a
// few seconds and the picture shows: filled cells, no crosses, no lines between cells.
TEST(BoardFeel, DragsKeepToTheirLineAndTheCapturedPictureIsRevealed) {
    dialog_recorder rec;
    save_remove();
    game_script s;
    open_board(s, 0);
    s.right_click(cell_x(5), cell_y(1)).ready();
    s.move(cell_x(3), cell_y(1)).post(msg_lbuttondown, mk_lbutton);
    s.move(cell_x(4), cell_y(2), mk_lbutton).move(cell_x(6), cell_y(3), mk_lbutton).post(msg_lbuttonup).passes(1);
    s.then([] { EXPECT_EQ(marks({{1, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 4}, {3, 6}}), "##x#.."); });
    s.move(cell_x(1), cell_y(5)).post(msg_lbuttondown, mk_lbutton).move(cell_x(2), cell_y(7), mk_lbutton);
    s.post(msg_lbuttonup).passes(1).then([] { EXPECT_EQ(marks({{6, 1}, {7, 1}, {7, 2}}), "##."); });
    // A click turns the cross into a fill; a cross elsewhere stays until the capture.
    s.left_click(cell_x(5), cell_y(1)).right_click(cell_x(0), cell_y(0));
    for (int r = 2; r < 10; ++r)
        for (int c : puzzle_0[r])
            if (c != 1 || r < 5 || r > 7)
                s.left_click(cell_x(c), cell_y(r));
    s.passes(necrogram_reveal_end + 10).then([] {
        ASSERT_TRUE(necrogram_captured());
        const u32 *fb = gfx2d_screen_buffer();
        const u32 full = fb[(gy + 32 * 1 + 16) * screen_width + gx + 32 * 3 + 16];
        const u32 ground = fb[(gy + 16) * screen_width + gx + 16]; // the cross is gone
        EXPECT_NE(full, ground);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) {
                const bool filled = std::find(puzzle_0[r].begin(), puzzle_0[r].end(), c) != puzzle_0[r].end();
                EXPECT_EQ(fb[(gy + 32 * r + 16) * screen_width + gx + 32 * c + 16], filled ? full : ground)
                    << r << "," << c;
                // No grid line or guide between the cells any more.
                const u32 on_line = fb[(gy + 32 * r) * screen_width + gx + 32 * c + 16];
                EXPECT_TRUE(r == 0 || (on_line != 0xFF808080u && on_line != 0xFFFFFF00u)) << r << "," << c;
            }
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
    auto white_in_corner = [] {
        int white = 0;
        for (int y = 680; y < 710; ++y)
            for (int x = 12; x < 140; ++x)
                white += frame_pixel(x, y) == 0xFFFFFFFFu;
        return white;
    };
    s.post(msg_keydown, 'M').post(msg_keyup, 'M').passes(2).then([&] {
        EXPECT_EQ(std::string(ui_note_text()), "Music off");
        EXPECT_GT(white_in_corner(), 40);
    });
    s.passes(65).then([&] { EXPECT_EQ(std::string(ui_note_text()) + std::to_string(white_in_corner()), "0"); });
    s.post(msg_keydown, 'N').post(msg_keyup, 'N').passes(1).then([] { EXPECT_EQ(std::string(ui_note_text()), "Sounds off"); });
    EXPECT_EQ(s.close().run(), 0);
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
