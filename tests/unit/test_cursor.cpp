// Cursor conversion and the 16 ms frame timer.
#include "graphics/d3d_window.h"
#include "tw_test.h"
#include "ui/ec_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Cursor, RoundsToTheNearestPixelAndClampsToTheFramebuffer) {
    const struct {
        int window_w, window_h;
        float scale_x, scale_y;
        int x, y, want_x, want_y;
    } cases[] = {
        {1280, 720, 1.0f, 1.0f, -5, 719, 0, 719},
        {1280, 720, 1.0f, 1.0f, 1280, 800, 1279, 719},
        // A maximised 1920-pixel client area: 2 * 0.6666667 + 0.5 rounds down to 1.
        {1280, 720, 0.6666667f, 0.7079646f, 2, 0, 1, 0},
        {1280, 720, 0.6666667f, 0.7079646f, 1919, 1016, 1279, 719},
        // A 1024 x 768 window shows the whole framebuffer: its right edge is x 1279.
        {1024, 768, 1.25f, 0.9375f, 1023, 767, 1279, 719},
    };
    for (const auto &c : cases) {
        d3d_window_set_for_test(c.window_w, c.window_h, c.scale_x, c.scale_y);
        cursor_update_position(c.x, c.y);
        int x = -1, y = -1;
        cursor_get_position(&x, &y);
        EXPECT_EQ(std::pair(x, y), std::pair(c.want_x, c.want_y)) << c.x << "," << c.y;
    }
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
}

// Each row: clock times in ms, then whether the frame tick is set after each
// update (the timer starts at 0; the window goes inactive where active is false).
TEST(FrameTimer, TicksEvery16msCatchesUpOneTickPerCallAndDropsALongStall) {
    const struct {
        const char *what;
        std::vector<unsigned> times;
        std::vector<bool> ticks;
        bool active;
    } cases[] = {
        {"every 16 ms from the tick time, not the call", {10, 16, 20, 40, 41, 47, 48}, {0, 1, 0, 1, 0, 0, 1}, true},
        {"a late caller catches up one tick per call", {60, 60, 60, 60}, {1, 1, 1, 0}, true},
        {"a long stall drops the backlog", {300, 315, 316}, {1, 0, 1}, true},
        {"nothing moves while inactive", {500, 1500}, {0, 0}, false},
    };
    manual_clock clock;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        window_active_set(true);
        clock.set(0);
        frame_timer_start();
        window_active_set(c.active);
        for (size_t i = 0; i < c.times.size(); ++i) {
            clock.set(c.times[i]);
            frame_timer_update();
            EXPECT_EQ(frame_tick_is_set(), c.ticks[i]) << c.times[i];
        }
    }
    window_active_set(true);
}

} // namespace
