// fuzz_kzb.cpp -- libFuzzer target: decoding kzb pictures
#include "fuzz_common.h"
#include "graphics/d3d_kzb.h"

#include <cstdint>
#include <vector>

// Accepted pictures above this many pixels are valid but slow to fill: skipped.
constexpr u32 max_fuzzed_pixels = 1u << 22;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 0xFFFFFFFFu)
        return 0;
    std::vector<u8> file(data, data + size);
    if (size >= 4) {
        u32 pixels = (u32)(file[0] | file[1] << 8) * (u32)(file[2] | file[3] << 8);
        if (pixels > max_fuzzed_pixels && pixels <= max_kzb_pixels)
            return 0;
    }
    kzb_image_data image = {};
    if (d3d_kzb_decode(file.data(), (u32)size, &image)) {
        if (!image.data || image.width != (s32)(file[0] | file[1] << 8) ||
            image.height != (s32)(file[2] | file[3] << 8))
            __builtin_trap();
        // Every pixel was written: reading them all is defined.
        u32 sum = 0;
        for (s32 i = 0; i < image.width * image.height; ++i)
            sum += image.data[i];
        (void)sum;
        d3d_kzb_free_data(&image);
    } else if (image.data) {
        __builtin_trap();
    }
    if (memory_num_allocations() != 0)
        __builtin_trap();
    return 0;
}
