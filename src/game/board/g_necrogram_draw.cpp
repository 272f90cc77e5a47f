// g_necrogram_draw.cpp -- the board itself drawn: clue strips and numbers, cells and marks, its little picture, the
// cursor
#include "game/board/g_necrogram_draw.h"

#include "engine/ec_settings.h"
#include "game/board/g_necrogram_layout.h"
#include "game/board/g_necrogram_palette.h"
#include "graphics/d3d_font.h"
#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr u32 colour_black = 0xFF000000;

// A clue in its place (x, y: the top-left of a digit at the layout's clue scale), its number
// centred on the digit's place, lowered to the middle of the place when drawn smaller.
void draw_clue(const necrogram_layout &l, int x, int y, int value, u32 colour, bool column) {
    const int shadow_x = 1, shadow_y = 1; // one pixel right and down
    const necrogram_clue_text text = necrogram_clue_text_for(l, value, column);
    if (value < 10) {
        const char c = (char)('0' + value);
        gfx2d_draw_char(x + shadow_x, y + shadow_y, c, colour_black, text.scale);
        gfx2d_draw_char(x, y, c, colour, text.scale);
        return;
    }
    safestring number;
    safestring_create(&number, number_text_format(value));
    x += (font_kern_width('0') * l.clue_scale - text.width) / 2;
    y += 4 * (l.clue_scale - text.scale);
    const int scale = text.scale;
    gfx2d_draw_string(x + shadow_x, y + shadow_y, &number, colour_black, scale);
    gfx2d_draw_string(x, y, &number, colour, scale);
}

// The finished numbers of every line (necrogram_row_finished and _column_finished), worked
// out again only when the marks or the clues change: the board is drawn every frame.
struct finished_lines {
    s32 width = -1, height = -1;
    std::vector<pz_clue> rows, columns;
    u8 marks[max_necrogram_cells];
    u32 row[max_necrogram_size], column[max_necrogram_size];
} finished;

void update_finished(const necrogram_board *b) {
    const size_t cells = (size_t)(b->width * b->height);
    if (finished.width == b->width && finished.height == b->height &&
        std::memcmp(finished.marks, b->marks, cells) == 0 && finished.rows == b->puzzle.rows &&
        finished.columns == b->puzzle.columns)
        return;
    finished.width = b->width;
    finished.height = b->height;
    finished.rows = b->puzzle.rows;
    finished.columns = b->puzzle.columns;
    std::memcpy(finished.marks, b->marks, cells);
    for (int r = 0; r < b->height; ++r)
        finished.row[r] = necrogram_row_finished(b, r);
    for (int c = 0; c < b->width; ++c)
        finished.column[c] = necrogram_column_finished(b, c);
}

// A clue number's look: live, or finished (its line satisfied, or its run placed by the marks)
// while clue marks are on.
bool clue_done(bool satisfied, u32 finished_bits, int i) {
    return settings_get().clue_marks && (satisfied || (finished_bits >> i & 1));
}

// A cross of the palette at a cell size: two strokes corner to corner inside a margin, with a
// one-pixel edge; 0 where the cell shows through. Made once a size and palette.
struct cross_stamp {
    int size = 0;
    const necrogram_palette *palette = nullptr;
    std::vector<u32> pixels;
} cross;

const std::vector<u32> &cross_pixels(int s, const necrogram_palette &pal) {
    if (cross.size == s && cross.palette == &pal)
        return cross.pixels;
    cross.size = s;
    cross.palette = &pal;
    cross.pixels.assign((size_t)(s * s), 0);
    const double half = std::max(0.7, s / 20.0); // half a stroke's width
    const int margin = std::max(3, s / 4);
    for (int j = 1; j < s; ++j)
        for (int i = 1; i < s; ++i) {
            const double x = i + 0.5 - s / 2.0, y = j + 0.5 - s / 2.0;
            const double d = std::min(std::fabs(x - y), std::fabs(x + y)) / std::sqrt(2.0);
            const double reach = std::max(std::fabs(x), std::fabs(y));
            if (reach > s / 2.0 - margin + 1 || d > half + 1)
                continue;
            const bool core = reach <= s / 2.0 - margin && d <= half;
            cross.pixels[(size_t)(j * s + i)] = core ? pal.cross : pal.cross_edge;
        }
    return cross.pixels;
}

