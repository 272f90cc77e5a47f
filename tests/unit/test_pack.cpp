// Pack file: lookup by name, loading and closing, damaged packs.
// (Every asset of the built pack is loaded by the end-to-end runs, where a missing one shows a box;
// start-up without a pack or with a damaged one ends with exit code 1 in test_data_lookup.)
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

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

} // namespace

// Lookup ignores ASCII case only and the first of two equal names wins; stored entries that look
// like codes, compressed ones and ones that do not compress load whole; a second load shares the buffer.
TEST(pack, entries_load_whole_by_name_and_a_second_load_shares_the_buffer) {
    dialog_recorder rec;
    std::vector<uint8_t> big = pattern(100000), noise(3000);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = (uint8_t)(i * 2654435761u >> 13);
    scoped_test_pack pack({{"xls\\strings.txt", bytes_of("first")}, {"XLS\\STRINGS.TXT", bytes_of("second")},
                           {"codes", {65, 0, 66, 0, 1, 1}}, {"big", big, true}, {"noise", noise, true}});
    ASSERT_TRUE(pack.ok());
    EXPECT_EQ(invalid_id, pack_file_get_index("xls/strings.txt"));
    EXPECT_EQ(bytes_of("first"), load("XLS\\Strings.TXT"));
    EXPECT_EQ((std::vector<uint8_t>{65, 0, 66, 0, 1, 1}), load("codes"));
    EXPECT_EQ(big, load("big"));
    EXPECT_EQ(noise, load("noise"));
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
    pack_file_close(&foreign); // belongs to no entry: ignored
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
        {"sizes that wrap", patched(4, 0xFFFFFFFFu)},           // their sum must not pass the end check
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
