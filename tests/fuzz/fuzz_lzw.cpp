// fuzz_lzw.cpp -- libFuzzer target: decoding any code stream into a buffer of any size
#include "engine/ec_lzw.h"
#include "fuzz_common.h"

#include <cstdint>
#include <cstring>
#include <vector>

// The first two bytes give the output buffer's size; the rest are the codes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2 || size > (1u << 20))
        return 0;
    u32 capacity = (u32)data[0] << 8 | data[1];
    std::vector<u8> codes(data + 2, data + size);
    // Exactly sized, so that a write past the end is caught.
    std::vector<u8> out(capacity);
    u32 written = 0;
    bool ok = lzw_decompress(codes.data(), (u32)(codes.size() / 2), out.data(), capacity, &written);
    if (written > capacity)
        __builtin_trap();
    // A stream the decoder accepts decodes the same again (the dictionary carries nothing over).
    if (ok) {
        std::vector<u8> again(capacity);
        u32 written_again = 0;
        if (!lzw_decompress(codes.data(), (u32)(codes.size() / 2), again.data(), capacity, &written_again) ||
            written_again != written || std::memcmp(out.data(), again.data(), written) != 0)
            __builtin_trap();
    }
    // And the encoder's output for these bytes always round-trips.
    std::vector<u8> encoded = lzw_compress(data + 2, size - 2);
    if (size > 2) {
        std::vector<u8> back(size - 2);
        u32 n = 0;
        if (!lzw_decompress(encoded.data(), (u32)(encoded.size() / 2), back.data(), (u32)back.size(), &n) ||
            n != size - 2 || std::memcmp(back.data(), data + 2, n) != 0)
            __builtin_trap();
    }
    return 0;
}
