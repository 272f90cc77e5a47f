// g_workshop_picture.h -- the Workshop's picture: its cells, the drawing tools and the undo history
#pragma once

#include "engine/ec_types.h"

#include <cstddef>
#include <vector>

// A picture's width and height run from 5 to 30 cells.
constexpr int workshop_min_size = 5;
constexpr int workshop_max_size = 30;
// Steps of history kept; the oldest go first.
constexpr int workshop_max_history = 400;

// Which copies a drawn cell also gets: its mirror left-right, top-bottom, or all four.
enum : int { workshop_mirror_none = 0, workshop_mirror_left_right = 1, workshop_mirror_top_bottom = 2 };

// The picture, row by row: 1 filled, 0 empty.
struct workshop_picture {
    int width = 10, height = 10;
    std::vector<u8> cells = std::vector<u8>(100, 0);

    bool operator==(const workshop_picture &) const = default;
};

// A blank picture of that size (clamped to 5..30 each way).
workshop_picture workshop_blank(int width, int height);
inline bool workshop_inside(const workshop_picture &p, int x, int y) {
    return x >= 0 && y >= 0 && x < p.width && y < p.height;
}
inline u8 workshop_at(const workshop_picture &p, int x, int y) {
    return workshop_inside(p, x, y) ? p.cells[(std::size_t)(y * p.width + x)] : 0;
}
int workshop_filled_count(const workshop_picture &p);

// Drawing: each gives the cells it covers the value (0 or 1), with their mirrors as
// mirror asks, and is true when a cell changed. Cells outside the picture are skipped.
bool workshop_paint(workshop_picture *p, int x, int y, u8 value, int mirror);
// A straight line from one cell to another, both included (a Bresenham line).
bool workshop_line(workshop_picture *p, int x0, int y0, int x1, int y1, u8 value, int mirror);
// The filled rectangle between two corner cells, both included.
bool workshop_rect(workshop_picture *p, int x0, int y0, int x1, int y1, u8 value, int mirror);
// Every cell the other way round.
void workshop_invert(workshop_picture *p);
// The whole picture moved a cell (dx, dy each -1, 0 or 1); what leaves one edge comes
// back at the other, so nothing is lost.
void workshop_shift(workshop_picture *p, int dx, int dy);
// A new size (clamped to 5..30), the cells kept from the top-left; true when it changed.
bool workshop_resize(workshop_picture *p, int width, int height);

// The undo history: copies of the picture before each step (a stroke, a line, a shift...).
struct workshop_history {
    std::vector<workshop_picture> undo, redo;
};
// Keeps before as the step to go back to; whatever was undone is forgotten.
void workshop_history_push(workshop_history *h, const workshop_picture &before);
bool workshop_undo(workshop_history *h, workshop_picture *p);
bool workshop_redo(workshop_history *h, workshop_picture *p);
void workshop_history_clear(workshop_history *h);