void draw_cross(int x, int y, int s, const necrogram_palette &pal) {
    const std::vector<u32> &stamp = cross_pixels(s, pal);
    u32 *fb = gfx2d_screen_buffer_rect(std::max(x, 0), std::max(y, 0), std::min(x + s, screen_width) - 1,
                                       std::min(y + s, screen_height) - 1);
    if (!fb || x < 0 || y < 0 || x + s > screen_width || y + s > screen_height)
        return;
    for (int j = 0; j < s; ++j)
        for (int i = 0; i < s; ++i)
            if (const u32 p = stamp[(size_t)(j * s + i)])
                fb[(size_t)(y + j) * screen_width + x + i] = p;
}

// A finished number is struck through as well as dimmed, told apart without its colour: a
// slash from below its left to above its right.
void strike_clue(const necrogram_layout &l, int x, int y, int value, u32 colour, bool column) {
    const necrogram_clue_text text = necrogram_clue_text_for(l, value, column);
    int left = x, top = y;
    if (value >= 10) {
        left += (font_kern_width('0') * l.clue_scale - text.width) / 2;
        top += 4 * (l.clue_scale - text.scale);
    }
    const int x0 = left - 2, x1 = left + text.width + 1, y0 = top + 7 * text.scale + 1, y1 = top - 2;
    const int thickness = text.scale >= 2 ? 2 : 1;
    for (int i = 0; i <= x1 - x0; ++i) {
        const int py = y0 + (y1 - y0) * i / (x1 - x0);
        gfx2d_draw_vline(x0 + i, py, py + thickness - 1, colour);
    }
}

// The little picture of the player's fills in the corner between the clue strips, when the
// corner has room for a pixel a cell: a live view of the picture as it grows.
void draw_preview(const necrogram_board *b, const necrogram_layout &l, const necrogram_palette &pal) {
    const int room_w = l.grid_x - l.strip_left - 12, room_h = l.grid_y - l.strip_top - 12;
    const int p = std::min({room_w / b->width, room_h / b->height, 4});
    if (p < 1)
        return;
    const int pw = p * b->width, ph = p * b->height;
    const int x = l.grid_x - 6 - pw, y = l.grid_y - 6 - ph;
    necrogram_fill(x - 2, y - 2, pw + 4, ph + 4, 0xFF000000);
    necrogram_fill(x - 1, y - 1, pw + 2, ph + 2, 0xFFF4F1E4);
    for (int r = 0; r < b->height; ++r)
        for (int c = 0; c < b->width; ++c)
            if (b->marks[necrogram_cell(b, r, c)] == mark_full)
                necrogram_fill(x + p * c, y + p * r, p, p, pal.tiles ? pal.fill : 0xFF000000);
}

} // namespace

