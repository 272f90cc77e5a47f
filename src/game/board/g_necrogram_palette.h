// g_necrogram_palette.h -- the board's colours, each saying one thing, in the usual and the high-contrast palette
#pragma once

#include "engine/ec_types.h"

// Every colour the board draws with. The usual palette keeps the sheet's tiles for the
// cells (their colours are given here as the tiles show them); the high-contrast palette
// draws cells in its own flat colours.
struct necrogram_palette {
    bool tiles;                // cells from the sheet's tiles (else flat colours)
    u32 ground[2];             // an empty cell, by (row + column) parity
    u32 fill;                  // a filled cell
    u32 cross, cross_edge;     // a cross and the thin edge that keeps it apart from any ground
    u32 strip[2], strip_hover; // the clue strips by parity, and the hovered line's
    u32 clue_live, clue_done;  // a clue number still to place, and one finished
    u32 grid, guide;           // the lines between cells, and every fifth
    u32 wrong, wrong_ink;      // a wrong mark's outline and warning sign, and the sign's "!"
    u32 cursor, cursor_edge;   // the cursor's ring, and its inner edge (one of the two shows on any cell)
    u32 hint;                  // the hint's line and cells
};

// The usual palette: the sheet's slate cells and ink-dark fills, strips dark enough for white
// numbers, pale calm crosses, an amber warning sign, a white cursor with a black edge.
inline constexpr necrogram_palette necrogram_palette_usual = {
    .tiles = true,
    .ground = {0xFF5B6888, 0xFF4F5B7B},
    .fill = 0xFF201D3F,
    .cross = 0xFFC4C9DC,
    .cross_edge = 0xFF2A2E44,
    .strip = {0xFF3A4462, 0xFF2B2848},
    .strip_hover = 0xFF7A3A12,
    .clue_live = 0xFFFFFFFF,
    .clue_done = 0xFFA8A8A8,
    .grid = 0xFF808080,
    .guide = 0xFFFFE070,
    .wrong = 0xFFFF8A1E,
    .wrong_ink = 0xFF000000,
    .cursor = 0xFFFFFFFF,
    .cursor_edge = 0xFF000000,
    .hint = 0xFF00B4FF,
};

// High contrast: white cells, black fills and strips, blue crosses, a red warning sign,
// an orange cursor.
inline constexpr necrogram_palette necrogram_palette_high_contrast = {
    .tiles = false,
    .ground = {0xFFFFFFFF, 0xFFEBEBEB},
    .fill = 0xFF000000,
    .cross = 0xFF0050D0,
    .cross_edge = 0xFFFFFFFF,
    .strip = {0xFF000000, 0xFF202020},
    .strip_hover = 0xFF00306E,
    .clue_live = 0xFFFFFFFF,
    .clue_done = 0xFF9A9A9A,
    .grid = 0xFF9A9A9A,
    .guide = 0xFF000000,
    .wrong = 0xFFE00000,
    .wrong_ink = 0xFFFFFFFF,
    .cursor = 0xFFFF8C00,
    .cursor_edge = 0xFF000000,
    .hint = 0xFF00A0FF,
};

// The palette the player chose (the high_contrast setting).
const necrogram_palette &necrogram_palette_now();

// Colour arithmetic for the palettes' checks, on 0xAARRGGBB colours (alpha ignored).
// The relative luminance of sRGB (0..1), and the contrast ratio of two colours (1..21).
double necrogram_luminance(u32 colour);
double necrogram_contrast(u32 a, u32 b);
// A colour as a viewer without one kind of cone sees it (the full-severity simulation of
// Machado, Oliveira and Fernandes, 2009, in linear light).
enum necrogram_vision {
    necrogram_vision_normal,
    necrogram_vision_protanopia,
    necrogram_vision_deuteranopia,
    necrogram_vision_tritanopia
};
u32 necrogram_simulate(u32 colour, necrogram_vision vision);
// The CIE 1976 colour difference of two colours (CIELAB, D65): about 2.3 is just noticeable.
double necrogram_colour_difference(u32 a, u32 b);
