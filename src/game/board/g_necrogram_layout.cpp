// g_necrogram_layout.cpp -- where a board of any shape sits on the screen, and its tiles at any cell size
#include "game/board/g_necrogram_layout.h"

#include "graphics/d3d_gfx2d.h"
#include "graphics/d3d_kzg.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Room between the longest clue list and the outer end of its strip, and around the board.
constexpr int strip_pad = 8;
constexpr int margin = 4;
// The lowest row the board may reach: the hint's text and the captured strip lie below.
constexpr int board_bottom = necrogram_strip_top - 2;

// The clue bands the board's lists need at the layout's scales.
void clue_bands(const necrogram_board *b, const necrogram_layout &l, int *row_band, int *column_band) {
    *row_band = *column_band = 0;
    for (const pz_clue &clue : b->puzzle.rows) {
        int w = 0;
        for (int i = 0; i < necrogram_clue_count(clue); ++i)
            w += necrogram_row_clue_advance(l, necrogram_clue_at(clue, i));
        *row_band = std::max(*row_band, w);
    }
    int most = 0;
    for (const pz_clue &clue : b->puzzle.columns)
        most = std::max(most, necrogram_clue_count(clue));
    *column_band = most * l.column_rise;
}

} // namespace

necrogram_clue_text necrogram_clue_text_for(const necrogram_layout &l, int value, bool column) {
    // The number's advance at scale 1, digit by digit (clues are 0..32).
    int width = font_kern_width((char)('0' + value % 10));
    if (value >= 10)
        width += font_kern_width((char)('0' + value / 10 % 10));
    necrogram_clue_text t = {l.clue_scale, width * l.clue_scale};
    const int room = l.clue_pitch > 0 ? l.clue_pitch : column ? l.cell : 0;
    if (room > 0 && t.width > room - 2)
        t = {1, width};
    return t;
}

int necrogram_row_clue_advance(const necrogram_layout &l, int value) {
    if (l.clue_pitch > 0)
        return l.clue_pitch;
    return necrogram_clue_text_for(l, value, false).width + 5 * l.clue_scale; // clear of a one or two digits
}

bool necrogram_story_shape(int width, int height) {
    return width == height && width >= 1 && width <= necrogram_story_max;
}

