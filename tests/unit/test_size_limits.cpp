// test_size_limits.cpp -- every format's size fields at their limits: counts and products that would wrap
#include "engine/ec_lzw.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "sound/direct_sound.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

namespace {

using bytes = std::vector<u8>;

void put_u32(bytes &b, u32 v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((u8)(v >> (8 * i)));
}

// A pack image: a count, then records of (stored size, size, name length 1, name "a"), then data.
bytes pack_with(u32 count, const std::vector<std::pair<u32, u32>> &records, size_t data_bytes) {
    bytes b;
    put_u32(b, count);
    for (auto [stored, size] : records) {
        put_u32(b, stored);
        put_u32(b, size);
        put_u32(b, 0);
        b.insert(b.end(), {1, 0, 0, 0, (u8)('a' + pack_name_key)});
    }
    b.resize(b.size() + data_bytes, 0);
    return b;
}

// Opens a copy of image from the game's allocator, as the pack loader takes it.
bool open_image(const bytes &image) {
    u8 *copy = (u8 *)ZEL_MALLOC(image.size(), "test");
    std::memcpy(copy, image.data(), image.size());
    return packfile_load_image(copy, (u32)image.size());
}

TEST(SizeLimits, PackCountsAndEntrySizesThatWouldWrapAreRefused) {
    memory_system_init();
    auto expect_refused = [](const bytes &image, const char *refusal) {
        dialog_recorder rec;
        EXPECT_FALSE(open_image(image) || packfile_is_open());
        EXPECT_EQ(memory_num_allocations(), 0); // refused at once: nothing allocated, the image given back
        EXPECT_EQ(rec.assertions(), std::vector<std::string>{refusal});
    };
    // 15,339,169 entries x 280 bytes of directory wraps 32 bits to 24 bytes.
    expect_refused(pack_with(15339169u, {{0, 0}, {0, 0}, {0, 0}}, 0), "records_least <= image_size");
    // 4 codes that claim 2^32 - 1 bytes (stored sizes near 2^32 and sums that wrap: test_pack).
    expect_refused(pack_with(1, {{8, 0xFFFFFFFFu}}, 8), "size_reachable");
    // The largest stored and decoded sizes that do fit still open.
    dialog_recorder rec;
    EXPECT_TRUE(open_image(pack_with(1, {{8, 8 / 2 * lzw_max_table_size}}, 8)));
    packfile_close();
    // The allocator refuses a size past 32 bits instead of cutting it to 24 bytes.
    EXPECT_EQ(ZEL_MALLOC(0x100000018ull, "too large"), nullptr);
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"size <= max_block_size"});
    EXPECT_EQ(memory_num_allocations(), 0);
}

TEST(SizeLimits, PictureAndSheetDimensionsAndCounts) {
    memory_system_init();
    // kzb: 16-bit width and height; the product is checked before any run is read.
    for (auto [w, h] : {std::pair<u32, u32>{65535, 65535}, {8193, 8192}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        dialog_recorder rec;
        bytes kzb = {(u8)w, (u8)(w >> 8), (u8)h, (u8)(h >> 8), 0x80, 0xFF, 0xFF, 1, 2, 3};
        kzb_image_data image = {};
        EXPECT_FALSE(d3d_kzb_decode(kzb.data(), (u32)kzb.size(), &image));
        EXPECT_EQ(image.data, nullptr);
        EXPECT_EQ(rec.assertions(), std::vector<std::string>{"pixels <= max_kzb_pixels"});
    }
    // kzg: colour and sprite counts whose 4-byte tables would wrap 32 bits.
    for (auto [colours, sprites, refusal] :
         {std::tuple<u32, u32, const char *>{0x40000001u, 1, "out->num_colors <= max_kzg_colors"},
          {0xFFFFFFFEu, 1, "out->num_colors >= -1"},
          {0xFFFFFFFFu, 0x40000000u, "offsets_fit"}}) {
        SCOPED_TRACE(std::to_string(colours) + " colours, " + std::to_string(sprites) + " sprites");
        dialog_recorder rec;
        bytes kzg;
        for (u32 v : {colours, sprites, 12u})
            put_u32(kzg, v);
        kzg.insert(kzg.end(), {0, 0, 0x40, 0});
        kzg_sprite_data sd;
        EXPECT_FALSE(d3d_kzg_parse(kzg.data(), (u32)kzg.size(), &sd));
        EXPECT_EQ(sd.data, nullptr);
        EXPECT_EQ(rec.assertions(), std::vector<std::string>{refusal});
    }
    EXPECT_EQ(memory_num_allocations(), 0);
}

TEST(SizeLimits, KzsSampleBytesPastTheLimitAreRefusedWithoutReadingThem) {
    // A header whose file is claimed to run on to 2^32 - 1 bytes: only the header is read.
    bytes header;
    for (u32 v : {2u, 44100u, 4u, 16u})
        put_u32(header, v);
    kzs_sound sound;
    EXPECT_EQ(kzs_parse(header.data(), 0xFFFFFFF0u, &sound), kzs_err_too_long);
    EXPECT_EQ(kzs_parse(header.data(), kzs_header_size + kzs_max_sample_bytes + 1, &sound), kzs_err_too_long);
    EXPECT_EQ(kzs_parse(header.data(), kzs_header_size, &sound), kzs_err_no_samples);
    EXPECT_EQ(kzs_duration_ms(0xFFFFFFFCu, 8, 1, 100), 0xFFFFFFFFu);
}

} // namespace
