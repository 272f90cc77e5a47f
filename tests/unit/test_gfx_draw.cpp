// test_gfx_draw.cpp -- scaled pixels and bitmap-font text, clipped at the edges
// (lines and runs are read back on the board and the map in the end-to-end runs)
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "test_gfx_util.h"

#include <set>
#include <utility>

namespace {

constexpr u32 red = 0xFFFF0000u;
constexpr u32 black = 0xFF000000u;

class gfx_draw : public gfx_test::stack {
protected:
    void SetUp() override {
        gfx_test::stack::SetUp();
        gfx2d_fill_screen(0);
    }
    // The pixels that are not 0, as (x, y) pairs.
    std::set<std::pair<int, int>> drawn() const {
        std::set<std::pair<int, int>> out;
        const u32 *p = gfx2d_screen_buffer();
        for (int i = 0; i < screen_width * screen_height; ++i)
            if (p[i])
                out.insert({i % screen_width, i / screen_width});
        return out;
    }
    int count_drawn() const { return (int)drawn().size(); }
    safestring text(const char *s) {
        safestring t;
        safestring_create(&t, s);
        return t;
    }
};

TEST_F(gfx_draw, scaled_pixels_clip_at_the_edges) {
    gfx2d_draw_pixel(5, 5, red, 0);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"scale >= 1"}));
    EXPECT_EQ(count_drawn(), 0);

    gfx2d_draw_pixel(1280, 0, red, 1);
    gfx2d_draw_pixel(-1, 0, red, 1);
    gfx2d_draw_pixel(1278, 0, red, 4);
    std::set<std::pair<int, int>> expect;
    for (int y = 0; y < 4; ++y)
        for (int x = 1278; x < 1280; ++x)
            expect.insert({x, y});
    EXPECT_EQ(drawn(), expect);

    // A block crossing the top-left corner.
    gfx2d_fill_screen(0);
    gfx2d_draw_pixel(-2, -2, red, 3);
    EXPECT_EQ(drawn(), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST_F(gfx_draw, string_lengths_scale_and_match_the_drawn_advance) {
    safestring hi = text("Hi!");
    EXPECT_EQ(gfx2d_strlen(&hi, 3), 3 * gfx2d_strlen(&hi, 1));
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_EQ(font_kern_width((char)200), -1); // the one kern lookup, shared with the overlay font
    EXPECT_TRUE(rec.asserted("in >= 0"));
    // The drawn advance equals the measured one wherever the text lands.
    safestring line = text("Tomb {weaver} #1: 100%");
    for (int x : {0, -40, 1270, 600})
        EXPECT_EQ(gfx2d_draw_string(x, 700, &line, red, 2), gfx2d_strlen(&line, 2)) << x;
}

TEST_F(gfx_draw, text_at_the_edges_is_clipped_but_still_advances) {
    // Wholly left of the buffer: not drawn, yet the advance counts.
    EXPECT_EQ(gfx2d_draw_char(-20, 10, 'M', red, 3), 18);
    EXPECT_EQ(count_drawn(), 0);
    // Partly left: only the visible columns.
    gfx2d_draw_char(-3, 10, 'M', red, 1);
    EXPECT_EQ(fb(0, 10), red);
    EXPECT_EQ(fb(0, 11), 0u);
    // At the bottom edge, rows past 719 are cut.
    gfx2d_fill_screen(0);
    safestring s = text("AB");
    EXPECT_EQ(gfx2d_draw_string(100, 716, &s, red, 1), 10);
    EXPECT_EQ(count_drawn(), (105 + 8 - 100) + 2 * 3); // glyphs 8 wide overlap on row 716
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
