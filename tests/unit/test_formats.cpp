// The data formats: the pack file (lookup by name, loading and closing, damaged packs), LZW streams,
// kzb pictures, kzg sheets (loading, refusing malformed ones, drawing and decoding sprites), and
// every format's size fields at their limits: counts and products that would wrap.
// (Every asset of the built pack is loaded by the end-to-end runs, where a missing one shows a box;
// start-up without a pack or with a damaged one ends with exit code 1 in test_data_lookup.)
#include "engine/ec_lzw.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "graphics/d3d_kzb.h"
#include "graphics/d3d_kzg.h"
#include "sound/direct_sound.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using bytes = std::vector<u8>;

void put32(bytes &b, u32 v) {
    for (int i = 0; i < 4; ++i)
        b.push_back((u8)(v >> (8 * i)));
}

std::vector<uint8_t> bytes_of(const std::string &s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> load(const char *name) {
    u32 size = 0;
    u8 *data = pack_file_load(name, &size);
    if (!data)
        return {};
    std::vector<uint8_t> out(data, data + size);
    pack_file_close(data);
    return out;
}

// Bytes that compress well and are not trivially uniform.
std::vector<uint8_t> pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = (uint8_t)("necrogram"[i % 9] + (i / 500) % 7);
    return v;
}
// Lookup ignores ASCII case only and the first of two equal names wins; stored entries that look
// like codes and compressed ones load whole; a second load shares the buffer.
TEST(pack, entries_load_whole_by_name_and_a_second_load_shares_the_buffer) {
    dialog_recorder rec;
    std::vector<uint8_t> big = pattern(100000);
    scoped_test_pack pack({{"xls\\strings.txt", bytes_of("first")},
                           {"XLS\\STRINGS.TXT", bytes_of("second")},
                           {"codes", {65, 0, 66, 0, 1, 1}},
                           {"big", big, true}});
    ASSERT_TRUE(pack.ok());
    EXPECT_EQ(invalid_id, pack_file_get_index("xls/strings.txt"));
    EXPECT_EQ(bytes_of("first"), load("XLS\\Strings.TXT"));
    EXPECT_EQ((std::vector<uint8_t>{65, 0, 66, 0, 1, 1}), load("codes"));
    EXPECT_EQ(big, load("big"));
    u32 stored = 0, size = 99;
    ASSERT_TRUE(pack_file_info(3, nullptr, &stored, &size));
    EXPECT_LT(stored, size);

    int before = memory_num_allocations();
    u8 *first = pack_file_load("big", nullptr);
    EXPECT_EQ(first, pack_file_load("BIG", nullptr));
    EXPECT_EQ(before + 1, memory_num_allocations());
    pack_file_close(first);
    EXPECT_EQ(before, memory_num_allocations());
    int foreign = 0;
    pack_file_close(&foreign);                          // belongs to no entry: ignored
    EXPECT_NE(nullptr, pack_file_load("big", nullptr)); // closing the pack frees it
    EXPECT_EQ(0u, rec.count());
    EXPECT_EQ(nullptr, pack_file_load("missing", nullptr));
    EXPECT_TRUE(rec.asserted("index != invalid_id"));
}

