// d3d_kzg.cpp -- kzg sprite sheets: loading, checking and decoding run-length sprites
#include "graphics/d3d_kzg.h"

#include "engine/ec_assert.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "graphics/d3d_gfx2d.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr u8 kzg_control_mask = 0xC0;
constexpr u32 opaque = 0xFF000000u;

u32 read_u32(const u8 *p) { return (u32)p[0] | (u32)p[1] << 8 | (u32)p[2] << 16 | (u32)p[3] << 24; }

u32 rgb_pixel(const u8 *p) { return opaque | (u32)p[0] << 16 | (u32)p[1] << 8 | (u32)p[2]; }

// Walks a sprite record at offset: true when every run lies inside the file and the
// runs of each row cover exactly the sprite's width. An invalid run (0xC0) counts as
// a two-byte run, as the decoders read it.
bool sprite_record_fits(const u8 *data, u32 size, u32 offset, bool rgb) {
    if (offset > size || size - offset < 2)
        return false;
    int h = data[offset] + 1;
    int w = data[offset + 1] + 1;
    u32 p = offset + 2;
    for (int row = 0; row < h; ++row) {
        int count = 0;
        while (count < w) {
            if (size - p < 2)
                return false;
            u8 ctrl = data[p] & kzg_control_mask;
            int n = data[p + 1] + 1;
            p += 2;
            u32 payload = 0;
            if (ctrl == kzg_sprite_control_byte_literal)
                payload = rgb ? 3u * (u32)n : (u32)n;
            else if (ctrl == kzg_sprite_control_byte_fill)
                payload = rgb ? 3u : 1u;
            if (size - p < payload)
                return false;
            p += payload;
            count += n;
        }
        if (count != w)
            return false;
    }
    return true;
}

void fill_row(u32 *p, long long n, u32 colour) { std::fill_n(p, (std::size_t)n, colour); }

// The part of a block inside the clip rectangle.
void place_clipped(const d3d_kzg_buffer_data *b, long long x, long long y, long long w, long long h, u32 colour) {
    long long x0 = std::max<long long>(x, b->clip_left);
    long long x1 = std::min<long long>(x + w, b->clip_right);
    long long y0 = std::max<long long>(y, b->clip_top);
    long long y1 = std::min<long long>(y + h, b->clip_bottom);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (long long ry = y0; ry < y1; ++ry)
        fill_row(b->data + ry * b->width + x0, x1 - x0, colour);
}

// Keeps a caller's clip rectangle inside its buffer.
d3d_kzg_buffer_data safe_clip(const d3d_kzg_buffer_data *b) {
    d3d_kzg_buffer_data c = *b;
    c.clip_left = std::max(c.clip_left, 0);
    c.clip_top = std::max(c.clip_top, 0);
    c.clip_right = std::min(c.clip_right, c.width);
    c.clip_bottom = std::min(c.clip_bottom, c.height);
    return c;
}

// Decoded copies of the sprites of sheets loaded from the pack: board tiles and the
// font's digits are drawn hundreds of times a frame. At scale 1, while the palette
// entries a sprite uses are as when it was decoded, its pixels are copied span by
// span; otherwise (the font colours its glyphs per draw) its runs of one palette
// entry are filled with the entry's colour now.
struct decoded_span {
    u16 row, start, length;
};

constexpr u16 rgb_entry = 0xFFFF;

struct decoded_run {
    u16 row, start, length;
    u16 entry; // palette entry, or rgb_entry: colour
    u32 colour;
};

struct decoded_sprite {
    bool ready = false, cacheable = true;
    int width = 0, height = 0;
    std::vector<u32> pixels;                      // width x height, clear pixels 0
    std::vector<decoded_span> spans;              // the drawn pixels, row by row
    std::vector<decoded_run> runs;                // the same as runs of one colour
    std::vector<std::pair<u8, u32>> palette_used; // entries read, and their colour then
};

struct decoded_sheet {
    const u8 *data = nullptr;
    std::vector<decoded_sprite> sprites;
};

std::vector<decoded_sheet> decoded_sheets;

decoded_sheet *find_decoded(const u8 *data) {
    for (decoded_sheet &d : decoded_sheets)
        if (d.data == data)
            return &d;
    return nullptr;
}

