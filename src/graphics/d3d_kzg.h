// d3d_kzg.h -- kzg sprite sheets: loading and decoding
#pragma once

#include "engine/ec_types.h"

constexpr int max_kzg_colors = 256;
// Run kinds: the top two bits of a run's control byte.
constexpr u8 kzg_sprite_control_byte_literal = 0x00;
constexpr u8 kzg_sprite_control_byte_jump = 0x40;
constexpr u8 kzg_sprite_control_byte_fill = 0x80;

// A loaded sheet. data is the whole file image from the pack (owned by the record,
// given back by d3d_kzg_free_data); null when nothing is loaded. colors[i] for
// i < num_colors is palette entry i made opaque; the entries beyond are opaque black.
// A caller may change a palette entry; later draws use it (the font does).
struct kzg_sprite_data {
    u8 *data;
    s32 num_colors; // -1: a 24-bit sheet without palette
    u32 colors[max_kzg_colors];
    s32 num_sprites;
    const u8 *sprite_offsets; // into data
    u32 data_size;
};

// A destination of sprite drawing: pixels with row stride width and a clip
// rectangle (left, top inclusive; right, bottom exclusive) inside width x height.
struct d3d_kzg_buffer_data {
    u32 *data;
    s32 width;
    s32 height;
    s32 clip_left;
    s32 clip_top;
    s32 clip_right;
    s32 clip_bottom;
};

// Loads a sheet from the pack into out (out->data must be null). A missing file or a
// malformed sheet (offsets or runs past the end of the file, rows whose runs do not
// cover exactly the sprite's width) raises an assertion and leaves out empty.
void d3d_kzg_load_data(const char *filename, kzg_sprite_data *out);
// Checks the sheet image data of size bytes and fills out to refer to it (not owned:
// do not call d3d_kzg_free_data on it). False after an assertion when malformed.
bool d3d_kzg_parse(u8 *data, u32 size, kzg_sprite_data *out);
// Gives the file back to the pack and empties the record; an empty record is left alone.
void d3d_kzg_free_data(kzg_sprite_data *sd);

// Draws sprite sprite_index with its top-left at (x, y), each pixel a scale x scale
// block, into the framebuffer, clipped. Jump runs leave the destination as it was.
void gfx2d_draw_sprite(kzg_sprite_data *sd, int x, int y, int sprite_index, int scale);
// The same into any buffer, clipped to its clip rectangle.
void d3d_kzg_decompress_to_buffer_location(kzg_sprite_data *sd, int x, int y, int sprite_index, int scale,
                                           d3d_kzg_buffer_data *buffer);
// Writes one scale x scale block of colour at (x, y); with clip, only its part
// inside the clip rectangle.
void place_in_buffer(d3d_kzg_buffer_data *buffer, int x, int y, u32 colour, int scale, bool clip);

// Decodes the only sprite of a one-sprite sheet into a new width x height block
// (ZEL_MALLOC; the caller frees it with zel_free). Jump runs become 0. Null after
// an assertion (missing file, malformed sheet, not exactly one sprite).
u32 *d3d_kzg_to_new_buffer(const char *filename, int *width, int *height);

// Decode one sprite record of size bytes into dest (dest_width x dest_height, row
// stride dest_width), paletted through color_tbl or 24-bit. False after an assertion
// when the record's size differs from dest's or its runs leave the record or a row.
bool sprite_decompress(const u8 *source, u32 size, const u32 *color_tbl, u32 *dest, int dest_width, int dest_height);
bool sprite_decompress24(const u8 *source, u32 size, u32 *dest, int dest_width, int dest_height);