void necrogram_draw_board(const necrogram_board *b, kzg_sprite_data *sheet, bool captured) {
    const int w = b->width, h = b->height;
    const necrogram_layout l = necrogram_layout_for(b);
    const necrogram_palette &pal = necrogram_palette_now();
    const int s = l.cell;
    const int gx = l.grid_x, gy = l.grid_y, right = gx + l.grid_width, bottom = gy + l.grid_height;
    update_finished(b);

    // The strips: the hovered row's and column's marked, the others by their parity.
    u32 row_colours[max_necrogram_size], column_colours[max_necrogram_size];
    for (int r = 0; r < h; ++r)
        row_colours[r] = !captured && r == b->hover_row ? pal.strip_hover : pal.strip[r & 1];
    for (int c = 0; c < w; ++c)
        column_colours[c] = !captured && c == b->hover_column ? pal.strip_hover : pal.strip[c & 1];
    necrogram_draw_strip_band(l.strip_left, gy, gx - l.strip_left, l.grid_height, s, row_colours, true);
    necrogram_draw_strip_band(gx, l.strip_top, l.grid_width, gy - l.strip_top, s, column_colours, false);

    // Row clues, the lists ending a gap before the grid.
    for (int r = 0; r < h; ++r) {
        const int y = gy + s * r;
        const pz_clue &clue = b->puzzle.rows[(size_t)r];
        const int count = necrogram_clue_count(clue);
        const bool satisfied = necrogram_row_satisfied(b, r);
        // The story's lists at their pitch, a digit's place a row's sixth pixel; a fitted
        // layout's by their widths, each number from its place's left, in the row's middle.
        const int d = l.clue_scale, digit = font_kern_width('0') * d;
        int x = gx;
        for (int i = count - 1; i >= 0; --i) {
            const int value = necrogram_clue_at(clue, i);
            x -= necrogram_row_clue_advance(l, value);
            const int centring = l.clue_pitch > 0 ? 0 : (digit - necrogram_clue_text_for(l, value, false).width) / 2;
            const int cx = x - centring, cy = y + (l.clue_pitch > 0 ? 6 : (s - 7 * d) / 2);
            const bool done = clue_done(satisfied, finished.row[r], i);
            draw_clue(l, cx, cy, value, done ? pal.clue_done : pal.clue_live, false);
            if (done)
                strike_clue(l, cx, cy, value, pal.clue_done, false);
        }
    }
    // Column clues: the story's a column's seventh pixel on; a fitted layout's in the column's middle.
    const int rise = l.column_rise, digit = font_kern_width('0') * l.clue_scale;
    const int column_x = l.clue_pitch > 0 ? 7 : (s - digit + l.clue_scale) / 2;
    for (int c = 0; c < w; ++c) {
        const int x = gx + s * c;
        const pz_clue &clue = b->puzzle.columns[(size_t)c];
        const int count = necrogram_clue_count(clue);
        const bool satisfied = necrogram_column_satisfied(b, c);
        for (int i = 0; i < count; ++i) {
            const int value = necrogram_clue_at(clue, i), cx = x + column_x, cy = gy - rise * count + rise * i;
            const bool done = clue_done(satisfied, finished.column[c], i);
            draw_clue(l, cx, cy, value, done ? pal.clue_done : pal.clue_live, true);
            if (done)
                strike_clue(l, cx, cy, value, pal.clue_done, true);
        }
    }
    draw_preview(b, l, pal);
    // Cells: the checkerboard, then the marks on top. A captured board shows its picture:
    // one plain ground, the filled cells without lines between them, no crosses.
    if (pal.tiles)
        necrogram_draw_ground(sheet, l, w, h, captured);
    else
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                necrogram_fill(gx + s * c, gy + s * r, s, s, pal.ground[captured ? 0 : (r + c) & 1]);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            const int x = gx + s * c, y = gy + s * r;
            const u8 mark = necrogram_mark_at(b, r, c);
            if (mark == mark_full && pal.tiles)
                necrogram_draw_tile(sheet, x, y, necrogram_tile_full, s);
            else if (mark == mark_full)
                necrogram_fill(x, y, s, s, pal.fill);
            else if (mark == mark_cross && !captured)
                draw_cross(x, y, s, pal);
        }
    }
    // Grid lines, then every fifth boundary inside the grid, then the double border.
    if (!captured) {
        for (int i = 0; i < h; ++i)
            gfx2d_draw_hline(gx, right, gy + s * i, pal.grid);
        gfx2d_draw_vlines(gx, s, w, gy, bottom, pal.grid);
        // On cells smaller than a tile the guides are two pixels wide, to stand out as much.
        const int guide = s < necrogram_cell_size ? 2 : 1;
        for (int k = 1; 5 * k < h; ++k)
            for (int i = 0; i < guide; ++i)
                gfx2d_draw_hline(gx, right, gy + 5 * s * k - i, pal.guide);
        if (w > 5)
            for (int i = 0; i < guide; ++i)
                gfx2d_draw_vlines(gx + 5 * s - i, 5 * s, (w - 1) / 5, gy, bottom, pal.guide);
    }
    gfx2d_draw_hline(gx, right, gy, colour_black);
    gfx2d_draw_hline(gx, right, bottom, colour_black);
    gfx2d_draw_vline(gx, gy, bottom, colour_black);
    gfx2d_draw_vline(right, gy, bottom, colour_black);
    gfx2d_draw_hline(gx - 1, right + 1, gy - 1, colour_black);
    gfx2d_draw_hline(gx - 1, right + 1, bottom + 1, colour_black);
    gfx2d_draw_vline(gx - 1, gy - 1, bottom + 1, colour_black);
    gfx2d_draw_vline(right + 1, gy - 1, bottom + 1, colour_black);
}

void necrogram_draw_cursor(const necrogram_board *b) {
    if (b->hover_column < 0 || b->hover_row < 0 || b->hover_column >= b->width || b->hover_row >= b->height)
        return;
    const necrogram_layout l = necrogram_layout_for(b);
    const necrogram_palette &pal = necrogram_palette_now();
    const int s = l.cell, x = l.grid_x + s * b->hover_column, y = l.grid_y + s * b->hover_row;
    const int ring = s >= 24 ? 2 : 1;
    for (int i = 0; i <= ring; ++i) {
        const u32 colour = i < ring ? pal.cursor : pal.cursor_edge;
        gfx2d_draw_hline(x + i, x + s - i, y + i, colour);
        gfx2d_draw_hline(x + i, x + s - i, y + s - i, colour);
        gfx2d_draw_vline(x + i, y + i, y + s - i, colour);
        gfx2d_draw_vline(x + s - i, y + i, y + s - i, colour);
    }
}
