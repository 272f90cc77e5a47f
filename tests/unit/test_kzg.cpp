// test_kzg.cpp -- kzg sheets: loading, refusing malformed sheets, drawing and decoding sprites
#include "engine/ec_memory.h"
#include "graphics/d3d_kzg.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

typedef std::vector<u8> bytes;

void put32(bytes &b, u32 v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((u8)(v >> (8 * i)));
}

// A sheet: num_colors, palette, num_sprites, offsets, then the records in order.
bytes sheet(s32 num_colors, const std::vector<u32> &palette, const std::vector<bytes> &records) {
    bytes b;
    put32(b, (u32)num_colors);
    for (u32 c : palette)
        put32(b, c);
    put32(b, (u32)records.size());
    u32 offset = (u32)(b.size() + 4 * records.size());
    for (const bytes &r : records) {
        put32(b, offset);
        offset += (u32)r.size();
    }
    for (const bytes &r : records)
        b.insert(b.end(), r.begin(), r.end());
    return b;
}

// Palette entry i: a grey with a top byte that the loader must replace.
std::vector<u32> greys(int n) {
    std::vector<u32> p;
    for (int i = 0; i < n; ++i)
        p.push_back(0x12000000u | (u32)i * 0x010101u);
    return p;
}
u32 grey(int i) { return 0xFF000000u | (u32)i * 0x010101u; }

// 3 x 2: row 0 = literal (5, 7) + jump 1; row 1 = fill 3 of index 3.
const bytes worked_example = {0x01, 0x02, 0x00, 0x01, 0x05, 0x07, 0x40, 0x00, 0x80, 0x02, 0x03};

constexpr u32 untouched = 0x12345678u;

struct buffer {
    std::vector<u32> px;
    d3d_kzg_buffer_data b;
    buffer(int w, int h) : px((size_t)(w * h), untouched) { b = {px.data(), w, h, 0, 0, w, h}; }
    u32 at(int x, int y) const { return px[(size_t)(y * b.width + x)]; }
};

class kzg : public ::testing::Test {
protected:
    void SetUp() override { memory_system_init(); }
    void TearDown() override { EXPECT_EQ(memory_num_allocations(), 0); }
    // Parses bytes kept alive by the fixture.
    bool parse(const bytes &b, kzg_sprite_data *out) {
        held.push_back(b);
        return d3d_kzg_parse(held.back().data(), (u32)held.back().size(), out);
    }
    kzg_sprite_data example() {
        kzg_sprite_data sd = {};
        EXPECT_TRUE(parse(sheet(8, greys(8), {worked_example}), &sd));
        return sd;
    }
    dialog_recorder rec;
    std::vector<bytes> held;
};

// (Scaled sheets are read back slice by slice in test_ui_draw; jumps keeping what was under
// them in test_gfx_draw's exact glyph pixels.)
TEST_F(kzg, unscaled_sprite_half_outside_matches_the_fast_path_and_the_clip_rectangle_bounds_writes) {
    // 4 x 4, every pixel its own index: literal rows.
    bytes rec4 = {0x03, 0x03};
    for (int y = 0; y < 4; ++y) {
        rec4.insert(rec4.end(), {0x00, 0x03});
        for (int x = 0; x < 4; ++x)
            rec4.push_back((u8)(1 + y * 4 + x));
    }
    kzg_sprite_data sd = {};
    ASSERT_TRUE(parse(sheet(17, greys(17), {rec4}), &sd));
    buffer inside(10, 10), clipped(10, 10);
    d3d_kzg_decompress_to_buffer_location(&sd, 5, 5, 0, 1, &inside.b);
    d3d_kzg_decompress_to_buffer_location(&sd, -2, -1, 0, 1, &clipped.b);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(inside.at(5 + x, 5 + y), grey(1 + y * 4 + x));
            if (x >= 2 && y >= 1) {
                EXPECT_EQ(clipped.at(x - 2, y - 1), inside.at(5 + x, 5 + y));
            }
        }
    buffer narrow(10, 10);
    narrow.b.clip_left = 6;
    narrow.b.clip_right = 7;
    d3d_kzg_decompress_to_buffer_location(&sd, 5, 5, 0, 3, &narrow.b);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            if (x != 6) {
                EXPECT_EQ(narrow.at(x, y), untouched);
            }
    EXPECT_EQ(narrow.at(6, 5), grey(1));
}

