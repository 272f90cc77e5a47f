// g_workshop_picture.cpp -- the Workshop's picture, its drawing tools and its undo history
#include "game/workshop/g_workshop_picture.h"

#include <algorithm>
#include <cstdlib>

workshop_picture workshop_blank(int width, int height) {
    workshop_picture p;
    p.width = std::clamp(width, workshop_min_size, workshop_max_size);
    p.height = std::clamp(height, workshop_min_size, workshop_max_size);
    p.cells.assign((size_t)(p.width * p.height), 0);
    return p;
}

int workshop_filled_count(const workshop_picture &p) { return (int)std::count(p.cells.begin(), p.cells.end(), (u8)1); }

namespace {

bool set_one(workshop_picture *p, int x, int y, u8 value) {
    if (!workshop_inside(*p, x, y))
        return false;
    u8 &cell = p->cells[(size_t)(y * p->width + x)];
    if (cell == value)
        return false;
    cell = value;
    return true;
}

} // namespace

bool workshop_paint(workshop_picture *p, int x, int y, u8 value, int mirror) {
    value = value ? 1 : 0;
    const int mx = p->width - 1 - x, my = p->height - 1 - y;
    bool changed = set_one(p, x, y, value);
    if (mirror & workshop_mirror_left_right)
        changed |= set_one(p, mx, y, value);
    if (mirror & workshop_mirror_top_bottom)
        changed |= set_one(p, x, my, value);
    if ((mirror & workshop_mirror_left_right) && (mirror & workshop_mirror_top_bottom))
        changed |= set_one(p, mx, my, value);
    return changed;
}

bool workshop_line(workshop_picture *p, int x0, int y0, int x1, int y1, u8 value, int mirror) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    bool changed = false;
    for (;;) {
        changed |= workshop_paint(p, x0, y0, value, mirror);
        if (x0 == x1 && y0 == y1)
            return changed;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

bool workshop_rect(workshop_picture *p, int x0, int y0, int x1, int y1, u8 value, int mirror) {
    bool changed = false;
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x)
            changed |= workshop_paint(p, x, y, value, mirror);
    return changed;
}

void workshop_invert(workshop_picture *p) {
    for (u8 &c : p->cells)
        c = c ? 0 : 1;
}

void workshop_shift(workshop_picture *p, int dx, int dy) {
    const int w = p->width, h = p->height;
    std::vector<u8> moved(p->cells.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            moved[(size_t)(((y + dy + h) % h) * w + (x + dx + w) % w)] = p->cells[(size_t)(y * w + x)];
    p->cells.swap(moved);
}

bool workshop_resize(workshop_picture *p, int width, int height) {
    workshop_picture q = workshop_blank(width, height);
    if (q.width == p->width && q.height == p->height)
        return false;
    for (int y = 0; y < std::min(p->height, q.height); ++y)
        for (int x = 0; x < std::min(p->width, q.width); ++x)
            q.cells[(size_t)(y * q.width + x)] = workshop_at(*p, x, y);
    *p = std::move(q);
    return true;
}

void workshop_history_push(workshop_history *h, const workshop_picture &before) {
    h->redo.clear();
    h->undo.push_back(before);
    if ((int)h->undo.size() > workshop_max_history)
        h->undo.erase(h->undo.begin());
}

bool workshop_undo(workshop_history *h, workshop_picture *p) {
    if (h->undo.empty())
        return false;
    h->redo.push_back(std::move(*p));
    *p = std::move(h->undo.back());
    h->undo.pop_back();
    return true;
}

bool workshop_redo(workshop_history *h, workshop_picture *p) {
    if (h->redo.empty())
        return false;
    h->undo.push_back(std::move(*p));
    *p = std::move(h->redo.back());
    h->redo.pop_back();
    return true;
}

void workshop_history_clear(workshop_history *h) {
    h->undo.clear();
    h->redo.clear();
}
