// ec_lzw.cpp -- LZW decoder of pack entries, and the matching encoder for the tools
#include "engine/ec_lzw.h"

#include "engine/ec_assert.h"

#include <cstring>
#include <unordered_map>

namespace {

// Every dictionary entry is the previous code's expansion plus one byte, and that
// expansion sits in the output right before the byte. So an entry is simply a
// place in the output already written: decoding a code is one bounded copy.
struct lzw_entry {
    u32 offset;
    u32 length;
};

lzw_entry lzw_table[lzw_max_table_size];
u32 lzw_table_size = 257;

void lzw_table_init() { lzw_table_size = 257; }

// Appends the entry that starts where prev's expansion started, one byte longer.
void lzw_table_add(u32 offset, u32 length) {
    if (!ec_assert(lzw_table_size < lzw_max_table_size))
        return;
    lzw_table[lzw_table_size++] = {offset, length};
}

inline u32 read_code(const u8 *codes, u32 i) { return (u32)codes[2 * i] | (u32)codes[2 * i + 1] << 8; }

} // namespace

bool lzw_decompress(const u8 *codes, u32 count, u8 *out, u32 out_capacity, u32 *out_size) {
    u32 position = 0;
    if (out_size)
        *out_size = 0;
    if (!ec_assert(out_size) || !ec_assert(count > 0) || !ec_assert(codes))
        return false;
    if (!ec_assert(out || out_capacity == 0))
        return false;

    lzw_table_init();
    bool ok = true;
    // Where the previous code's expansion was written, and how long it is.
    u32 prev_offset = 0, prev_length = 0;
    bool segment_start = true;

    for (u32 i = 0; i < count; ++i) {
        u32 code = read_code(codes, i);
        if (segment_start) {
            if (!ec_assert(code <= 255)) {
                ok = false;
                break;
            }
            if (!ec_assert(position < out_capacity)) {
                ok = false;
                break;
            }
            out[position] = (u8)code;
            prev_offset = position;
            prev_length = 1;
            position += 1;
            segment_start = false;
            continue;
        }
        if (code == lzw_clear_code) {
            lzw_table_init();
            segment_start = true;
            continue;
        }
        if (code < 256) {
            if (!ec_assert(position < out_capacity)) {
                ok = false;
                break;
            }
            out[position] = (u8)code;
            lzw_table_add(prev_offset, prev_length + 1);
            prev_offset = position;
            prev_length = 1;
            position += 1;
        } else if (code < lzw_table_size) {
            const lzw_entry e = lzw_table[code];
            if (!ec_assert(e.length <= out_capacity - position)) {
                ok = false;
                break;
            }
            // The source lies wholly before position, so the ranges never overlap.
            std::memcpy(out + position, out + e.offset, e.length);
            lzw_table_add(prev_offset, prev_length + 1);
            prev_offset = position;
            prev_length = e.length;
            position += e.length;
        } else {
            // The entry the encoder made just before sending it: prev plus prev's first byte.
            if (!ec_assert(code == lzw_table_size)) {
                ok = false;
                break;
            }
            if (!ec_assert(prev_length < out_capacity - position)) {
                ok = false;
                break;
            }
            std::memcpy(out + position, out + prev_offset, prev_length);
            out[position + prev_length] = out[prev_offset];
            lzw_table_add(prev_offset, prev_length + 1);
            prev_offset = position;
            prev_length += 1;
            position += prev_length;
        }
    }
    *out_size = position;
    return ok;
}

std::vector<u8> lzw_compress(const u8 *data, std::size_t size) {
    std::vector<u8> result;
    if (size == 0)
        return result;
    result.reserve(size);
    auto emit = [&result](u32 code) {
        result.push_back((u8)(code & 0xFF));
        result.push_back((u8)(code >> 8));
    };

    // (prefix code << 8 | byte) -> code of the longer string.
    std::unordered_map<u32, u16> dictionary;
    dictionary.reserve(lzw_max_table_size * 2);
    u32 next_code = 257;
    u32 w = data[0];
    for (size_t i = 1; i < size; ++i) {
        u8 b = data[i];
        u32 key = w << 8 | b;
        auto found = dictionary.find(key);
        if (found != dictionary.end()) {
            w = found->second;
            continue;
        }
        emit(w);
        if (next_code < lzw_max_table_size) {
            dictionary.emplace(key, (u16)next_code++);
        } else {
            // The decoder's dictionary is full after this code: start a new segment.
            emit(lzw_clear_code);
            dictionary.clear();
            next_code = 257;
        }
        w = b;
    }
    emit(w);
    return result;
}
