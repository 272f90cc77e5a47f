// test_board_colours.cpp -- the board's palettes: clue numbers readable on their strips, finished ones
// told apart from live ones, the cursor seen on every kind of cell, and colours that stay apart for
// viewers without one kind of cone
#include "game/board/g_necrogram_palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

struct named_palette {
    const char *name;
    const necrogram_palette *p;
};
const named_palette palettes[] = {{"usual", &necrogram_palette_usual},
                                  {"high contrast", &necrogram_palette_high_contrast}};

// The arithmetic against known figures: black on white is 21:1; the simulations keep white
// white and make red and green alike for the red-green kinds only.
TEST(BoardColours, TheArithmeticMeetsKnownFigures) {
    EXPECT_NEAR(necrogram_contrast(0xFF000000, 0xFFFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(necrogram_contrast(0xFF767676, 0xFFFFFFFF), 4.54, 0.01);
    const double red_green = necrogram_colour_difference(0xFFFF0000, 0xFF00FF00);
    for (int v = necrogram_vision_protanopia; v <= necrogram_vision_tritanopia; ++v) {
        EXPECT_LT(necrogram_colour_difference(necrogram_simulate(0xFFFFFFFF, (necrogram_vision)v), 0xFFFFFFFF), 1.5);
        const double seen = necrogram_colour_difference(necrogram_simulate(0xFFFF0000, (necrogram_vision)v),
                                                        necrogram_simulate(0xFF00FF00, (necrogram_vision)v));
        EXPECT_EQ(seen < red_green / 2, v != necrogram_vision_tritanopia) << v;
    }
}

// Live numbers at least 7:1 against every strip they sit on, finished ones at least 3:1 and
// clearly apart from live ones (at least 2:1 between the two), the cursor seen on every cell.
TEST(BoardColours, CluesReadOnTheirStripsAndTheCursorOnItsCell) {
    for (const named_palette &np : palettes) {
        const necrogram_palette &p = *np.p;
        const std::pair<const char *, u32> strips[] = {
            {"even strip", p.strip[0]}, {"odd strip", p.strip[1]}, {"hovered strip", p.strip_hover}};
        for (auto [strip, colour] : strips) {
            const double live = necrogram_contrast(p.clue_live, colour), done = necrogram_contrast(p.clue_done, colour);
            std::printf("%-13s %-13s live %5.2f:1  finished %5.2f:1\n", np.name, strip, live, done);
            EXPECT_GE(live, 7.0) << np.name << ", " << strip;
            EXPECT_GE(done, 3.0) << np.name << ", " << strip;
        }
        const double apart = necrogram_contrast(p.clue_live, p.clue_done);
        std::printf("%-13s live against finished %5.2f:1\n", np.name, apart);
        EXPECT_GE(apart, 2.0) << np.name;
        // One of the cursor's two rings stands at least 3:1 against every kind of cell.
        for (u32 cell : {p.ground[0], p.ground[1], p.fill, p.cross, p.wrong})
            EXPECT_GE(std::max(necrogram_contrast(p.cursor, cell), necrogram_contrast(p.cursor_edge, cell)), 3.0);
    }
}

// The colours that say different things where they meet stay at least 20 CIELAB units apart
// (about ten times a just noticeable difference) for normal vision and in the protanopia,
// deuteranopia and tritanopia simulations.
TEST(BoardColours, ColourBlindViewersTellTheColoursApart) {
    const char *vision_names[] = {"normal", "protanopia", "deuteranopia", "tritanopia"};
    for (const named_palette &np : palettes) {
        const necrogram_palette &p = *np.p;
        const std::pair<u32, u32> pairs[] = {
            {p.fill, p.ground[0]},       {p.fill, p.ground[1]},      {p.cross, p.ground[0]},
            {p.cross, p.ground[1]},      {p.cross, p.fill},          {p.wrong, p.ground[0]},
            {p.wrong, p.ground[1]},      {p.wrong, p.fill},          {p.wrong, p.cross},
            {p.wrong, p.cursor},         {p.wrong, p.hint},          {p.wrong, p.guide},
            {p.cursor, p.ground[0]},     {p.cursor, p.fill},         {p.cursor, p.hint},
            {p.cursor, p.guide},         {p.hint, p.ground[0]},      {p.hint, p.fill},
            {p.guide, p.ground[0]},      {p.clue_live, p.clue_done}, {p.strip_hover, p.strip[0]},
            {p.strip_hover, p.strip[1]},
        };
        for (int v = necrogram_vision_normal; v <= necrogram_vision_tritanopia; ++v) {
            double closest = 1e9;
            for (auto [a, b] : pairs) {
                const double d = necrogram_colour_difference(necrogram_simulate(a, (necrogram_vision)v),
                                                             necrogram_simulate(b, (necrogram_vision)v));
                EXPECT_GE(d, 20.0) << np.name << ", " << vision_names[v] << std::hex << ": " << a << " / " << b;
                closest = std::min(closest, d);
            }
            std::printf("%-13s %-12s closest pair %5.1f apart\n", np.name, vision_names[v], closest);
        }
    }
}

} // namespace
