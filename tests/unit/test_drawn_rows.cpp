// test_drawn_rows.cpp -- only what drawing touched is cleared and compared: nothing stale is left
#include "graphics/d3d_gfx2d.h"
#include "test_gfx_util.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using drawn_rows = gfx_test::stack;

// Each primitive, on screen and running off its edges, draws in one frame; the next
// frame only clears. That frame must be the clear colour everywhere: a primitive whose
// pixels are not recorded as drawn would stay in the framebuffer or on the texture.
TEST_F(drawn_rows, a_cleared_frame_shows_nothing_of_the_last) {
    safestring text;
    safestring_create(&text, "Crypt");
    const std::vector<std::function<void()>> draws = {
        [] { gfx2d_draw_pixel(700, 300, 0xFFFF0000u, 1); },
        [] { gfx2d_draw_pixel(1278, 718, 0xFFFF0000u, 5); },
        [] { gfx2d_draw_pixel(-2, 100, 0x80FF0000u, 4); },
        [] { gfx2d_draw_hline(-50, 2000, 10, 0xFFFF0000u); },
        [] { gfx2d_draw_vline(1279, -5, 800, 0xFFFF0000u); },
        [] { gfx2d_draw_vlines(-32, 64, 30, 100, 650, 0xFFFF0000u); },
        [] { gfx2d_draw_line(1300, -20, 40, 700); },
        [] { gfx2d_fill_rect(600, 710, 1400, 900); },
        [&] { gfx2d_draw_string(1250, 400, &text, 0xFFFF0000u, 3); },
        [] { gfx2d_draw_char(-3, 5, 'W', 0xFFFF0000u, 2); },
    };
    for (u32 clear : {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF203040u}) // the same clear colour, then another
        for (size_t i = 0; i < draws.size(); ++i) {
            gfx2d_fill_screen(clear);
            draws[i]();
            std::vector<u32> drawn = frame();
            ASSERT_EQ(drawn.size(), 1280u * 720u);
            gfx2d_fill_screen(clear);
            std::vector<u32> cleared = frame();
            ASSERT_EQ(cleared.size(), drawn.size());
            const u32 want = clear;
            EXPECT_NE(std::count(drawn.begin(), drawn.end(), want), (long)drawn.size()) << i;
            EXPECT_EQ(std::count(cleared.begin(), cleared.end(), want), (long)cleared.size()) << i;
        }
}

} // namespace