// Decodes sprite index of a well-formed sheet; false when it holds an invalid run.
bool decode_sprite(const kzg_sprite_data *sd, int index, decoded_sprite *out) {
    const u8 *src = sd->data + read_u32(sd->sprite_offsets + 4 * index);
    const int h = src[0] + 1, w = src[1] + 1;
    src += 2;
    const bool rgb = sd->num_colors == -1;
    bool used[max_kzg_colors] = {};
    out->width = w;
    out->height = h;
    out->pixels.assign((std::size_t)w * h, 0u);
    for (int row = 0; row < h; ++row) {
        u32 *dst = out->pixels.data() + (std::size_t)row * w;
        int x = 0;
        while (x < w) {
            const u8 ctrl = src[0] & kzg_control_mask;
            const int count = src[1] + 1;
            src += 2;
            if (ctrl == kzg_sprite_control_byte_jump) {
                x += count;
                continue;
            }
            if (ctrl != kzg_sprite_control_byte_literal && ctrl != kzg_sprite_control_byte_fill)
                return false;
            const bool literal = ctrl == kzg_sprite_control_byte_literal;
            for (int i = 0; i < count; ++i) {
                const u8 *p = literal ? src + (rgb ? 3 * i : i) : src;
                const u32 colour = rgb ? rgb_pixel(p) : sd->colors[*p];
                const u16 entry = rgb ? rgb_entry : *p;
                dst[x + i] = colour;
                if (!rgb)
                    used[*p] = true;
                decoded_run *last = out->runs.empty() ? nullptr : &out->runs.back();
                if (last && last->row == row && last->start + last->length == x + i && last->entry == entry &&
                    last->colour == (rgb ? colour : 0u))
                    ++last->length;
                else
                    out->runs.push_back({(u16)row, (u16)(x + i), 1, entry, rgb ? colour : 0u});
            }
            src += literal ? (rgb ? 3 * count : count) : (rgb ? 3 : 1);
            if (!out->spans.empty() && out->spans.back().row == row &&
                out->spans.back().start + out->spans.back().length == x)
                out->spans.back().length = (u16)(out->spans.back().length + count);
            else
                out->spans.push_back({(u16)row, (u16)x, (u16)count});
            x += count;
        }
    }
    for (int i = 0; i < max_kzg_colors; ++i)
        if (used[i])
            out->palette_used.emplace_back((u8)i, sd->colors[i]);
    out->ready = true;
    return true;
}

// The decoded sprite, or null to draw from the file's runs.
const decoded_sprite *decoded(const kzg_sprite_data *sd, int index) {
    decoded_sheet *sheet = find_decoded(sd->data);
    if (!sheet)
        return nullptr;
    if (sheet->sprites.size() != (std::size_t)sd->num_sprites)
        sheet->sprites.assign((std::size_t)sd->num_sprites, decoded_sprite{});
    decoded_sprite &d = sheet->sprites[(std::size_t)index];
    if (d.ready)
        return &d;
    if (!d.cacheable)
        return nullptr;
    if (decode_sprite(sd, index, &d))
        return &d;
    d = decoded_sprite{};
    d.cacheable = false;
    return nullptr;
}

bool palette_as_decoded(const decoded_sprite &d, const kzg_sprite_data *sd) {
    for (const auto &[entry, colour] : d.palette_used)
        if (sd->colors[entry] != colour)
            return false;
    return true;
}

// Draws the decoded sprite with its top-left at (x, y), each pixel scale x scale,
// inside b's clip rectangle.
void draw_decoded(const decoded_sprite &d, const kzg_sprite_data *sd, long long x, long long y, int scale,
                  const d3d_kzg_buffer_data &b) {
    if (scale == 1 && palette_as_decoded(d, sd)) {
        for (const decoded_span &s : d.spans) {
            const long long ry = y + s.row;
            if (ry < b.clip_top || ry >= b.clip_bottom)
                continue;
            const long long x0 = std::max<long long>(x + s.start, b.clip_left);
            const long long x1 = std::min<long long>(x + s.start + s.length, b.clip_right);
            if (x0 < x1)
                std::memcpy(b.data + ry * b.width + x0, d.pixels.data() + (std::size_t)s.row * d.width + (x0 - x),
                            (std::size_t)(x1 - x0) * 4);
        }
        return;
    }
    for (const decoded_run &r : d.runs)
        place_clipped(&b, x + (long long)r.start * scale, y + (long long)r.row * scale, (long long)r.length * scale,
                      scale, r.entry == rgb_entry ? r.colour : sd->colors[r.entry]);
}

} // namespace

