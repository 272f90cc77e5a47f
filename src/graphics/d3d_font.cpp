// d3d_font.cpp -- overlay strings drawn over the frame
#include "graphics/d3d_font.h"

#include "engine/ec_assert.h"
#include "engine/ec_data_set.h"
#include "engine/ec_memory.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"
#include "graphics/d3d_main.h"
#include "graphics/d3d_window.h"
#include "platform/pf_video.h"

#include <cstddef>
#include <cstring>

namespace {

struct vector2d {
    float x, y;
};

struct d3dui_vertex {
    float x, y, z, rhw;
    u32 colour;
    float u, v;
};
static_assert(sizeof(d3dui_vertex) == 28);

struct d3dui_string {
    bool visible;
    d3dui_vertex *vertexbuffer; // max_string_vertices vertices; null: slot free
    s32 num_primitives;
    s32 num_vertices;
    vector2d position;
    u32 colour;
    s32 scale;
};

struct glyph_uv {
    float left, top, right, bottom;
};

constexpr int font_cell = 8;

platform_texture *d3dui_font_texture = NULL;
d3dui_string d3dui_strings[max_d3dui_strings];
s32 num_d3dui_strings = 0;
d3dui_vertex string_vertices[max_string_vertices];
s32 num_string_vertices = 0;
glyph_uv glyph_uvs[96];
platform_vertex draw_vertices[max_string_vertices];

// Advance of characters 32..126 in font pixels.
const u8 kern_widths[95] = {
    8, 4, 7, 10, 8, 8, 9, 4, 6, 6, 10, 7, 5, 7, 4, 8, // space ! " # $ % & ' ( ) * + , - . /
    8, 8, 8, 8,  9, 8, 8, 8, 8, 8, 4,  5, 7, 7, 7, 8, // 0-9 : ; < = > ?
    8, 8, 8, 8,  8, 8, 8, 8, 8, 6, 8,  8, 8, 9, 8, 8, // @ A-O
    8, 8, 8, 8,  8, 8, 8, 9, 8, 8, 8,  6, 8, 6, 6, 8, // P-Z [ \ ] ^ _
    4, 8, 8, 8,  8, 8, 7, 8, 8, 6, 7,  8, 6, 9, 8, 8, // ` a-o
    8, 8, 8, 8,  8, 8, 8, 9, 8, 8, 8,  6, 4, 6, 8,    // p-z { | } ~
};

int kern_width(char c) { return font_kern_lookup(kern_widths, c); }

void set_d3dui_vertex(float x, float y, u32 colour, float u, float v) {
    if (!ec_assert(num_string_vertices < max_string_vertices))
        return;
    string_vertices[num_string_vertices++] = {x, y, 0.0f, 1.0f, colour, u, v};
}

// Appends the two triangles of character c with its top-left at pen.
void char_polygon(dword id, vector2d pen, char c) {
    if (!ec_assert(c >= 0))
        return;
    if (c < 33 || c == 127)
        return;
    const glyph_uv &g = glyph_uvs[c - 32];
    const d3dui_string &s = d3dui_strings[id];
    float size = (float)(font_cell * s.scale);
    float x = pen.x, y = pen.y;
    set_d3dui_vertex(x, y, s.colour, g.left, g.top);
    set_d3dui_vertex(x, y + size, s.colour, g.left, g.bottom);
    set_d3dui_vertex(x + size, y + size, s.colour, g.right, g.bottom);
    set_d3dui_vertex(x, y, s.colour, g.left, g.top);
    set_d3dui_vertex(x + size, y + size, s.colour, g.right, g.bottom);
    set_d3dui_vertex(x + size, y, s.colour, g.right, g.top);
}

bool string_id_in_range(long long string_id) { return ec_assert(string_id >= 0 && string_id < max_d3dui_strings); }

bool string_id_ok(dword string_id) {
    return ec_assert(string_id != invalid_id) && string_id_in_range(string_id) &&
           ec_assert(d3dui_strings[string_id].vertexbuffer);
}

int next_power_of_two(int n) {
    int p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

// Set when a string is made, changed, shown, hidden or freed: the next frame differs.
bool strings_changed = true;

} // namespace

void d3dui_font_init() {
    if (!ec_assert(d3dui_font_texture == NULL) || !ec_assert_text(d3d_device_exists(), "d3d_device"))
        return;
    int image_width = 0, image_height = 0;
    u32 *image = d3d_kzg_to_new_buffer(asset_c64_font, &image_width, &image_height);
    if (!image)
        return;
    // Power-of-two texture sizes keep the renderer's sampling exact; the image sits top-left.
    const std::size_t width = (std::size_t)next_power_of_two(image_width);
    const int tex_height = next_power_of_two(image_height);
    d3dui_font_texture = platform_texture_create((int)width, tex_height, true);
    if (!d3dui_font_texture) {
        d3d_check(d3derr_invalidcall);
        zel_free(image);
        return;
    }
    int pitch = 0;
    u32 *bits = platform_texture_lock(d3dui_font_texture, &pitch);
    if (!bits ||
        !ec_assert_text((std::size_t)pitch == width * sizeof(dword), "locked_data.Pitch == width * sizeof(dword)")) {
        // Nothing half-made stays behind.
        platform_texture_unlock(d3dui_font_texture);
        platform_texture_destroy(d3dui_font_texture);
        d3dui_font_texture = NULL;
        zel_free(image);
        return;
    }
    platform_copy_rows(bits, (std::size_t)pitch, image, (std::size_t)image_width, image_width, image_height);
    platform_texture_unlock(d3dui_font_texture);
    zel_free(image);

    // Cell k of the 8 x 8 grid holds character 33 + k, rows of cells read left to right.
    int columns = image_width / font_cell;
    if (columns < 1)
        columns = 1;
    float cell_u = (float)font_cell / (float)width;
    float cell_v = (float)font_cell / (float)tex_height;
    for (int c = 33; c <= 127; ++c) {
        int k = c - 33;
        glyph_uv &g = glyph_uvs[c - 32];
        g.left = (float)(k % columns) * cell_u;
        g.top = (float)(k / columns) * cell_v;
        g.right = g.left + cell_u;
        g.bottom = g.top + cell_v;
    }
}

void d3dui_font_free() {
    if (!ec_assert(d3dui_font_texture))
        return;
    platform_texture_destroy(d3dui_font_texture);
    d3dui_font_texture = NULL;
    for (dword id = 0; id < (dword)max_d3dui_strings; ++id)
        if (d3dui_strings[id].vertexbuffer)
            d3dui_string_free(id);
    ec_assert(num_d3dui_strings == 0);
}

bool d3dui_font_prepare(bool) {
    bool changed = strings_changed;
    strings_changed = false;
    return changed;
}

void d3dui_font_render_strings() {
    if (!ec_assert_text(d3d_device_exists(), "d3d_device") || !d3dui_font_texture)
        return;
    // Positions are in client pixels from the picture's top-left corner.
    int out_w = 0, out_h = 0;
    platform_renderer_output_size(&out_w, &out_h);
    picture_rect picture = d3d_picture_rect(out_w, out_h);
    for (const d3dui_string &s : d3dui_strings) {
        if (!s.vertexbuffer || !s.visible || s.num_vertices == 0)
            continue;
        // Colour and alpha come from the font texture alone.
        for (int i = 0; i < s.num_vertices; ++i) {
            const d3dui_vertex &v = s.vertexbuffer[i];
            draw_vertices[i] = {v.x + (float)picture.x, v.y + (float)picture.y, 0xFFFFFFFFu, v.u, v.v};
        }
        if (!platform_render_geometry(d3dui_font_texture, draw_vertices, s.num_primitives * 3))
            d3d_check(d3derr_invalidcall);
    }
}

dword d3dui_string_new(int x, int y, const safestring *text, u32 colour, int scale) {
    if (!ec_assert(num_d3dui_strings < max_d3dui_strings) || !ec_assert_text(d3d_device_exists(), "d3d_device"))
        return invalid_id;
    dword index = 0;
    while (index < (dword)max_d3dui_strings && d3dui_strings[index].vertexbuffer)
        ++index;
    if (!ec_assert(index < max_d3dui_strings))
        return invalid_id;
    d3dui_strings[index].vertexbuffer =
        (d3dui_vertex *)ZEL_MALLOC(sizeof(d3dui_vertex) * max_string_vertices, "d3dui_string");
    if (!ec_assert(d3dui_strings[index].vertexbuffer))
        return invalid_id;
    d3dui_string &s = d3dui_strings[index];
    s.visible = true;
    s.position = {(float)x, (float)y};
    s.colour = colour;
    s.scale = scale;
    s.num_vertices = 0;
    s.num_primitives = 0;
    d3dui_string_update(index, text);
    num_d3dui_strings += 1;
    return index;
}

void d3dui_string_update(dword string_id, const safestring *text) {
    if (!string_id_ok(string_id))
        return;
    d3dui_string &s = d3dui_strings[string_id];
    strings_changed = true;
    num_string_vertices = 0;
    vector2d pen = s.position;
    int length = text ? safestring_length(text) : 0;
    for (int i = 0; i < length; ++i) {
        char c = safestring_get_char(text, i);
        char_polygon(string_id, pen, c);
        pen.x += (float)(s.scale * kern_width(c));
    }
    s.num_vertices = num_string_vertices;
    s.num_primitives = num_string_vertices / 3;
    std::memcpy(s.vertexbuffer, string_vertices, sizeof(d3dui_vertex) * (std::size_t)num_string_vertices);
}

void d3dui_string_free(dword string_id) {
    if (!string_id_ok(string_id))
        return;
    d3dui_string &s = d3dui_strings[string_id];
    strings_changed = true;
    zel_free(s.vertexbuffer);
    s.vertexbuffer = NULL;
    s.num_vertices = 0;
    s.num_primitives = 0;
    s.visible = false;
    num_d3dui_strings -= 1;
}

void d3dui_string_set_visible(dword string_id, bool visible) {
    if (string_id_ok(string_id) && d3dui_strings[string_id].visible != visible) {
        d3dui_strings[string_id].visible = visible;
        strings_changed = true;
    }
}

int d3dui_string_num_vertices(dword string_id) {
    if (string_id >= (dword)max_d3dui_strings || !d3dui_strings[string_id].vertexbuffer)
        return -1;
    return d3dui_strings[string_id].num_vertices;
}

int d3dui_string_num_primitives(dword string_id) {
    if (string_id >= (dword)max_d3dui_strings || !d3dui_strings[string_id].vertexbuffer)
        return -1;
    return d3dui_strings[string_id].num_primitives;
}

bool d3dui_string_vertex_position(dword string_id, int index, float *x, float *y) {
    if (d3dui_string_num_vertices(string_id) <= index || index < 0)
        return false;
    *x = d3dui_strings[string_id].vertexbuffer[index].x;
    *y = d3dui_strings[string_id].vertexbuffer[index].y;
    return true;
}
