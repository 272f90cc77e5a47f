// ec_lzw.h -- LZW decoding of compressed pack entries (16-bit codes, 4096-entry dictionary)
#pragma once

#include "engine/ec_types.h"

#include <cstddef>
#include <vector>

constexpr u32 lzw_max_table_size = 4096;
constexpr u16 lzw_clear_code = 256;
// Codes a segment may hold: each code after its first adds one dictionary entry.
constexpr u32 lzw_max_segment_codes = lzw_max_table_size - 256;

// Decodes count little-endian 16-bit codes (2 * count bytes at codes, no alignment
// needed) into out, which holds out_capacity bytes, and stores the bytes written in
// *out_size. Never writes past out_capacity. Returns false after an assertion when
// the stream is empty, would overflow out, starts a segment with a code above 255
// or names an entry beyond the next one; *out_size then holds what was written.
bool lzw_decompress(const u8 *codes, u32 count, u8 *out, u32 out_capacity, u32 *out_size);

// Encodes size bytes as the code stream the decoder accepts (a clear code starts a
// new segment before the dictionary would overflow), as little-endian bytes.
// Used by the pack builder and tests; the game itself never encodes.
std::vector<u8> lzw_compress(const u8 *data, std::size_t size);
