// g_necrogram_board.cpp -- the necrogram board: clues, marking rules, completion test and undo history
#include "game/board/g_necrogram_board.h"

#include "engine/ec_assert.h"
#include "puzzle/pz_solve.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Whether the full marks along one line (cells at first, first + step, ...) form its clue;
// crosses count as empty.
bool line_matches(const u8 *line, int step, int length, const pz_clue &clue) {
    size_t next = 0; // the clue's run the line's next run must match
    int run = 0;
    for (int i = 0; i <= length; ++i) {
        if (i < length && line[i * step] == mark_full) {
            ++run;
            continue;
        }
        if (run > 0 && (next >= clue.size() || clue[next++] != run))
            return false;
        run = 0;
    }
    return next == clue.size();
}

bool cell_hovered(const necrogram_board *b) {
    return b->hover_column >= 0 && b->hover_row >= 0 && b->hover_column < b->width && b->hover_row < b->height;
}

int hovered_index(const necrogram_board *b) { return necrogram_cell(b, b->hover_row, b->hover_column); }

// Drops the oldest step and moves the rest down.
void drop_oldest_step(necrogram_history *h) {
    const int first_kept = h->num_steps > 1 ? h->step_first[1] : h->num_changes;
    std::memmove(h->changes, h->changes + first_kept, (size_t)(h->num_changes - first_kept) * sizeof(necrogram_change));
    for (int i = 1; i < h->num_steps; ++i)
        h->step_first[i - 1] = h->step_first[i] - first_kept;
    h->num_changes -= first_kept;
    --h->num_steps;
    if (h->num_done > 0)
        --h->num_done;
}

// Sets a cell's mark and records the change in the open step (opening one, and
// forgetting the undone steps, when none is open).
void set_mark(necrogram_board *b, int cell, u8 mark) {
    necrogram_history *h = &b->history;
    if (!h->step_open) {
        if (h->num_done < h->num_steps) { // a new step forgets the undone ones
            h->num_changes = h->step_first[h->num_done];
            h->num_steps = h->num_done;
        }
        if (h->num_steps == max_history_steps)
            drop_oldest_step(h);
        h->step_first[h->num_steps++] = h->num_changes;
        h->num_done = h->num_steps;
        h->step_open = true;
    }
    // Room for the open step comes from the oldest ones (a stroke alone always fits).
    while (h->num_changes == max_history_changes && h->num_steps > 1)
        drop_oldest_step(h);
    if (h->num_changes < max_history_changes)
        h->changes[h->num_changes++] = {(u16)cell, b->marks[cell], mark};
    b->marks[cell] = mark;
}

// A press on the hovered cell: a new step, the stroke's mark, the cell, solved.
necrogram_effect press(necrogram_board *b, u8 toggled, necrogram_effect effect) {
    if (!cell_hovered(b))
        return necrogram_effect_none;
    necrogram_stroke_end(b);
    const int cell = hovered_index(b);
    // The pressed cell's mark is what the stroke changes: an empty cell takes the button's
    // mark, a marked one is emptied (either button).
    b->paint_from = b->marks[cell];
    if (b->paint_from != mark_empty) {
        b->paint_mark = mark_empty;
        effect = necrogram_effect_pave;
    } else {
        b->paint_mark = toggled;
    }
    set_mark(b, cell, b->paint_mark);
    b->solved = necrogram_is_solved(b);
    b->stroke_row = b->hover_row;
    b->stroke_column = b->hover_column;
    return effect;
}

// Gives one cell the stroke's mark when it holds the mark the stroke began on (so a
// stroke never destroys another mark); the effect of the change.
necrogram_effect paint_cell(necrogram_board *b, int cell) {
    if (b->marks[cell] != b->paint_from || b->paint_mark == b->paint_from)
        return necrogram_effect_none;
    set_mark(b, cell, b->paint_mark);
    b->solved = necrogram_is_solved(b);
    switch (b->paint_mark) {
    case mark_full: return necrogram_effect_full;
    case mark_cross: return necrogram_effect_cross;
    default: return necrogram_effect_pave;
    }
}

} // namespace

