// test_frame_cache.cpp -- the row composers agree, and decoded sprites follow palette changes
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzb.h"
#include "test_gfx_util.h"

#include <vector>

namespace {

using frame_cache = gfx_test::stack;

// The portable composer and the widest one give the same picture over a layer, whole
// or by changed groups, at full and half brightness, for 16-pixel groups all clear,
// all opaque, clear and opaque mixed, and opaque with one half-transparent pixel.
TEST_F(frame_cache, row_composers_give_the_same_picture) {
    std::vector<u32> layer_px(1280 * 720);
    for (size_t i = 0; i < layer_px.size(); ++i)
        layer_px[i] = 0xFF000000u | (u32)(i * 2654435761u >> 8);
    kzb_image_data layer = {1280, 720, layer_px.data()};
    ASSERT_NE(gfx2d_background_layer_add(&layer), invalid_id);
    std::vector<u32> pictures[2];
    for (int portable = 0; portable < 2; ++portable) {
        gfx2d_compose_portable_for_test(portable != 0);
        for (u32 percent : {100u, 50u}) {
            gfx2d_fullscreen_brightness(percent);
            gfx2d_fill_screen(0);
            u32 *row = gfx2d_screen_buffer() + 300 * 1280;
            for (int x = 0; x < 16; ++x) {
                row[16 + x] = 0xFF102030u + (u32)x;
                row[32 + x] = x % 3 ? 0xFF405060u : 0u;
                row[48 + x] = x == 7 ? 0x80FF8040u : 0xFF00FF00u;
            }
            frame();
            row[20] = 0u;                // becomes clear: the layer shows
            row[1280 + 40] = 0x40FFFFFFu; // a new half-transparent pixel
            std::vector<u32> f = frame();
            pictures[portable].insert(pictures[portable].end(), f.begin() + 299 * 1280, f.begin() + 302 * 1280);
        }
    }
    gfx2d_compose_portable_for_test(false);
    gfx2d_fullscreen_brightness(100);
    ASSERT_TRUE(pictures[0] == pictures[1]);
    EXPECT_EQ(pictures[0][1280 + 20], layer_px[300 * 1280 + 20]);
}

// A glyph of the loaded font drawn again after its ink changes, at scale 1 (copied
// while the palette is as decoded) and 2 (filled from its runs), shows the new ink.
TEST_F(frame_cache, decoded_glyphs_take_the_ink_of_each_draw) {
    for (int scale : {1, 2, 1})
        for (u32 ink : {0xFFFF0000u, 0xFF00FF00u, 0xFFFF0000u}) {
            gfx2d_fill_screen(0);
            gfx2d_draw_char(100, 100, 'A', ink, scale);
            // Ink on the glyph's first row and column, clear elsewhere.
            EXPECT_EQ(fb(100 + 7 * scale, 100), ink) << scale;
            EXPECT_EQ(fb(100, 100 + 7 * scale), ink) << scale;
            EXPECT_EQ(fb(100 + scale, 100 + scale), 0u) << scale;
            EXPECT_EQ(fb(100 + 8 * scale, 100), 0u) << scale;
        }
}

} // namespace
