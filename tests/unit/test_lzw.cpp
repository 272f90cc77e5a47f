// LZW: decoding the format's streams, refusing bad ones, and the encoder's round trips.
#include "engine/ec_lzw.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

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

} // namespace

TEST(lzw, decodes_the_streams_of_the_format) {
    dialog_recorder rec;
    // 259 is not yet known when read: it is 257's expansion plus its first byte.
    EXPECT_EQ("ABABABA", decode({65, 66, 257, 259}, 7).text);
    // After a clear the next entry is 257 again: here "CD", not "AB".
    EXPECT_EQ("ABCDCD", decode({65, 66, 256, 67, 68, 257}, 6).text);
    // A clear code at the end adds nothing.
    decoded trailing = decode({65, 66, 256}, 2);
    EXPECT_EQ(std::pair(true, std::string("AB")), std::pair(trailing.ok, trailing.text));
    EXPECT_EQ(0u, rec.count());
}

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
