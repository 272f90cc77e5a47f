// d3d_gfx2d.h -- the software framebuffer, its primitives, bitmap-font text, background layers
#pragma once

#include "engine/ec_strings.h"
#include "engine/ec_types.h"

struct kzb_image_data;

// Everything the game composes is laid out in these framebuffer pixels and
// stretched as one picture to the window's client area.
constexpr int screen_width = 1280, screen_height = 720;
constexpr int max_background_layers = 8;

// The device-bound entry points (called by d3d_main in this order, after the device
// exists and before it goes).
// Makes the framebuffer, its texture and the empty layer table; loads the bitmap font.
void d3d_gfx2d_init();
// Composes the picture on the CPU into its texture: the layers in slot order over
// opaque black, each by its own alpha, then the framebuffer, darkened by the
// brightness, by its own alpha. Only rows that changed since the last composition
// are composed, unless whole. False when nothing changed (or after an assertion or
// a failed lock).
bool d3d_gfx2d_upload(bool whole = false);
// The device's prepare step: d3d_gfx2d_upload.
bool d3d_gfx2d_prepare(bool whole);
// Tests: compose with the portable row composer (true) or the widest this processor runs.
void gfx2d_compose_portable_for_test(bool portable);
// Draws the composed picture as one opaque quad over its rectangle of the client area.
void d3d_gfx2d_render();
// Frees the framebuffer, its texture, the font and every remaining layer.
void d3d_gfx2d_free();

// The 1280x720 framebuffer, row stride 1280 (null outside init / free). Owned here.
// Writes through it may go anywhere until the next gfx2d_fill_screen: the whole picture
// is then compared and cleared again. Keep no pointer across a clear.
u32 *gfx2d_screen_buffer();
// The same, for writing only inside x0..x1 x y0..y1 (inclusive) until the next clear:
// only that rectangle counts as drawn on.
u32 *gfx2d_screen_buffer_rect(int x0, int y0, int x1, int y1);
// Fills all 1280x720 words with colour (screens start each frame with it).
void gfx2d_fill_screen(u32 colour);

// Fills the scale x scale block whose top-left is (x, y), clipped; scale < 1 asserts.
void gfx2d_draw_pixel(int x, int y, u32 colour, int scale);
// Fills pixels x0..x1 of row y (nothing when x0 > x1), clipped.
void gfx2d_draw_hline(int x0, int x1, int y, u32 colour);
// Fills pixels y0..y1 of column x (nothing when y0 > y1), clipped.
void gfx2d_draw_vline(int x, int y0, int y1, u32 colour);
// Draws count vertical lines y0..y1 at x0, x0 + step, ...: the same pixels as as many
// gfx2d_draw_vline calls, written row by row.
void gfx2d_draw_vlines(int x0, int step, int count, int y0, int y1, u32 colour);
// Draws an opaque black Bresenham line, both ends included, clipped point by point.
void gfx2d_draw_line(int x0, int y0, int x1, int y1);
// Fills x0..x1 x y0..y1 (edges included) with opaque black, clipped.
void gfx2d_fill_rect(int x0, int y0, int x1, int y1);
// Mixes colour into x0..x1 x y0..y1 (edges included, clipped) by alpha / 256; the pixels
// come out opaque.
void gfx2d_tint_rect(int x0, int y0, int x1, int y1, u32 colour, u32 alpha);
// A frame of thickness pixels inside x, y .. x + w, y + h (edges included), clipped.
void gfx2d_draw_frame(int x, int y, int w, int h, int thickness, u32 colour);

// A character's advance from a table of characters 32..126: 0 for control codes
// and 127, -1 (after "in >= 0") for codes 128..255. Both fonts look up this way.
int font_kern_lookup(const u8 (&widths)[95], char c);
// Advance of c in unscaled pixels of the framebuffer's font.
int font_kern_width(char c);
// Draws c with its top-left at (x, y) in colour; returns its advance in framebuffer pixels.
int gfx2d_draw_char(int x, int y, char c, u32 colour, int scale);
// Draws s on one line from (x, y); returns the total advance (0 after an assertion).
int gfx2d_draw_string(int x, int y, const safestring *s, u32 colour, int scale);
// The advance gfx2d_draw_string would return, without drawing; -1 after an assertion.
int gfx2d_strlen(const safestring *s, int scale);

// Makes a background layer from a copy of image, drawn at the framebuffer's top-left
// at the picture's size in framebuffer pixels. Returns its slot id (0..7), or
// invalid_id after an assertion. The image may be freed at once.
dword gfx2d_background_layer_add(const kzb_image_data *image);
// A background layer of the framebuffer's size shading from top (red, green, blue in 0..1)
// down by drop at the bottom, row by row (the boards' pale grounds); info names it for
// the memory system. Its id, or invalid_id.
dword gfx2d_gradient_layer_add(const float (&top)[3], const float (&drop)[3], const char *info);
// Releases a layer; a bad or free id raises an assertion and changes nothing.
void gfx2d_background_layer_delete(dword id);
// Sets the framebuffer picture's brightness (0..100) from the next frame on; over
// 100 raises "percent <= 100" and keeps the previous one.
void gfx2d_fullscreen_brightness(u32 percent);
