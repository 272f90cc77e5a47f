// d3d_kzb.h -- kzb pictures: run-length 24-bit images decoded whole
#pragma once

#include "engine/ec_types.h"

// The largest picture accepted, in pixels (a 8192 x 8192 picture).
constexpr u32 max_kzb_pixels = 8192u * 8192u;

// A decoded picture: width x height pixels, row stride width, owned by the record
// (a ZEL_MALLOC block); data is null when empty.
struct kzb_image_data {
    s32 width;
    s32 height;
    u32 *data;
};

// Reads filename from the pack and decodes it into out, which must be empty. A
// missing or malformed file (runs past the end of the file, past a row, past the
// last row) raises an assertion and leaves out unchanged.
void d3d_kzb_load_data(const char *filename, kzb_image_data *out);
// Decodes a kzb file image of size bytes into out (empty). False after an assertion
// on malformed data; out is then unchanged. The bytes stay the caller's.
bool d3d_kzb_decode(const u8 *file, u32 size, kzb_image_data *out);
// Frees the pixels and empties the record; an empty record raises "kzb_image->data".
void d3d_kzb_free_data(kzb_image_data *image);