namespace {

void clear_record(kzg_sprite_data *sd) {
    sd->data = NULL;
    sd->num_colors = 0;
    sd->num_sprites = 0;
    sd->sprite_offsets = NULL;
    sd->data_size = 0;
}

} // namespace

bool d3d_kzg_parse(u8 *data, u32 size, kzg_sprite_data *out) {
    if (!ec_assert(data) || !ec_assert(out))
        return false;
    clear_record(out);
    bool header_fits = size >= 8;
    if (!ec_assert(header_fits))
        return false;
    out->num_colors = (s32)read_u32(data);
    if (!ec_assert(out->num_colors <= max_kzg_colors) || !ec_assert(out->num_colors >= -1)) {
        clear_record(out);
        return false;
    }
    s32 num_colors = out->num_colors;
    out->num_colors = 0;
    u32 n = num_colors > 0 ? (u32)num_colors : 0u;
    bool palette_fits = (unsigned long long)size >= 8ull + 4ull * n;
    if (!ec_assert(palette_fits))
        return false;
    s32 num_sprites = (s32)read_u32(data + 4 + 4 * n);
    bool offsets_fit =
        num_sprites >= 0 && (unsigned long long)size >= 8ull + 4ull * n + 4ull * (unsigned long long)num_sprites;
    if (!ec_assert(offsets_fit))
        return false;
    const u8 *offsets = data + 8 + 4 * n;
    bool sprites_well_formed = true;
    for (s32 i = 0; i < num_sprites && sprites_well_formed; ++i)
        sprites_well_formed = sprite_record_fits(data, size, read_u32(offsets + 4 * i), num_colors == -1);
    if (!ec_assert(sprites_well_formed))
        return false;

    out->data = data;
    out->data_size = size;
    out->num_colors = num_colors;
    for (u32 i = 0; i < (u32)max_kzg_colors; ++i)
        out->colors[i] = i < n ? read_u32(data + 4 + 4 * i) | opaque : opaque;
    out->num_sprites = num_sprites;
    out->sprite_offsets = offsets;
    return true;
}

void d3d_kzg_load_data(const char *filename, kzg_sprite_data *out) {
    if (!ec_assert(filename) || !ec_assert(out) || !ec_assert(out->data == NULL))
        return;
    u32 size = 0;
    out->data = pack_file_load(filename, &size);
    if (!ec_assert_info(out->data != NULL, filename))
        return;
    // A refused sheet goes back to the pack at once: the record stays empty.
    u8 *file = out->data;
    if (!d3d_kzg_parse(file, size, out)) {
        pack_file_close(file);
        clear_record(out);
        return;
    }
    if (!find_decoded(file))
        decoded_sheets.push_back(decoded_sheet{file, {}});
}

void d3d_kzg_free_data(kzg_sprite_data *sd) {
    if (!sd || !sd->data)
        return;
    if (decoded_sheet *d = find_decoded(sd->data)) {
        *d = std::move(decoded_sheets.back());
        decoded_sheets.pop_back();
    }
    pack_file_close(sd->data);
    clear_record(sd);
}

void place_in_buffer(d3d_kzg_buffer_data *buffer, int x, int y, u32 colour, int scale, bool clip) {
    if (!ec_assert(scale >= 1) || !ec_assert(buffer))
        return;
    d3d_kzg_buffer_data b = safe_clip(buffer);
    // An unclipped block must lie in the buffer; one that does not is clipped after all.
    if (!clip && x >= 0 && y >= 0 && (long long)x + scale <= b.width && (long long)y + scale <= b.height) {
        for (int r = 0; r < scale; ++r)
            fill_row(b.data + (long long)(y + r) * b.width + x, scale, colour);
        return;
    }
    place_clipped(&b, x, y, scale, scale, colour);
}

