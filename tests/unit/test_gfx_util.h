// test_gfx_util.h -- shared set-up of the graphics tests: a pack with known fonts, the stack up
#pragma once

#include "engine/ec_memory.h"
#include "gfx_env.h"
#include "graphics/d3d_gfx2d.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace gfx_test {

constexpr u32 overlay_ink = 0xFF00FF00u; // the overlay font image's own colour

// The bitmap font: 94 glyphs of 8 x 8, white ink on column 0 and row 0, the rest transparent.
// The overlay font: 16 x 6 cells of 8 x 8 (characters 33..128), opaque on each cell's left half.
inline std::vector<test_pack_entry> font_entries() {
    test_sprite glyph{8, 8, std::vector<uint32_t>(64, 0)}, overlay{128, 48, std::vector<uint32_t>(128 * 48, 0)};
    for (int i = 0; i < 8; ++i)
        glyph.pixels[(size_t)i] = glyph.pixels[(size_t)(i * 8)] = 0xFFFFFFFFu;
    for (size_t i = 0; i < overlay.pixels.size(); ++i)
        if (i % 8 < 4)
            overlay.pixels[i] = overlay_ink;
    return {
        {"ui_gfx\\retro_font.kzg", test_kzg_bytes(std::vector<test_sprite>(94, glyph))},
        {"ui_gfx\\c64_font.kzg", test_kzg_bytes({overlay})},
    };
}

// The graphics stack up over a pack of the fonts (plus extra entries), with the
// dialog recorder; on tear-down every block of the tracked allocator is back.
class stack : public ::testing::Test {
protected:
    void SetUp() override { bring_up(1280, 720, {}); }
    void TearDown() override {
        gfx.reset();
        pack.reset();
        EXPECT_EQ(memory_num_allocations(), 0);
    }
    void bring_up(int w, int h, const std::vector<test_pack_entry> &extra) {
        gfx.reset();
        pack.reset();
        memory_system_init();
        // The first of two equal names wins: fonts among the extra entries replace these.
        std::vector<test_pack_entry> entries = extra, fonts = font_entries();
        entries.insert(entries.end(), fonts.begin(), fonts.end());
        pack = std::make_unique<scoped_test_pack>(entries);
        ASSERT_TRUE(pack->ok());
        gfx = std::make_unique<scoped_graphics>(w, h);
        ASSERT_TRUE(gfx->ok()) << (rec.count() ? rec.dialogs()[0].text : std::string("no box"));
    }
    u32 fb(int x, int y) const { return gfx2d_screen_buffer()[y * screen_width + x]; }
    std::vector<u32> frame() {
        frame_pixels = gfx->read_frame(&frame_w, &frame_h);
        return frame_pixels;
    }
    u32 px(int x, int y) const { return frame_pixels[(size_t)(y * frame_w + x)]; }

    dialog_recorder rec;
    std::unique_ptr<scoped_test_pack> pack;
    std::unique_ptr<scoped_graphics> gfx;
    std::vector<u32> frame_pixels;
    int frame_w = 0, frame_h = 0;
};

// Channels within one unit of each other (renderers round blending differently).
inline bool near_colour(u32 a, u32 b, int tolerance = 1) {
    for (int shift = 0; shift < 32; shift += 8) {
        int ca = (int)((a >> shift) & 0xFF), cb = (int)((b >> shift) & 0xFF);
        if (ca - cb > tolerance || cb - ca > tolerance)
            return false;
    }
    return true;
}

} // namespace gfx_test