namespace {

// Empties the board: no puzzle, no marks, no hint used, nothing hovered, no history.
void clear(necrogram_board *b) {
    b->puzzle = pz_puzzle{};
    b->width = b->height = 0;
    b->solved = false;
    b->hints_used = 0;
    b->hover_column = b->hover_row = -1;
    necrogram_history_clear(b);
    necrogram_stroke_end(b);
}

// Takes p (whose goal is width x height) as the board's puzzle, every mark empty.
void take(necrogram_board *b, pz_puzzle p) {
    b->width = p.width;
    b->height = p.height;
    b->puzzle = std::move(p);
    std::memset(b->marks, mark_empty, sizeof b->marks);
}

} // namespace

void necrogram_load(necrogram_board *b, int width, int height, const u8 *cells) {
    clear(b);
    if (width <= 0 || height <= 0)
        return; // an empty board
    if (!ec_assert(cells) || !ec_assert(width <= max_necrogram_size) || !ec_assert(height <= max_necrogram_size))
        return;
    take(b, pz_from_picture(width, height, cells));
}

bool necrogram_load_puzzle(necrogram_board *b, const pz_puzzle &p) {
    clear(b);
    const int w = p.width, h = p.height;
    if (w < 1 || h < 1 || w > max_necrogram_size || h > max_necrogram_size || p.goal.size() != (size_t)w * (size_t)h ||
        p.rows.size() != (size_t)h || p.columns.size() != (size_t)w)
        return false;
    // The clues and the goal: what the board plays (its client names and credits it).
    pz_puzzle played;
    played.width = w;
    played.height = h;
    played.rows = p.rows;
    played.columns = p.columns;
    played.goal = p.goal;
    take(b, std::move(played));
    return true;
}

bool necrogram_row_satisfied(const necrogram_board *b, int row) {
    if (row < 0 || row >= b->height)
        return false;
    return line_matches(&b->marks[necrogram_cell(b, row, 0)], 1, b->width, b->puzzle.rows[(size_t)row]);
}

bool necrogram_column_satisfied(const necrogram_board *b, int column) {
    if (column < 0 || column >= b->width)
        return false;
    return line_matches(&b->marks[column], b->width, b->height, b->puzzle.columns[(size_t)column]);
}

namespace {

// The finished numbers of the line of length cells from first, step apart.
u32 line_finished(const u8 *first, int step, int length, const pz_clue &clue) {
    const int runs = (int)clue.size();
    if (runs == 0 || runs > 32 || length > max_necrogram_size)
        return 0;
    pz_cell cells[max_necrogram_size];
    for (int i = 0; i < length; ++i) {
        const u8 mark = first[i * step];
        cells[i] = mark == mark_full ? pz_filled : mark == mark_cross ? pz_empty : pz_unknown;
    }
    uint64_t starts[32];
    if (!pz_line_run_starts(clue.data(), runs, cells, length, starts))
        return 0;
    u32 finished = 0;
    for (int j = 0; j < runs; ++j) {
        if (starts[j] == 0 || (starts[j] & (starts[j] - 1)) != 0)
            continue; // not one place for certain
        const int at = __builtin_ctzll(starts[j]);
        bool filled = true;
        for (int i = at; i < at + clue[(size_t)j] && filled; ++i)
            filled = cells[i] == pz_filled;
        if (filled)
            finished |= 1u << j;
    }
    return finished;
}

} // namespace

u32 necrogram_row_finished(const necrogram_board *b, int row) {
    if (row < 0 || row >= b->height)
        return 0;
    return line_finished(&b->marks[necrogram_cell(b, row, 0)], 1, b->width, b->puzzle.rows[(size_t)row]);
}

u32 necrogram_column_finished(const necrogram_board *b, int column) {
    if (column < 0 || column >= b->width)
        return 0;
    return line_finished(&b->marks[column], b->width, b->height, b->puzzle.columns[(size_t)column]);
}

bool necrogram_is_solved(const necrogram_board *b) {
    for (int r = 0; r < b->height; ++r)
        if (!necrogram_row_satisfied(b, r))
            return false;
    for (int c = 0; c < b->width; ++c)
        if (!necrogram_column_satisfied(b, c))
            return false;
    return true;
}