void d3d_kzg_decompress_to_buffer_location(kzg_sprite_data *sd, int x, int y, int sprite_index, int scale,
                                           d3d_kzg_buffer_data *buffer) {
    if (!ec_assert(sd) || !ec_assert(sd->data) || !ec_assert(sprite_index >= 0) ||
        !ec_assert(sprite_index < sd->num_sprites) || !ec_assert(scale >= 1) || !ec_assert(buffer))
        return;
    d3d_kzg_buffer_data b = safe_clip(buffer);
    const u8 *data = sd->data;
    const u8 *src = data + read_u32(sd->sprite_offsets + 4 * sprite_index);
    const int h = src[0] + 1;
    const int w = src[1] + 1;
    src += 2;
    const long long x_end = (long long)x + (long long)w * scale;
    const long long y_end = (long long)y + (long long)h * scale;

    if (x_end < b.clip_left || y_end < b.clip_top || x >= b.clip_right || y >= b.clip_bottom)
        return;
    if (const decoded_sprite *d = decoded(sd, sprite_index)) {
        draw_decoded(*d, sd, x, y, scale, b);
        return;
    }
    // x_end and y_end are one past the sprite: ending on the right or bottom edge counts as clipped.
    const bool clip = x < b.clip_left || x_end >= b.clip_right || y < b.clip_top || y_end >= b.clip_bottom;
    const bool rgb = sd->num_colors == -1;
    const u32 *colors = sd->colors;
    const long long stride = b.width;

    long long ry = y;
    for (int row = 0; row < h; ++row, ry += scale) {
        long long cx = x;
        const long long row_end = x_end;
        while (cx < row_end) {
            u8 ctrl = src[0] & kzg_control_mask;
            int count = src[1] + 1;
            src += 2;
            if (ctrl == kzg_sprite_control_byte_jump) {
                cx += (long long)count * scale;
                continue;
            }
            if (ctrl != kzg_sprite_control_byte_literal && ctrl != kzg_sprite_control_byte_fill) {
                ec_assert(ctrl == kzg_sprite_control_byte_jump);
                return;
            }
            const bool literal = ctrl == kzg_sprite_control_byte_literal;
            if (clip) {
                if (literal) {
                    for (int i = 0; i < count; ++i, cx += scale) {
                        u32 c = rgb ? rgb_pixel(src + 3 * i) : colors[src[i]];
                        place_clipped(&b, cx, ry, scale, scale, c);
                    }
                    src += rgb ? 3 * count : count;
                } else {
                    u32 c = rgb ? rgb_pixel(src) : colors[src[0]];
                    place_clipped(&b, cx, ry, (long long)count * scale, scale, c);
                    cx += (long long)count * scale;
                    src += rgb ? 3 : 1;
                }
                continue;
            }
            // Wholly inside: straight stores, no tests.
            u32 *dst = b.data + ry * stride + cx;
            if (literal) {
                if (scale == 1) {
                    if (rgb) {
                        for (int i = 0; i < count; ++i)
                            dst[i] = rgb_pixel(src + 3 * i);
                    } else {
                        for (int i = 0; i < count; ++i)
                            dst[i] = colors[src[i]];
                    }
                } else {
                    for (int i = 0; i < count; ++i) {
                        u32 c = rgb ? rgb_pixel(src + 3 * i) : colors[src[i]];
                        u32 *block = dst + (long long)i * scale;
                        for (int r = 0; r < scale; ++r)
                            fill_row(block + r * stride, scale, c);
                    }
                }
                src += rgb ? 3 * count : count;
            } else {
                u32 c = rgb ? rgb_pixel(src) : colors[src[0]];
                for (int r = 0; r < scale; ++r)
                    fill_row(dst + r * stride, (long long)count * scale, c);
                src += rgb ? 3 : 1;
            }
            cx += (long long)count * scale;
        }
    }
}

void gfx2d_draw_sprite(kzg_sprite_data *sd, int x, int y, int sprite_index, int scale) {
    // Only the sprite's rectangle counts as drawn on; a bad sprite is left to the asserts below.
    u32 *screen_buffer = NULL;
    if (sd && sd->data && sprite_index >= 0 && sprite_index < sd->num_sprites && scale >= 1) {
        const u8 *src = sd->data + read_u32(sd->sprite_offsets + 4 * sprite_index);
        const long long w = src[1] + 1, h = src[0] + 1;
        screen_buffer = gfx2d_screen_buffer_rect(x, y, (int)std::clamp<long long>(x + w * scale - 1, INT_MIN, INT_MAX),
                                                 (int)std::clamp<long long>(y + h * scale - 1, INT_MIN, INT_MAX));
    } else {
        screen_buffer = gfx2d_screen_buffer();
    }
    if (!ec_assert(screen_buffer))
        return;
    d3d_kzg_buffer_data buffer = {
        .data = screen_buffer,
        .width = screen_width,
        .height = screen_height,
        .clip_left = 0,
        .clip_top = 0,
        .clip_right = screen_width,
        .clip_bottom = screen_height,
    };
    d3d_kzg_decompress_to_buffer_location(sd, x, y, sprite_index, scale, &buffer);
}