necrogram_layout necrogram_story_layout(int size) {
    necrogram_layout l;
    l.cell = necrogram_cell_size;
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

namespace {

// The last board's shape and clues, and its layout: the screen asks every frame.
struct layout_cache {
    s32 width = -1, height = -1;
    bool story = false, steady = false;
    std::vector<pz_clue> rows, columns;
    necrogram_layout layout;
} cached;

bool cache_holds(const necrogram_board *b) {
    if (cached.width != b->width || cached.height != b->height || cached.story != b->story_layout ||
        cached.steady != b->steady_layout)
        return false;
    return b->steady_layout || (cached.rows == b->puzzle.rows && cached.columns == b->puzzle.columns);
}

// A board of the picture with every other cell filled: the most clues a line of its length holds.
std::unique_ptr<necrogram_board> most_clues(int width, int height) {
    std::vector<u8> cells((size_t)std::max(0, width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            cells[(size_t)(y * width + x)] = (x + y) % 2 == 0;
    auto b = std::make_unique<necrogram_board>();
    necrogram_load(b.get(), width, height, cells.data());
    return b;
}

// The largest cell (at most necrogram_max_cell) at which the clue bands and the grid fit.
necrogram_layout fit(const necrogram_board *b) {
    necrogram_layout l;
    int row_band = 0, column_band = 0, block_w = 0, block_h = 0;
    for (int s = necrogram_max_cell; s >= necrogram_min_cell; --s) {
        l.cell = s;
        // A row's clues follow their widths; a column's list steps by a glyph and a gap.
        l.clue_scale = s >= necrogram_big_clue_cell ? 2 : 1;
        l.clue_pitch = 0;
        l.column_rise = 8 * l.clue_scale + 2;
        clue_bands(b, l, &row_band, &column_band);
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

} // namespace

necrogram_layout necrogram_layout_for(const necrogram_board *b) {
    if (b->story_layout && necrogram_story_shape(b->width, b->height))
        return necrogram_story_layout(b->width);
    if (!cache_holds(b)) {
        cached.width = b->width;
        cached.height = b->height;
        cached.story = b->story_layout;
        cached.steady = b->steady_layout;
        cached.rows = b->puzzle.rows;
        cached.columns = b->puzzle.columns;
        if (b->steady_layout) {
            cached.layout = fit(most_clues(b->width, b->height).get());
        } else {
            cached.layout = fit(b);
        }
    }
    return cached.layout;
}

// The tiles at a cell size other than a tile's: each 32 x 32 tile shrunk by averaging the
// source pixels that fall in each target pixel (a target pixel mostly clear stays clear), or
// grown by taking the source pixel under each target pixel.
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
        if (size > t) {
            bool opaque = true;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const u32 p = source[(size_t)((y * t / size) * t + x * t / size)];
                    out[(size_t)(y * size + x)] = p >> 24 ? p | 0xFF000000u : 0;
                    opaque = opaque && (p >> 24);
                }
            shrunk.opaque[tile] = opaque;
            continue;
        }
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

namespace {

// The shrunk tiles for the sheet at size, made when they are not.
void have_shrunk(kzg_sprite_data *sheet, int size) {
    if (shrunk.sheet != sheet->data || shrunk.size != size)
        shrink_tiles(sheet, size);
}

// The part x0..x1 x y0..y1 (inclusive) of x, y, w x h inside the framebuffer, marked as
// drawn on; fb null when there is none.
struct screen_part {
    int x0, y0, x1, y1;
    u32 *fb;
};
screen_part on_screen(int x, int y, int w, int h) {
    screen_part p = {std::max(x, 0), std::max(y, 0), std::min(x + w, screen_width) - 1,
                     std::min(y + h, screen_height) - 1, nullptr};
    if (p.x0 <= p.x1 && p.y0 <= p.y1)
        p.fb = gfx2d_screen_buffer_rect(p.x0, p.y0, p.x1, p.y1);
    return p;
}

} // namespace

void necrogram_draw_ground(kzg_sprite_data *sheet, const necrogram_layout &l, int width, int height, bool plain) {
    const int s = l.cell;
    if (!sheet->data || width <= 0 || height <= 0)
        return;
    if (s == necrogram_cell_size) {
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
                gfx2d_draw_sprite(sheet, l.grid_x + s * c, l.grid_y + s * r,
                                  plain ? necrogram_tile_even : ((r + c) & 1) + necrogram_tile_even, 1);
        return;
    }
    have_shrunk(sheet, s);
    // The grid lies inside the framebuffer (the layout keeps it there): one rectangle, row by row.
    const screen_part p = on_screen(l.grid_x, l.grid_y, l.grid_width, l.grid_height);
    u32 *fb = p.fb;
    if (!fb || p.x0 != l.grid_x || p.y0 != l.grid_y || p.x1 + 1 != l.grid_x + l.grid_width ||
        p.y1 + 1 != l.grid_y + l.grid_height)
        return;
    for (int r = 0; r < height; ++r)
        for (int py = 0; py < s; ++py) {
            u32 *dst = fb + (size_t)(l.grid_y + s * r + py) * screen_width + l.grid_x;
            for (int c = 0; c < width; ++c, dst += s) {
                const int tile = plain ? necrogram_tile_even : ((r + c) & 1) + necrogram_tile_even;
                std::memcpy(dst, shrunk.pixels[tile].data() + (size_t)(py * s), (size_t)s * sizeof(u32));
            }
        }
}

void necrogram_fill(int x, int y, int w, int h, u32 colour) {
    const screen_part p = on_screen(x, y, w, h);
    if (!p.fb)
        return;
    for (int py = p.y0; py <= p.y1; ++py)
        std::fill_n(p.fb + (size_t)py * screen_width + p.x0, p.x1 - p.x0 + 1, colour);
}

void necrogram_draw_strip_band(int x, int y, int w, int h, int size, const u32 *colours, bool rows) {
    if (w <= 0 || h <= 0 || size <= 0)
        return;
    if (rows)
        for (int j = 0; j * size < h; ++j)
            necrogram_fill(x, y + size * j, w, std::min(size, h - size * j), colours[j]);
    else
        for (int i = 0; i * size < w; ++i)
            necrogram_fill(x + size * i, y, std::min(size, w - size * i), h, colours[i]);
}

void necrogram_draw_tile(kzg_sprite_data *sheet, int x, int y, int tile, int size) {
    if (!sheet->data || tile < 0 || tile >= necrogram_num_tiles)
        return;
    if (size == necrogram_cell_size) {
        gfx2d_draw_sprite(sheet, x, y, tile, 1);
        return;
    }
    have_shrunk(sheet, size);
    const screen_part p = on_screen(x, y, size, size);
    if (!p.fb)
        return;
    const std::vector<u32> &pixels = shrunk.pixels[tile];
    for (int py = p.y0; py <= p.y1; ++py) {
        const u32 *src = pixels.data() + (size_t)((py - y) * size + (p.x0 - x));
        u32 *dst = p.fb + (size_t)py * screen_width + p.x0;
        if (shrunk.opaque[tile]) {
            std::copy(src, src + (p.x1 - p.x0 + 1), dst);
            continue;
        }
        for (int i = 0; i <= p.x1 - p.x0; ++i)
            dst[i] = src[i] ? src[i] : dst[i];
    }
}