// (The top two control bits of a run: test_kzb and the record decoder below.)
TEST_F(kzg, twenty_four_bit_pixels_are_drawn_scaled_and_clipped) {
    kzg_sprite_data rgb = {};
    ASSERT_TRUE(parse(sheet(-1, {}, {{0x00, 0x01, 0x80, 0x01, 0x11, 0x22, 0x33}}), &rgb));
    buffer scaled(3, 2);
    d3d_kzg_decompress_to_buffer_location(&rgb, -1, 0, 0, 2, &scaled.b);
    EXPECT_EQ(scaled.px, (std::vector<u32>(6, 0xFF112233u)));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(kzg, bad_draw_arguments_draw_nothing_and_huge_scales_clip) {
    kzg_sprite_data sd = example();
    buffer buf(10, 10);
    d3d_kzg_decompress_to_buffer_location(&sd, 0, 0, 1, 1, &buf.b);
    d3d_kzg_decompress_to_buffer_location(&sd, 0, 0, -1, 1, &buf.b);
    d3d_kzg_decompress_to_buffer_location(&sd, 0, 0, 0, 0, &buf.b);
    kzg_sprite_data empty = {};
    d3d_kzg_decompress_to_buffer_location(&empty, 0, 0, 0, 1, &buf.b);
    for (u32 p : buf.px)
        EXPECT_EQ(p, untouched);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"sprite_index < sd->num_sprites", "sprite_index >= 0",
                                                          "scale >= 1", "sd->data"}));
    // Clipped to the buffer without walking the invisible blocks.
    d3d_kzg_decompress_to_buffer_location(&sd, -1000000, -1000000, 0, 1 << 20, &buf.b);
    EXPECT_EQ(buf.at(9, 9), grey(5));
}

// (Counts whose tables would wrap 32 bits: test_size_limits.)
TEST_F(kzg, malformed_sheets_are_refused) {
    struct {
        const char *why;
        bytes data;
        const char *assertion;
    } cases[] = {
        {"too short", {0x01, 0x00}, "header_fits"},
        {"257 colours", sheet(257, greys(257), {worked_example}), "out->num_colors <= max_kzg_colors"},
        {"palette past the end", {0x10, 0, 0, 0, 1, 0, 0, 0}, "palette_fits"},
        {"offsets past the end", {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}, "offsets_fit"},
        {"literal past the end", sheet(4, greys(4), {{0x00, 0x03, 0x00, 0x03, 0x01, 0x02}}), "sprites_well_formed"},
        {"run past the row", sheet(4, greys(4), {{0x00, 0x01, 0x80, 0x02, 0x01}}), "sprites_well_formed"},
        {"24-bit fill cut short", sheet(-1, {}, {{0x00, 0x00, 0x80, 0x00, 0x01, 0x02}}), "sprites_well_formed"},
    };
    for (auto &c : cases) {
        rec.clear();
        kzg_sprite_data sd = {};
        EXPECT_FALSE(parse(c.data, &sd)) << c.why;
        EXPECT_EQ(sd.data, nullptr) << c.why;
        EXPECT_TRUE(rec.asserted(c.assertion)) << c.why;
    }
    // 256 colours is the limit, and a sheet may hold no sprite at all.
    kzg_sprite_data full = {}, none = {};
    rec.clear();
    EXPECT_TRUE(parse(sheet(256, greys(256), {worked_example}), &full));
    EXPECT_TRUE(parse(sheet(0, {}, {}), &none));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(kzg, record_decoders_check_sizes_and_bounds) {
    u32 dest[6];
    u32 palette[256] = {};
    EXPECT_FALSE(sprite_decompress(worked_example.data(), 11, palette, dest, 2, 2));
    EXPECT_FALSE(sprite_decompress(worked_example.data(), 9, palette, dest, 3, 2));
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"width == dest_width", "record_fits"}));
    // An invalid run decodes as transparent pixels after its assertion.
    const bytes invalid = {0x00, 0x01, 0xC0, 0x01};
    rec.clear();
    EXPECT_TRUE(sprite_decompress24(invalid.data(), (u32)invalid.size(), dest, 2, 1));
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"ctrl == kzg_sprite_control_byte_jump"});
    EXPECT_EQ(std::pair(dest[0], dest[1]), std::pair(0u, 0u));
}

} // namespace
