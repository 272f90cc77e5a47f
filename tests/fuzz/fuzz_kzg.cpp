// fuzz_kzg.cpp -- libFuzzer target: checking kzg sheets, drawing and decoding every sprite
#include "fuzz_common.h"
#include "graphics/d3d_kzg.h"

#include <cstdint>
#include <cstring>
#include <vector>

constexpr int canvas_width = 61, canvas_height = 37, max_sprites_drawn = 32;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 0xFFFFFFFFu)
        return 0;
    // The sheet's bytes, exactly sized, so that any read past them is caught.
    std::vector<u8> file(data, data + size);
    kzg_sprite_data sd = {};
    if (!d3d_kzg_parse(file.data(), (u32)size, &sd)) {
        if (sd.data)
            __builtin_trap();
        return 0;
    }
    std::vector<u32> canvas((size_t)(canvas_width * canvas_height), 0);
    d3d_kzg_buffer_data buffer = {canvas.data(), canvas_width, canvas_height, 0, 0, canvas_width, canvas_height};
    d3d_kzg_buffer_data inner = {canvas.data(), canvas_width, canvas_height, 3, 2, 50, 30};
    for (int i = 0; i < sd.num_sprites && i < max_sprites_drawn; ++i) {
        // Inside (the fast paths), across each edge, scaled, and into a smaller clip rectangle.
        d3d_kzg_decompress_to_buffer_location(&sd, 1, 1, i, 1, &buffer);
        d3d_kzg_decompress_to_buffer_location(&sd, -7, -5, i, 1, &buffer);
        d3d_kzg_decompress_to_buffer_location(&sd, 40, 20, i, 2, &buffer);
        d3d_kzg_decompress_to_buffer_location(&sd, 2, 3, i, 3, &inner);

        // The record decoders, into a block of exactly the sprite's size.
        u32 offset;
        std::memcpy(&offset, sd.sprite_offsets + 4 * i, 4);
        const u8 *record = sd.data + offset;
        int h = record[0] + 1, w = record[1] + 1;
        std::vector<u32> dest((size_t)(w * h));
        bool ok = sd.num_colors == -1 ? sprite_decompress24(record, (u32)size - offset, dest.data(), w, h)
                                      : sprite_decompress(record, (u32)size - offset, sd.colors, dest.data(), w, h);
        if (!ok)
            __builtin_trap(); // an accepted sheet decodes
    }
    if (memory_num_allocations() != 0)
        __builtin_trap();
    return 0;
}