TEST(pack, damaged_directories_are_refused_whole_without_leaks) {
    std::vector<uint8_t> good = test_pack_image({{"one", bytes_of("abc")}, {"two", bytes_of("defg")}});
    auto patched = [&good](size_t at, uint32_t v) {
        std::vector<uint8_t> image = good;
        std::memcpy(&image[at], &v, 4);
        return image;
    };
    struct damaged {
        const char *what;
        std::vector<uint8_t> image;
    };
    const damaged cases[] = {
        {"record cut short", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
        {"last entry cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"count past the file", patched(0, 0xFFFFFFFFu)},
        {"entry size past the file", patched(4, 0x80000000u)}, // entry 0's stored size: over 2 GiB
        {"sizes that wrap", patched(4, 0xFFFFFFFFu)},          // their sum must not pass the end check
    };
    for (const damaged &c : cases) {
        SCOPED_TRACE(c.what);
        dialog_recorder rec;
        int blocks = memory_num_allocations();
        {
            scoped_test_pack pack(test_pack_bytes{c.image});
            EXPECT_FALSE(pack.ok());
            EXPECT_FALSE(packfile_is_open());
            EXPECT_GE(rec.count(), 1u);
            EXPECT_EQ(invalid_id, pack_file_get_index("one"));
        }
        EXPECT_EQ(blocks, memory_num_allocations());
    }
    dialog_recorder rec;
    scoped_test_pack pack(test_pack_bytes{good});
    EXPECT_TRUE(pack.ok());
    EXPECT_EQ(bytes_of("defg"), load("two"));
}

TEST(pack, compressed_entry_of_the_wrong_size_is_refused) {
    std::vector<uint8_t> text = pattern(4000);
    std::vector<uint8_t> image = test_pack_image({{"short", text, true}, {"long", text, true}});
    // Entry "short" claims one byte more than its codes give; "long" one byte less.
    uint32_t more = (uint32_t)text.size() + 1, less = (uint32_t)text.size() - 1;
    std::memcpy(&image[4 + 4], &more, 4);
    std::memcpy(&image[4 + 16 + 5 + 4], &less, 4);
    dialog_recorder rec;
    scoped_test_pack pack(test_pack_bytes{image});
    ASSERT_TRUE(pack.ok());
    int blocks = memory_num_allocations();
    EXPECT_EQ(nullptr, pack_file_load("short", nullptr));
    EXPECT_TRUE(rec.asserted("out_size == file_list[index].uncompressed_size"));
    rec.clear();
    EXPECT_EQ(nullptr, pack_file_load("long", nullptr));
    EXPECT_FALSE(rec.asserted("out_size == file_list[index].uncompressed_size"));
    EXPECT_GE(rec.count(), 1u); // the decoder stops at the buffer's end
    EXPECT_EQ(blocks, memory_num_allocations());
}

std::vector<u8> codes_bytes(const std::vector<u32> &codes) {
    std::vector<u8> b;
    for (u32 c : codes) {
        b.push_back((u8)c);
        b.push_back((u8)(c >> 8));
    }
    return b;
}

struct decoded {
    bool ok;
    std::string text;
};

// Decodes into a buffer of exactly capacity bytes (ASan sees any write past it).
decoded decode(const std::vector<u32> &codes, u32 capacity) {
    std::vector<u8> b = codes_bytes(codes);
    std::vector<u8> out(capacity);
    u32 size = 12345;
    bool ok = lzw_decompress(b.data(), (u32)codes.size(), out.data(), capacity, &size);
    EXPECT_LE(size, capacity);
    return {ok, std::string(out.begin(), out.begin() + size)};
}
// (Codes not yet known when read, and clear codes, are met by the encoder's round trips below.)
TEST(lzw, a_full_segment_of_3840_codes_decodes_and_one_more_overflows_the_dictionary) {
    dialog_recorder rec;
    std::vector<u32> full(3840);
    for (size_t i = 0; i < full.size(); ++i)
        full[i] = 'a' + i % 26;
    std::vector<u32> two = full; // with a clear code in between, two full segments are fine
    two.push_back(256);
    two.insert(two.end(), full.begin(), full.end());
    EXPECT_EQ(7680u, decode(two, 7680).text.size());
    EXPECT_EQ(0u, rec.count());
    full.push_back('z');
    EXPECT_EQ(3841u, decode(full, 3841).text.size());
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"lzw_table_size < lzw_max_table_size"});
}

TEST(lzw, bad_streams_are_refused_without_writing_past_the_buffer) {
    struct bad {
        const char *what;
        std::vector<u32> codes;
        u32 capacity;
        const char *assertion;
        const char *kept;
    };
    const bad cases[] = {
        {"empty stream", {}, 8, "count > 0", ""},
        {"first code above 255", {300, 65}, 8, "code <= 255", ""},
        {"segment after a clear starts above 255", {65, 256, 257}, 8, "code <= 255", "A"},
        {"code beyond the next entry", {65, 66, 259}, 8, "code == lzw_table_size", "AB"},
        {"byte past the end", {65, 66, 67}, 2, "position < out_capacity", "AB"},
        {"entry past the end", {65, 66, 257}, 3, "e.length <= out_capacity - position", "AB"},
        {"new entry past the end", {65, 66, 257, 259}, 6, "prev_length < out_capacity - position", "ABAB"},
    };
    for (const bad &c : cases) {
        SCOPED_TRACE(c.what);
        dialog_recorder rec;
        decoded d = decode(c.codes, c.capacity);
        EXPECT_FALSE(d.ok);
        EXPECT_EQ(c.kept, d.text);
        EXPECT_EQ(std::vector<std::string>({c.assertion}), rec.assertions());
    }
}

