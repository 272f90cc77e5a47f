// test_kzb.cpp -- kzb pictures: run counts, run kinds, empty and malformed files
#include "engine/ec_memory.h"
#include "graphics/d3d_kzb.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

typedef std::vector<u8> bytes;

bytes header(u16 w, u16 h) { return {(u8)w, (u8)(w >> 8), (u8)h, (u8)(h >> 8)}; }

// A run: control byte, big-endian count - 1, payload.
void run(bytes &b, u8 ctrl, u32 count, const bytes &payload = {}) {
    b.push_back(ctrl);
    b.push_back((u8)((count - 1) >> 8));
    b.push_back((u8)(count - 1));
    b.insert(b.end(), payload.begin(), payload.end());
}

class kzb : public ::testing::Test {
protected:
    void SetUp() override { memory_system_init(); }
    void TearDown() override {
        if (image.data)
            d3d_kzb_free_data(&image);
        EXPECT_EQ(memory_num_allocations(), 0);
    }
    bool decode(const bytes &b) { return d3d_kzb_decode(b.data(), (u32)b.size(), &image); }
    dialog_recorder rec;
    kzb_image_data image = {};
};

// (Counts above 255 are decoded in test_kzpack's 300-pixel rows.)
TEST_F(kzb, example_file_and_the_longest_run) {
    ASSERT_TRUE(decode({0x02, 0x00, 0x01, 0x00, 0x80, 0x00, 0x01, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(std::vector<u32>(image.data, image.data + 2), (std::vector<u32>{0xFFFF0000u, 0xFFFF0000u}));
    d3d_kzb_free_data(&image);

    // FF FE covers the widest row there can be; FF FF (65,536) is one pixel too many.
    bytes widest = header(65535, 1), too_long = header(65535, 1);
    run(widest, 0x80, 65535, {9, 9, 9});
    run(too_long, 0x80, 65536, {9, 9, 9});
    ASSERT_TRUE(decode(widest));
    EXPECT_EQ(image.data[65534], 0xFF090909u);
    d3d_kzb_free_data(&image);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(decode(too_long));
    EXPECT_TRUE(rec.asserted("kzb_runs_fit"));
}

// Only the top two bits of a control byte count; 0xC0 asserts and then acts as a jump.
TEST_F(kzb, only_the_top_two_control_bits_count) {
    bytes b = header(4, 2);
    run(b, 0x7F, 2);                                       // jump
    run(b, 0x3F, 1, {0x10, 0x20, 0x30});                   // literal
    run(b, 0xC0, 1);                                       // invalid: a jump
    run(b, 0xBF, 4, {0xAA, 0xBB, 0xCC});                   // fill
    ASSERT_TRUE(decode(b));
    EXPECT_EQ(std::vector<u32>(image.data, image.data + 8),
              (std::vector<u32>{0, 0, 0xFF102030u, 0, 0xFFAABBCCu, 0xFFAABBCCu, 0xFFAABBCCu, 0xFFAABBCCu}));
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"ctrl == kzb_sprite_control_byte_jump"});
}

TEST_F(kzb, empty_pictures_read_no_runs_and_free_once) {
    ASSERT_TRUE(decode(header(7, 0)));
    EXPECT_NE(image.data, nullptr);
    d3d_kzb_free_data(&image);
    EXPECT_EQ(rec.count(), 0u);
    d3d_kzb_free_data(&image); // a second free changes nothing
    EXPECT_TRUE(rec.asserted("kzb_image->data"));
}

TEST_F(kzb, malformed_files_are_refused_and_leave_the_record_empty) {
    bytes literal_cut = header(2, 1);
    run(literal_cut, 0x00, 2, {1, 2, 3, 4});
    bytes past_row = header(2, 2);
    run(past_row, 0x80, 3, {1, 2, 3});
    run(past_row, 0x80, 1, {1, 2, 3});
    bytes header_cut = {0x02, 0x00, 0x01};
    bytes fill_cut = header(2, 1);
    run(fill_cut, 0x80, 2, {1, 2});
    const bytes cases[] = {literal_cut, past_row, header_cut, fill_cut};
    for (const bytes &b : cases) {
        EXPECT_FALSE(decode(b));
        EXPECT_EQ(image.data, nullptr);
        EXPECT_EQ(image.width, 0);
    }
    EXPECT_EQ(rec.count(), 4u);
    EXPECT_TRUE(rec.asserted("header_fits"));
    // (Pictures too big to hold: test_size_limits.)
}

TEST_F(kzb, a_damaged_picture_in_the_pack_loads_as_nothing) {
    scoped_test_pack pack({{"game\\bad.kzb", {1, 0}}});
    d3d_kzb_load_data("game\\bad.kzb", &image);
    EXPECT_EQ(image.data, nullptr);
    EXPECT_TRUE(rec.asserted("header_fits"));
}

} // namespace