u8 necrogram_mark_at(const necrogram_board *b, int row, int column) {
    if (row < 0 || column < 0 || row >= b->height || column >= b->width)
        return mark_empty;
    return b->marks[necrogram_cell(b, row, column)];
}

necrogram_effect necrogram_press_left(necrogram_board *b) { return press(b, mark_full, necrogram_effect_full); }

necrogram_effect necrogram_press_right(necrogram_board *b) { return press(b, mark_cross, necrogram_effect_cross); }

necrogram_effect necrogram_paint_hovered(necrogram_board *b) {
    if (!cell_hovered(b))
        return necrogram_effect_none;
    return paint_cell(b, hovered_index(b));
}

necrogram_effect necrogram_paint_line(necrogram_board *b) {
    if (!cell_hovered(b) || b->stroke_row < 0 || !b->history.step_open)
        return necrogram_effect_none;
    const int dr = b->hover_row - b->stroke_row, dc = b->hover_column - b->stroke_column;
    if (b->stroke_axis == necrogram_axis_none) {
        if (dr == 0 && dc == 0)
            return necrogram_effect_none;
        b->stroke_axis = std::abs(dc) >= std::abs(dr) ? necrogram_axis_row : necrogram_axis_column;
    }
    const bool along_row = b->stroke_axis == necrogram_axis_row;
    const int length = along_row ? dc : dr, step = length < 0 ? -1 : 1;
    necrogram_effect effect = necrogram_effect_none;
    for (int i = step; i != length + step; i += step) {
        const int r = b->stroke_row + (along_row ? 0 : i), c = b->stroke_column + (along_row ? i : 0);
        const necrogram_effect e = paint_cell(b, necrogram_cell(b, r, c));
        if (e != necrogram_effect_none)
            effect = e;
    }
    return effect;
}

void necrogram_stroke_end(necrogram_board *b) {
    b->history.step_open = false;
    b->stroke_row = b->stroke_column = -1;
    b->stroke_axis = necrogram_axis_none;
}

bool necrogram_move_hover(necrogram_board *b, int columns, int rows) {
    if (b->width <= 0 || b->height <= 0)
        return false;
    if (!cell_hovered(b)) {
        b->hover_column = b->hover_row = 0;
        return true;
    }
    auto clamp = [](int v, int n) { return v < 0 ? 0 : v >= n ? n - 1 : v; };
    b->hover_column = clamp(b->hover_column + columns, b->width);
    b->hover_row = clamp(b->hover_row + rows, b->height);
    return true;
}

bool necrogram_undo(necrogram_board *b) {
    necrogram_stroke_end(b);
    necrogram_history *h = &b->history;
    if (h->num_done <= 0)
        return false;
    const int step = --h->num_done;
    const int end = step + 1 < h->num_steps ? h->step_first[step + 1] : h->num_changes;
    for (int i = end - 1; i >= h->step_first[step]; --i)
        b->marks[h->changes[i].cell] = h->changes[i].before;
    b->solved = necrogram_is_solved(b);
    return true;
}

bool necrogram_redo(necrogram_board *b) {
    necrogram_stroke_end(b);
    necrogram_history *h = &b->history;
    if (h->num_done >= h->num_steps)
        return false;
    const int step = h->num_done++;
    const int end = step + 1 < h->num_steps ? h->step_first[step + 1] : h->num_changes;
    for (int i = h->step_first[step]; i < end; ++i)
        b->marks[h->changes[i].cell] = h->changes[i].after;
    b->solved = necrogram_is_solved(b);
    return true;
}

bool necrogram_can_undo(const necrogram_board *b) { return b->history.num_done > 0; }
bool necrogram_can_redo(const necrogram_board *b) { return b->history.num_done < b->history.num_steps; }

void necrogram_history_clear(necrogram_board *b) {
    b->history.num_steps = b->history.num_done = b->history.num_changes = 0;
    b->history.step_open = false;
}

void necrogram_set_marks(necrogram_board *b, const u16 *cells, const u8 *marks, int count) {
    necrogram_stroke_end(b);
    for (int i = 0; i < count; ++i) {
        if (cells[i] < b->width * b->height && b->marks[cells[i]] != marks[i])
            set_mark(b, cells[i], marks[i]);
    }
    necrogram_stroke_end(b);
    b->solved = necrogram_is_solved(b);
}
