// g_workshop_icons.cpp -- the Workshop's square buttons and the drawing helpers its screens share
#include "game/workshop/g_workshop_icons.h"

#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"
#include "ui/ec_ui.h"

#include <algorithm>
#include <string>

namespace {

// Each icon on 9 x 9 dots, '#' lit.
constexpr int dots = 9;
const char *const icons[workshop_num_icons][dots] = {
    // pen: a freehand stroke
    {".........", ".##......", "#..#.....", "#..#..##.", "...#.#..#", "...#.#..#", "....#...#", "........#",
     "........."},
    // line
    {"........#", ".......#.", "......#..", ".....#...", "....#....", "...#.....", "..#......", ".#.......",
     "#........"},
    // filled rectangle
    {".........", "#########", "#########", "#########", "#########", "#########", "#########", ".........",
     "........."},
    // mirror left-right: a shape and its reflection across a dotted line
    {"....#....", ".........", ".#..#..#.", "##.....##", "###.#.###", "##.....##", ".#..#..#.", ".........",
     "....#...."},
    // mirror top-bottom
    {"...###...", "..#####..", ".........", "...#.#...", "#.#.#.#.#", "...#.#...", ".........", "..#####..",
     "...###..."},
    // invert: one half filled, the other empty
    {"#########", "#####...#", "#####...#", "#####...#", "#####...#", "#####...#", "#####...#", "#####...#",
     "#########"},
    // shift left, up, down, right
    {".........", "...#.....", "..##.....", ".########", "#########", ".########", "..##.....", "...#.....",
     "........."},
    {"....#....", "...###...", "..#####..", ".#######.", "...###...", "...###...", "...###...", "...###...",
     "...###..."},
    {"...###...", "...###...", "...###...", "...###...", "...###...", ".#######.", "..#####..", "...###...",
     "....#...."},
    {".........", ".....#...", ".....##..", "########.", "#########", "########.", ".....##..", ".....#...",
     "........."},
    // undo, redo: a hooked arrow
    {"..#......", ".##......", "#######..", ".##....#.", "..#.....#", "........#", "........#", ".......#.",
     "..#####.."},
    {"......#..", "......##.", "..#######", ".#....##.", "#.....#..", "#........", "#........", ".#.......",
     "..#####.."},
    // clear: an empty frame struck through
    {"#########", "#......##", "#.....#.#", "#....#..#", "#...#...#", "#..#....#", "#.#.....#", "##......#",
     "#########"},
    // minus, plus
    {".........", ".........", ".........", ".........", "#########", ".........", ".........", ".........",
     "........."},
    {"....#....", "....#....", "....#....", "....#....", "#########", "....#....", "....#....", "....#....",
     "....#...."},
};

constexpr u32 icon_colour = 0xFFFFFFFF;
constexpr u32 icon_dim_colour = 0xFF5C5870;

} // namespace

int workshop_text_width(const char *text, int scale) {
    safestring s;
    safestring_create(&s, text);
    return gfx2d_strlen(&s, scale);
}

int workshop_text(int x, int y, const char *text, u32 colour, int scale, int max_width) {
    safestring s;
    safestring_create(&s, text);
    if (gfx2d_strlen(&s, scale) > max_width) {
        std::string cut(s.text);
        do {
            cut.pop_back();
            safestring_create(&s, (cut + "...").c_str());
        } while (!cut.empty() && gfx2d_strlen(&s, scale) > max_width);
    }
    return gfx2d_draw_string(x, y, &s, colour, scale);
}

void workshop_draw_icon_button(int icon, int x, int y, int w, int h, int state, bool chosen) {
    const bool down = state == image_button_sprite_down, disabled = state == image_button_sprite_disabled;
    for (int row = y; row < y + h; ++row)
        gfx2d_draw_hline(x, x + w - 1, row, chosen ? 0xFF4A4560 : workshop_slab_colour);
    const u32 frame = chosen                                           ? workshop_chosen_colour
                      : state == image_button_sprite_over && !disabled ? workshop_focus_colour
                                                                       : workshop_frame_colour;
    gfx2d_draw_frame(x, y, w - 1, h - 1, 2, frame);
    if (icon < 0 || icon >= workshop_num_icons)
        return;
    const int dot = std::max(1, std::min(w, h) / 14);
    const int left = x + (w - dots * dot) / 2 + (down ? 1 : 0), top = y + (h - dots * dot) / 2 + (down ? 1 : 0);
    for (int r = 0; r < dots; ++r)
        for (int c = 0; c < dots; ++c)
            if (icons[icon][r][c] == '#')
                gfx2d_draw_pixel(left + c * dot, top + r * dot, disabled ? icon_dim_colour : icon_colour, dot);
}
