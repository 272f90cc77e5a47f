// g_necrogram_layout.cpp -- where a board of any shape sits on the screen, and its tiles at any cell size
#include "game/g_necrogram.h"

#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"

#include <algorithm>
#include <vector>

namespace {

// Room between the longest clue list and the outer end of its strip, and around the board.
constexpr int strip_pad = 8;
constexpr int margin = 4;
// The lowest row the board may reach: the hint's text and the captured strip lie below.
constexpr int board_bottom = necrogram_strip_top - 2;

// The advance of a row clue: its place (one digit at scale 2; the number at scale 1) and a gap.
int row_clue_advance(int value, int scale) { return necrogram_clue_place(value, scale) + 4; }

// The clue bands a layout of cell size s needs for the board's lists.
void clue_bands(const necrogram_board *b, int scale, int *row_band, int *column_band) {
    *row_band = *column_band = 0;
    for (int r = 0; r < b->height; ++r) {
        int w = 0;
        for (int i = 0; i < b->row_clue_count[r]; ++i)
            w += row_clue_advance(b->row_clues[r][i], scale);
        *row_band = std::max(*row_band, w);
    }
    int most = 0;
    for (int c = 0; c < b->width; ++c)
        most = std::max(most, b->column_clue_count[c]);
    *column_band = most * necrogram_clue_rise(scale);
}

} // namespace

int necrogram_clue_place(int value, int scale) {
    const int digits = value >= 10 ? 2 : 1;
    return scale >= 2 ? 16 : 8 * digits; // 10 and more at scale 2 are drawn at scale 1, as wide as a digit
}

int necrogram_clue_rise(int scale) { return scale >= 2 ? necrogram_clue_pitch : 12; }

bool necrogram_story_shape(int width, int height) {
    return width == height && width >= 1 && width <= necrogram_story_max;
}

necrogram_layout necrogram_story_layout(int size) {
    necrogram_layout l;
    l.cell = necrogram_cell_size;
    l.clue_scale = 2;
    const int band = (size / 2) * necrogram_clue_pitch;
    const int total = size * necrogram_cell_size + band;
    const int left = (necrogram_area_width - total) / 2, top = (necrogram_area_height - total) / 2;
    // A list longer than size / 2 reaches past the band; the strips start a tile further out.
    l.strip_left = left - necrogram_cell_size;
    l.strip_top = top - necrogram_cell_size;
    l.grid_x = left + band;
    l.grid_y = top + band;
    l.grid_width = l.grid_height = size * necrogram_cell_size;
    return l;
}

necrogram_layout necrogram_layout_for(const necrogram_board *b) {
    if (necrogram_story_shape(b->width, b->height))
        return necrogram_story_layout(b->width);
    // The largest cell (at most a tile's 32 pixels) at which the clue bands and the grid fit.
    necrogram_layout l;
    int row_band = 0, column_band = 0, block_w = 0, block_h = 0;
    for (int s = necrogram_cell_size; s >= necrogram_min_cell; --s) {
        l.cell = s;
        l.clue_scale = s >= necrogram_big_clue_cell ? 2 : 1;
        clue_bands(b, l.clue_scale, &row_band, &column_band);
        block_w = row_band + strip_pad + b->width * s + 2;
        block_h = column_band + strip_pad + b->height * s + 2;
        if (block_w <= necrogram_area_width - 2 * margin && block_h <= board_bottom - margin)
            break;
    }
    l.strip_left = std::max(margin, (necrogram_area_width - block_w) / 2);
    l.strip_top = std::max(margin, margin + (board_bottom - margin - block_h) / 2);
    l.grid_x = l.strip_left + row_band + strip_pad;
    l.grid_y = l.strip_top + column_band + strip_pad;
    l.grid_width = b->width * l.cell;
    l.grid_height = b->height * l.cell;
    return l;
}

// The tiles at a cell size under a tile's: each 32 x 32 tile shrunk by averaging the source
// pixels that fall in each target pixel; a target pixel mostly clear stays clear.
namespace {

struct shrunk_tiles {
    const u8 *sheet = nullptr; // the sheet they were made from
    int size = 0;
    std::vector<u32> pixels[necrogram_num_tiles]; // size x size each, 0: clear
    bool opaque[necrogram_num_tiles] = {};
} shrunk;

void shrink_tiles(kzg_sprite_data *sheet, int size) {
    constexpr int t = necrogram_cell_size;
    shrunk.sheet = sheet->data;
    shrunk.size = size;
    std::vector<u32> source((size_t)(t * t));
    for (int tile = 0; tile < necrogram_num_tiles; ++tile) {
        std::vector<u32> &out = shrunk.pixels[tile];
        out.assign((size_t)(size * size), 0);
        shrunk.opaque[tile] = false;
        if (tile >= sheet->num_sprites)
            continue;
        std::fill(source.begin(), source.end(), 0u);
        d3d_kzg_buffer_data buffer = {source.data(), t, t, 0, 0, t, t};
        d3d_kzg_decompress_to_buffer_location(sheet, 0, 0, tile, 1, &buffer);
        // Sums by target pixel: each source pixel's centre falls in one target pixel.
        std::vector<u32> sum[4], count((size_t)(size * size), 0), all((size_t)(size * size), 0);
        for (auto &v : sum)
            v.assign((size_t)(size * size), 0);
        for (int y = 0; y < t; ++y)
            for (int x = 0; x < t; ++x) {
                const size_t i = (size_t)(((2 * y + 1) * size / (2 * t)) * size + (2 * x + 1) * size / (2 * t));
                const u32 p = source[(size_t)(y * t + x)];
                ++all[i];
                if (!(p >> 24))
                    continue;
                ++count[i];
                for (int c = 0; c < 3; ++c)
                    sum[c][i] += (p >> (8 * c)) & 0xFF;
            }
        bool opaque = true;
        for (size_t i = 0; i < out.size(); ++i) {
            if (2 * count[i] < all[i] || count[i] == 0) {
                opaque = false;
                continue;
            }
            u32 p = 0xFF000000u;
            for (int c = 0; c < 3; ++c)
                p |= ((sum[c][i] + count[i] / 2) / count[i]) << (8 * c);
            out[i] = p;
        }
        shrunk.opaque[tile] = opaque;
    }
}

} // namespace

void necrogram_draw_tile(kzg_sprite_data *sheet, int x, int y, int tile, int size) {
    if (!sheet->data || tile < 0 || tile >= necrogram_num_tiles)
        return;
    if (size >= necrogram_cell_size) {
        gfx2d_draw_sprite(sheet, x, y, tile, 1);
        return;
    }
    if (shrunk.sheet != sheet->data || shrunk.size != size)
        shrink_tiles(sheet, size);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + size, screen_width) - 1, y1 = std::min(y + size, screen_height) - 1;
    if (x0 > x1 || y0 > y1)
        return;
    u32 *fb = gfx2d_screen_buffer_rect(x0, y0, x1, y1);
    if (!fb)
        return;
    const std::vector<u32> &pixels = shrunk.pixels[tile];
    for (int py = y0; py <= y1; ++py) {
        const u32 *src = pixels.data() + (size_t)((py - y) * size + (x0 - x));
        u32 *dst = fb + (size_t)py * screen_width + x0;
        if (shrunk.opaque[tile]) {
            std::copy(src, src + (x1 - x0 + 1), dst);
            continue;
        }
        for (int i = 0; i <= x1 - x0; ++i)
            if (src[i])
                dst[i] = src[i];
    }
}