TEST(lzw, encoder_output_round_trips_and_keeps_the_decoders_rules) {
    dialog_recorder rec;
    std::mt19937 rng(7);
    std::vector<u8> noise(20000), text;
    for (u8 &b : noise)
        b = (u8)rng();
    while (text.size() < 300000) {
        const char *words[] = {"crypt ", "bone ", "lantern ", "necrogram ", "\r\n"};
        for (const char *c = words[rng() % 5]; *c; ++c)
            text.push_back((u8)*c);
    }
    // Long runs (long dictionary chains), noise, and text. The decoder asserts
    // on a segment of more than 3,840 codes or one that starts above 255.
    for (const auto &data : {std::vector<u8>(100000, 0xAA), noise, text}) {
        SCOPED_TRACE(data.size());
        std::vector<u8> codes = lzw_compress(data.data(), data.size());
        std::vector<u8> out(data.size());
        u32 size = 0;
        EXPECT_TRUE(lzw_decompress(codes.data(), (u32)(codes.size() / 2), out.data(), (u32)out.size(), &size));
        EXPECT_EQ(data, std::vector<u8>(out.begin(), out.begin() + size));
    }
    EXPECT_TRUE(lzw_compress(nullptr, 0).empty());
    EXPECT_EQ(0u, rec.count());
}

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
    run(b, 0x7F, 2);                     // jump
    run(b, 0x3F, 1, {0x10, 0x20, 0x30}); // literal
    run(b, 0xC0, 1);                     // invalid: a jump
    run(b, 0xBF, 4, {0xAA, 0xBB, 0xCC}); // fill
    ASSERT_TRUE(decode(b));
    EXPECT_EQ(std::vector<u32>(image.data, image.data + 8),
              (std::vector<u32>{0, 0, 0xFF102030u, 0, 0xFFAABBCCu, 0xFFAABBCCu, 0xFFAABBCCu, 0xFFAABBCCu}));
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"ctrl == kzb_sprite_control_byte_jump"});
}

// (An empty picture: the fuzz corpus, under the sanitizers; a second free of its pixels is
// refused by the allocator: Memory.DoubleFreeAndForeignPointersAreRefused.)
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
    // (Pictures too big to hold: the size limits below.)
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
    dialog_recorder rec;
    std::vector<bytes> held;
};

// (Scaled sheets are read back slice by slice in test_ui_draw; jumps keeping what was under
// them in test_gfx's exact glyph pixels.)
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

// (The top two control bits of a run: the kzb tests above and the record decoder below.)
TEST_F(kzg, twenty_four_bit_pixels_are_drawn_scaled_and_clipped) {
    kzg_sprite_data rgb = {};
    ASSERT_TRUE(parse(sheet(-1, {}, {{0x00, 0x01, 0x80, 0x01, 0x11, 0x22, 0x33}}), &rgb));
    buffer scaled(3, 2);
    d3d_kzg_decompress_to_buffer_location(&rgb, -1, 0, 0, 2, &scaled.b);
    EXPECT_EQ(scaled.px, (std::vector<u32>(6, 0xFF112233u)));
    EXPECT_EQ(rec.count(), 0u);
}

TEST_F(kzg, bad_draw_arguments_draw_nothing_and_huge_scales_clip) {
    kzg_sprite_data sd = {};
    ASSERT_TRUE(parse(sheet(8, greys(8), {worked_example}), &sd));
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

// (Counts whose tables would wrap 32 bits: the size limits below.)
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

// A pack image: a count, then records of (stored size, size, name length 1, name "a"), then data.
bytes pack_with(u32 count, const std::vector<std::pair<u32, u32>> &records, size_t data_bytes) {
    bytes b;
    put32(b, count);
    for (auto [stored, size] : records) {
        put32(b, stored);
        put32(b, size);
        put32(b, 0);
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
    // 4 codes that claim 2^32 - 1 bytes (stored sizes near 2^32 and sums that wrap: the pack tests above).
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
            put32(kzg, v);
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
        put32(header, v);
    kzs_sound sound;
    EXPECT_EQ(kzs_parse(header.data(), 0xFFFFFFF0u, &sound), kzs_err_too_long);
    EXPECT_EQ(kzs_parse(header.data(), kzs_header_size + kzs_max_sample_bytes + 1, &sound), kzs_err_too_long);
    EXPECT_EQ(kzs_parse(header.data(), kzs_header_size, &sound), kzs_err_no_samples);
    EXPECT_EQ(kzs_duration_ms(0xFFFFFFFCu, 8, 1, 100), 0xFFFFFFFFu);
    // Rounded to the nearest millisecond: 88,200 bytes a second, 44 over is 0.499 ms, 88 is 0.998.
    EXPECT_EQ(kzs_duration_ms(88200 + 44, 16, 1, 44100), 1000u);
    EXPECT_EQ(kzs_duration_ms(88200 + 88, 16, 1, 44100), 1001u);
}

} // namespace
