// d3d_kzb.cpp -- kzb pictures: run-length 24-bit images with 16-bit run counts
#include "graphics/d3d_kzb.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"

#include <algorithm>

namespace {

constexpr u8 kzb_control_mask = 0xC0;
constexpr u8 kzb_sprite_control_byte_literal = 0x00;
constexpr u8 kzb_sprite_control_byte_jump = 0x40;
constexpr u8 kzb_sprite_control_byte_fill = 0x80;
constexpr u32 kzb_header_size = 4;

u32 rgb_pixel(const u8 *p) { return 0xFF000000u | (u32)p[0] << 16 | (u32)p[1] << 8 | (u32)p[2]; }

// True when the runs lie inside the file and those of each row cover exactly the width.
bool runs_fit(const u8 *file, u32 size, u32 width, u32 height) {
    u32 p = kzb_header_size;
    for (u32 row = 0; row < height; ++row) {
        u32 count = 0;
        while (count < width) {
            if (size - p < 3)
                return false;
            u8 ctrl = file[p] & kzb_control_mask;
            u32 n = ((u32)file[p + 1] << 8 | file[p + 2]) + 1;
            p += 3;
            u32 payload = ctrl == kzb_sprite_control_byte_literal ? 3 * n
                          : ctrl == kzb_sprite_control_byte_fill  ? 3
                                                                  : 0;
            if (size - p < payload)
                return false;
            p += payload;
            count += n;
        }
        if (count != width)
            return false;
    }
    return true;
}

} // namespace

bool d3d_kzb_decode(const u8 *file, u32 size, kzb_image_data *out) {
    if (!ec_assert(file) || !ec_assert(out) || !ec_assert(out->data == NULL))
        return false;
    bool header_fits = size >= kzb_header_size;
    if (!ec_assert(header_fits))
        return false;
    u32 width = (u32)file[0] | (u32)file[1] << 8;
    u32 height = (u32)file[2] | (u32)file[3] << 8;
    u32 pixels = width * height;
    if (!ec_assert(pixels <= max_kzb_pixels))
        return false;
    bool kzb_runs_fit = runs_fit(file, size, width, height);
    if (!ec_assert(kzb_runs_fit))
        return false;

    // An empty picture still gets a block, so that it frees like any other.
    u32 *data = (u32 *)ZEL_MALLOC(std::max(pixels, 1u) * 4u, "d3d_kzb");
    if (!ec_assert(data))
        return false;
    const u8 *src = file + kzb_header_size;
    u32 *dst = data;
    for (u32 row = 0; row < height; ++row) {
        u32 count = 0;
        while (count < width) {
            u8 ctrl = src[0] & kzb_control_mask;
            u32 n = ((u32)src[1] << 8 | src[2]) + 1;
            src += 3;
            if (ctrl == kzb_sprite_control_byte_literal) {
                for (u32 i = 0; i < n; ++i)
                    dst[i] = rgb_pixel(src + 3 * i);
                src += 3 * n;
            } else if (ctrl == kzb_sprite_control_byte_fill) {
                std::fill_n(dst, n, rgb_pixel(src));
                src += 3;
            } else {
                ec_assert(ctrl == kzb_sprite_control_byte_jump);
                std::fill_n(dst, n, 0u);
            }
            dst += n;
            count += n;
        }
    }
    out->width = (s32)width;
    out->height = (s32)height;
    out->data = data;
    return true;
}

void d3d_kzb_load_data(const char *filename, kzb_image_data *out) {
    if (!ec_assert(filename) || !ec_assert(out) || !ec_assert(out->data == NULL))
        return;
    u32 size = 0;
    u8 *kzb_file = pack_file_load(filename, &size);
    if (!ec_assert_info(kzb_file, filename))
        return;
    d3d_kzb_decode(kzb_file, size, out);
    pack_file_close(kzb_file);
}

void d3d_kzb_free_data(kzb_image_data *image) {
    kzb_image_data *kzb_image = image;
    if (!ec_assert(kzb_image) || !ec_assert(kzb_image->data))
        return;
    zel_free(kzb_image->data);
    kzb_image->data = NULL;
    kzb_image->width = 0;
    kzb_image->height = 0;
}
