// d3d_font.h -- overlay strings drawn over the frame
#pragma once

#include "engine/ec_strings.h"
#include "engine/ec_types.h"

constexpr int max_d3dui_strings = 32;
constexpr int max_string_vertices = 1536;

// The device-bound entry points (called by d3d_main after the framebuffer's).
// Builds the font texture from "ui_gfx\c64_font.kzg" and the glyph table.
void d3dui_font_init();
// Releases the font texture and every overlay string still held.
void d3dui_font_free();
// Draws every visible string, colour and alpha from the font texture alone,
// at pixel-exact positions of the client area.
void d3dui_font_render_strings();
// The device's prepare step: true when a string was made, changed, shown, hidden or
// freed since the last call.
bool d3dui_font_prepare(bool whole);

// A new visible overlay string at (x, y) in client pixels, glyphs 8 * scale square.
// Returns its id (0..31), or invalid_id after an assertion.
dword d3dui_string_new(int x, int y, const safestring *text, u32 colour, int scale);
// Replaces the text of a string, keeping position, colour and scale.
void d3dui_string_update(dword string_id, const safestring *text);
// Releases a string's slot.
void d3dui_string_free(dword string_id);
void d3dui_string_set_visible(dword string_id, bool visible);
// Tests: vertices and triangles of a string after its last update (-1 for a free slot).
int d3dui_string_num_vertices(dword string_id);
int d3dui_string_num_primitives(dword string_id);
// Tests: x, y of vertex index of a string's last update; false when out of range.
bool d3dui_string_vertex_position(dword string_id, int index, float *x, float *y);