namespace {

// Shared by both decoders: palette lookups, or 24-bit triples when color_tbl is null.
bool decompress(const u8 *source, u32 size, const u32 *color_tbl, u32 *dest, int dest_width, int dest_height) {
    int height = source[0] + 1;
    int width = source[1] + 1;
    if (!ec_assert(height == dest_height) || !ec_assert(width == dest_width))
        return false;
    bool record_fits = sprite_record_fits(source, size, 0, color_tbl == NULL);
    if (!ec_assert(record_fits))
        return false;
    const u8 *src = source + 2;
    u32 *out = dest;
    for (int row = 0; row < height; ++row) {
        int done = 0;
        while (done < width) {
            u8 ctrl = src[0] & kzg_control_mask;
            int count = src[1] + 1;
            src += 2;
            if (ctrl == kzg_sprite_control_byte_literal) {
                for (int i = 0; i < count; ++i)
                    out[i] = color_tbl ? color_tbl[src[i]] : rgb_pixel(src + 3 * i);
                src += color_tbl ? count : 3 * count;
            } else if (ctrl == kzg_sprite_control_byte_fill) {
                std::fill_n(out, count, color_tbl ? color_tbl[src[0]] : rgb_pixel(src));
                src += color_tbl ? 1 : 3;
            } else {
                ec_assert(ctrl == kzg_sprite_control_byte_jump);
                std::fill_n(out, count, 0u);
            }
            out += count;
            done += count;
        }
    }
    return true;
}

} // namespace

bool sprite_decompress(const u8 *source, u32 size, const u32 *color_tbl, u32 *dest, int dest_width, int dest_height) {
    if (!ec_assert(source) || !ec_assert(color_tbl) || !ec_assert(dest) || !ec_assert(size >= 2))
        return false;
    return decompress(source, size, color_tbl, dest, dest_width, dest_height);
}

bool sprite_decompress24(const u8 *source, u32 size, u32 *dest, int dest_width, int dest_height) {
    if (!ec_assert(source) || !ec_assert(dest) || !ec_assert(size >= 2))
        return false;
    return decompress(source, size, NULL, dest, dest_width, dest_height);
}

u32 *d3d_kzg_to_new_buffer(const char *filename, int *width, int *height) {
    if (!ec_assert(filename) || !ec_assert(width) || !ec_assert(height))
        return NULL;
    u32 size = 0;
    u8 *texture_file = pack_file_load(filename, &size);
    if (!ec_assert_info(texture_file != NULL, filename))
        return NULL;
    s32 num_colors = size >= 4 ? (s32)read_u32(texture_file) : 0;
    kzg_sprite_data sheet = {};
    u32 *buffer = NULL;
    if (ec_assert(num_colors <= max_kzg_colors) && d3d_kzg_parse(texture_file, size, &sheet)) {
        s32 num_sprites = sheet.num_sprites;
        if (ec_assert(num_sprites == 1)) {
            u32 offset = read_u32(sheet.sprite_offsets);
            const u8 *record = texture_file + offset;
            int h = record[0] + 1;
            int w = record[1] + 1;
            buffer = (u32 *)ZEL_MALLOC((u32)w * (u32)h * 4u, "d3d_kzg");
            bool decoded =
                buffer && (sheet.num_colors != -1 ? sprite_decompress(record, size - offset, sheet.colors, buffer, w, h)
                                                  : sprite_decompress24(record, size - offset, buffer, w, h));
            if (decoded) {
                *width = w;
                *height = h;
            } else if (buffer) {
                zel_free(buffer);
                buffer = NULL;
            }
        }
    }
    pack_file_close(texture_file);
    return buffer;
}
