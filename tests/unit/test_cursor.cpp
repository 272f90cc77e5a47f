// Cursor conversion, the 16 ms frame timer and the diagnostics texts.
#include "engine/ec_memory.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_window.h"
#include "tw_test.h"
#include "ui/ec_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::pair<int, int> cursor_after(int x, int y) {
    cursor_update_position(x, y);
    int cx = -1, cy = -1;
    cursor_get_position(&cx, &cy);
    return {cx, cy};
}

TEST(Cursor, RoundsToTheNearestPixelAndClampsToTheFramebuffer) {
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
    EXPECT_EQ(cursor_after(-5, 719), std::make_pair(0, 719));
    EXPECT_EQ(cursor_after(1280, 800), std::make_pair(1279, 719));
    EXPECT_EQ(cursor_after(-32768, -1), std::make_pair(0, 0));

    // A maximised 1920-pixel client area: 2 * 0.6666667 + 0.5 rounds down to 1.
    d3d_window_set_for_test(1280, 720, 0.6666667f, 0.7079646f);
    EXPECT_EQ(cursor_after(2, 0).first, 1);
    EXPECT_EQ(cursor_after(1919, 1016), std::make_pair(1279, 719));

    // A 1024 x 768 window shows the whole framebuffer: its right edge is x 1279.
    d3d_window_set_for_test(1024, 768, 1.25f, 0.9375f);
    EXPECT_EQ(cursor_after(1023, 767), std::make_pair(1279, 719));
    EXPECT_EQ(cursor_after(1100, 900), std::make_pair(1279, 719));
    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
}

TEST(Cursor, NullPointersAssertAndChangeNothing) {
    dialog_recorder rec;
    int x = 0;
    cursor_get_position(&x, nullptr);
    cursor_get_position(nullptr, &x);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"y", "x"}));
}

class FrameTimer : public ::testing::Test {
protected:
    void SetUp() override {
        window_active_set(true);
        clock.set(0);
        frame_timer_start();
    }
    void TearDown() override { window_active_set(true); }
    bool tick_at(unsigned ms) {
        clock.set(ms);
        frame_timer_update();
        return frame_tick_is_set();
    }
    manual_clock clock;
};

TEST_F(FrameTimer, TicksEvery16msAndCatchesUpOneTickPerCall) {
    std::vector<unsigned> ticks;
    for (unsigned t : {0u, 10u, 16u, 20u, 40u, 41u})
        if (tick_at(t))
            ticks.push_back(t);
    EXPECT_EQ(ticks, (std::vector<unsigned>{16, 40}));
    // The tick time is now 32: 48 is due at 48, not at 41 + 16.
    EXPECT_FALSE(tick_at(47));
    EXPECT_TRUE(tick_at(48));
    // A late caller gets one tick per call until it has caught up.
    EXPECT_TRUE(tick_at(100));
    EXPECT_TRUE(tick_at(100));
    EXPECT_TRUE(tick_at(100));
    EXPECT_FALSE(tick_at(100));
}

TEST_F(FrameTimer, ALongStallDropsTheBacklog) {
    EXPECT_TRUE(tick_at(300));
    EXPECT_FALSE(tick_at(315));
    EXPECT_TRUE(tick_at(316));
}

TEST_F(FrameTimer, FrameRateWindowMovesOneSecondAtATime) {
    tick_at(100);
    tick_at(200);
    tick_at(300);
    EXPECT_EQ(frame_rate_get(), 0u);
    tick_at(2000);
    EXPECT_EQ(frame_rate_get(), 3u);
    tick_at(2001);
    EXPECT_EQ(frame_rate_get(), 1u);
}

TEST_F(FrameTimer, NothingMovesWhileTheWindowIsInactive) {
    window_active_set(false);
    EXPECT_FALSE(tick_at(500));
    EXPECT_FALSE(tick_at(1500));
    EXPECT_EQ(frame_rate_get(), 0u);
    window_active_set(true);
    // The tick time did not move while inactive, so the backlog rule applies.
    EXPECT_TRUE(tick_at(1501));
    EXPECT_FALSE(tick_at(1510));
}

TEST(DiagnosticsText, MemoryAndCursorLines) {
    memory_system_init();
    void *a = ZEL_MALLOC(512 * 1024, nullptr);
    void *b = ZEL_MALLOC(512 * 1024, nullptr);
    void *c = ZEL_MALLOC(512 * 1024, nullptr);
    memory_status_text();
    std::string expected = "Allocations: 3  Used: 1MB  Avail: " +
                           std::to_string((int)(memory_avail_mb() - 1)) + "MB";
    EXPECT_EQ(std::string(scratch_string()->text), expected);
    zel_free(a);
    zel_free(b);
    zel_free(c);

    d3d_window_set_for_test(1280, 720, 1.0f, 1.0f);
    cursor_update_position(12, 345);
    cursor_text();
    EXPECT_STREQ(scratch_string()->text, "cursor: ( 12, 345 )");
}

} // namespace
