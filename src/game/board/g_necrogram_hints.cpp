// g_necrogram_hints.cpp -- wrong marks and the next step of reasoning, found with the puzzle layer's solver
#include "game/board/g_necrogram_hints.h"

#include <algorithm>
#include <cstdio>

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point t) { return std::chrono::duration<double>(clock_type::now() - t).count(); }

int cell_count(const necrogram_board *b) { return b->width > 0 && b->height > 0 ? b->width * b->height : 0; }

pz_cell mark_value(u8 mark) { return mark == mark_full ? pz_filled : mark == mark_cross ? pz_empty : pz_unknown; }

// Every value of a solution is allowed.
void allow_solution(necrogram_analysis *a, const std::vector<uint8_t> &solution) {
    for (size_t i = 0; i < solution.size() && i < a->allowed.size(); ++i)
        a->allowed[i] |= solution[i] ? pz_filled : pz_empty;
}

void set_text(necrogram_hint *h, const char *text) { std::snprintf(h->text, sizeof h->text, "%s", text); }

void add_cell(necrogram_hint *h, int cell, u8 mark) {
    if (h->num_cells < max_necrogram_size) {
        h->cells[h->num_cells] = (u16)cell;
        h->marks[h->num_cells++] = mark;
    }
}

// "Row 7" or "Column 3", numbered from 1 as the player counts.
void line_name(char *out, size_t size, bool column, int index) {
    std::snprintf(out, size, "%s %d", column ? "Column" : "Row", index + 1);
}

// The first mark (in reading order) that no solution allows.
bool find_wrong_mark(necrogram_hint *h, const necrogram_analysis *a, const necrogram_board *b) {
    for (int r = 0; r < b->height; ++r)
        for (int c = 0; c < b->width; ++c) {
            if (!necrogram_mark_wrong(a, b, r, c))
                continue;
            h->kind = necrogram_hint_wrong_mark;
            add_cell(h, r * b->width + c, mark_empty);
            set_text(h, necrogram_mark_at(b, r, c) == mark_full ? "This cell cannot be filled"
                                                                : "This cell cannot stay empty");
            return true;
        }
    return false;
}

// The marks allow no solution together though each is allowed alone (a board with
// several solutions): the first mark that does not fit with the marks before it.
void find_misfit(necrogram_hint *h, const necrogram_analysis *a, const necrogram_board *b, const pz_limits &limits) {
    const int cells = cell_count(b);
    std::vector<pz_cell> subset((size_t)cells, pz_unknown);
    for (int i = 0; i < cells; ++i) {
        const pz_cell v = mark_value(b->marks[i]);
        if (v == pz_unknown)
            continue;
        subset[(size_t)i] = v;
        if (pz_solve(a->puzzle, subset.data(), limits, false).verdict != pz_verdict::none)
            continue;
        h->kind = necrogram_hint_wrong_mark;
        add_cell(h, i, mark_empty);
        set_text(h, "This mark does not fit with your other marks");
        return;
    }
}

// The cells of a line of the grid (w wide, height high), in order.
int line_of(const std::vector<pz_cell> &grid, int w, int height, pz_line_ref ref, pz_cell *out) {
    const int length = ref.column ? height : w;
    for (int i = 0; i < length; ++i)
        out[i] = grid[(size_t)(ref.column ? i * w + ref.index : ref.index * w + i)];
    return length;
}

// The line with the largest group of unmarked cells that one reason settles: the lines
// are taken by how many cells the line solver settles on each, most first, until no line
// left could beat the best group. The hint gives that group only, with the reason's
// sentence and the marks it rests on.
bool find_line(necrogram_hint *h, const necrogram_analysis *a, const std::vector<pz_cell> &grid, int w, int height) {
    pz_cell line[max_necrogram_size];
    std::vector<std::pair<int, pz_line_ref>> settling;
    for (int k = 0; k < height + w; ++k) {
        const pz_line_ref ref{k >= height, k >= height ? k - height : k};
        if (const int n = pz_deduce_line(a->puzzle, grid.data(), ref, line); n > 0)
            settling.push_back({n, ref});
    }
    std::stable_sort(settling.begin(), settling.end(), [](const auto &x, const auto &y) { return x.first > y.first; });
    pz_line_explanation best;
    pz_line_ref best_line;
    for (const auto &[settles, ref] : settling) {
        if ((int)best.cells.size() >= settles)
            break;
        const int length = line_of(grid, w, height, ref, line);
        const pz_clue &clue = ref.column ? a->puzzle.columns[(size_t)ref.index] : a->puzzle.rows[(size_t)ref.index];
        pz_line_explanation e = pz_explain_line(clue.data(), (int)clue.size(), line, length);
        if (e.cells.size() > best.cells.size()) {
            best = std::move(e);
            best_line = ref;
        }
    }
    if (best.cells.empty())
        return false;
    auto cell_at = [&](int i) { return best_line.column ? i * w + best_line.index : best_line.index * w + i; };
    for (int i : best.cells)
        add_cell(h, cell_at(i), best.value == pz_filled ? mark_full : mark_cross);
    for (int i : best.support)
        if (h->num_support < max_necrogram_size)
            h->support[h->num_support++] = (u16)cell_at(i);
    h->kind = necrogram_hint_line;
    h->reason = best.reason;
    h->axis = best_line.column ? necrogram_axis_column : necrogram_axis_row;
    h->line = best_line.index;
    char name[24];
    line_name(name, sizeof name, best_line.column, best_line.index);
    const pz_clue &clue =
        best_line.column ? a->puzzle.columns[(size_t)best_line.index] : a->puzzle.rows[(size_t)best_line.index];
    set_text(h, pz_explain_sentence(best, clue.data(), (int)clue.size(), name).c_str());
    return true;
}

// Cell index (row by row, w wide) tried both ways: a value that breaks a line settles it.
bool probe(necrogram_hint *h, const necrogram_analysis *a, const std::vector<pz_cell> &grid, int w, int index) {
    if (grid[(size_t)index] != pz_unknown)
        return false;
    const int r = index / w, c = index % w;
    const pz_probe p = pz_probe_cell(a->puzzle, grid.data(), c, r);
    if (p.filled_breaks == p.empty_breaks)
        return false; // both hold (or both break: the marks already contradict)
    const bool fill = p.empty_breaks;
    const pz_line_ref broken = fill ? p.empty_line : p.filled_line;
    h->kind = necrogram_hint_lookahead;
    add_cell(h, r * w + c, fill ? mark_full : mark_cross);
    if (broken.index >= 0) {
        h->axis = broken.column ? necrogram_axis_column : necrogram_axis_row;
        h->line = broken.index;
    }
    char name[24] = "a line";
    if (broken.index >= 0)
        std::snprintf(name, sizeof name, "%s %d", broken.column ? "column" : "row", broken.index + 1);
    std::snprintf(h->text, sizeof h->text,
                  fill ? "Row %d, column %d must be filled: left empty it breaks %s"
                       : "Row %d, column %d must stay empty: filling it breaks %s",
                  r + 1, c + 1, name);
    return true;
}

// Logic stops here: one unmarked cell of a solution that agrees with the marks (the
// board's picture when it does), a filled one when there is one left.
void reveal(necrogram_hint *h, const necrogram_board *b, const std::vector<pz_cell> &grid,
            const std::vector<uint8_t> &solution) {
    const int cells = cell_count(b);
    bool picture_agrees = true;
    for (int i = 0; i < cells && picture_agrees; ++i)
        if (grid[(size_t)i] != pz_unknown)
            picture_agrees = grid[(size_t)i] == (b->puzzle.goal[i] ? pz_filled : pz_empty);
    auto value = [&](int i) {
        return picture_agrees || solution.empty() ? b->puzzle.goal[i] != 0 : solution[(size_t)i] != 0;
    };
    int chosen = -1;
    for (int i = 0; i < cells && (chosen < 0 || !value(chosen)); ++i)
        if (grid[(size_t)i] == pz_unknown && (chosen < 0 || value(i)))
            chosen = i;
    if (chosen < 0)
        return;
    h->kind = necrogram_hint_reveal;
    add_cell(h, chosen, value(chosen) ? mark_full : mark_cross);
    set_text(h, "Logic alone cannot go on here: one cell revealed");
}

} // namespace

void necrogram_analysis_begin(necrogram_analysis *a, const necrogram_board *b) {
    a->puzzle = b->puzzle;
    a->allowed.assign((size_t)cell_count(b), 0);
    allow_solution(a, a->puzzle.goal);
    a->next_cell = -1;
    a->ready = cell_count(b) == 0;
}

bool necrogram_analysis_run(necrogram_analysis *a, double seconds) {
    if (a->ready)
        return true; // read only from here on: other threads may be reading it
    const clock_type::time_point start = clock_type::now();
    const int cells = (int)a->allowed.size();
    pz_limits limits;
    limits.seconds = necrogram_hint_seconds;
    limits.cancel = a->cancel;
    auto cancelled = [a] { return a->cancel && a->cancel->load(std::memory_order_relaxed); };
    if (a->next_cell < 0) {
        // One proof of uniqueness settles most boards at once.
        const pz_solution s = pz_solve(a->puzzle, nullptr, limits, true);
        if (s.cancelled || cancelled())
            return false;
        allow_solution(a, s.first);
        allow_solution(a, s.second);
        a->next_cell = 0;
        if (s.verdict == pz_verdict::unique)
            a->next_cell = cells;
    }
    // Each cell that every solution found so far agrees on: is its other value allowed?
    std::vector<pz_cell> known;
    for (; a->next_cell < cells; ++a->next_cell) {
        if (cancelled() || seconds_since(start) >= seconds)
            return false;
        const pz_cell have = a->allowed[(size_t)a->next_cell];
        if (have == pz_unknown)
            continue;
        known.assign((size_t)cells, pz_unknown);
        known[(size_t)a->next_cell] = (pz_cell)(pz_unknown & ~have);
        const pz_solution s = pz_solve(a->puzzle, known.data(), limits, false);
        if (s.cancelled)
            return false; // the cell is tried again if the work goes on
        if (s.verdict == pz_verdict::stopped)
            a->allowed[(size_t)a->next_cell] = pz_unknown;
        allow_solution(a, s.first);
    }
    a->ready = true;
    return true;
}

bool necrogram_mark_wrong(const necrogram_analysis *a, const necrogram_board *b, int row, int column) {
    if (!a->ready || row < 0 || column < 0 || row >= b->height || column >= b->width ||
        (int)a->allowed.size() != cell_count(b))
        return false;
    const pz_cell v = mark_value(necrogram_mark_at(b, row, column));
    return v != pz_unknown && !(a->allowed[(size_t)(row * b->width + column)] & v);
}

void necrogram_hint_begin(necrogram_hint_search *s, const necrogram_board *b) {
    const int cells = cell_count(b);
    s->hint = necrogram_hint{};
    s->phase = necrogram_hint_search::wrong_marks;
    s->cursor = 0;
    s->grid.assign((size_t)cells, pz_unknown);
    for (int i = 0; i < cells; ++i)
        s->grid[(size_t)i] = mark_value(b->marks[i]);
    s->solution.clear();
    s->started = clock_type::now();
}

bool necrogram_hint_run(necrogram_hint_search *s, necrogram_analysis *a, const necrogram_board *b, double seconds) {
    using search = necrogram_hint_search;
    const clock_type::time_point start = clock_type::now();
    const int w = b->width, cells = cell_count(b);
    auto out_of_time = [&] {
        if (seconds_since(s->started) < necrogram_hint_seconds)
            return false;
        necrogram_hint_give_up(s);
        return true;
    };
    auto finish = [&] {
        s->phase = search::done;
        return true;
    };
    pz_limits limits;
    limits.cancel = s->cancel;
    while (s->phase != search::done) {
        if (s->cancel && s->cancel->load(std::memory_order_relaxed))
            return false;
        if (out_of_time())
            return true;
        if (seconds_since(start) >= seconds)
            return false;
        limits.seconds = necrogram_hint_seconds - seconds_since(s->started);
        switch (s->phase) {
        case search::wrong_marks:
            if (!necrogram_analysis_run(a, seconds - seconds_since(start)))
                break;
            if (find_wrong_mark(&s->hint, a, b))
                return finish();
            s->phase = search::consistency;
            break;
        case search::consistency: {
            const pz_solution sol = pz_solve(a->puzzle, s->grid.data(), limits, false);
            if (sol.verdict == pz_verdict::none) {
                find_misfit(&s->hint, a, b, limits);
                if (s->hint.kind != necrogram_hint_none)
                    return finish();
            }
            s->solution = sol.first;
            s->phase = search::lines;
            break;
        }
        case search::lines:
            if (find_line(&s->hint, a, s->grid, w, b->height))
                return finish();
            s->phase = search::probes;
            break;
        case search::probes:
            if (s->cursor >= cells) {
                s->phase = search::reveal;
                break;
            }
            if (probe(&s->hint, a, s->grid, w, s->cursor++))
                return finish();
            break;
        case search::reveal: reveal(&s->hint, b, s->grid, s->solution); return finish();
        case search::done: break;
        }
    }
    return true;
}

void necrogram_hint_give_up(necrogram_hint_search *s) {
    s->hint = necrogram_hint{};
    s->hint.kind = necrogram_hint_not_found;
    set_text(&s->hint, "No hint found within 2 seconds");
    s->phase = necrogram_hint_search::done;
}

void necrogram_hint_apply(necrogram_board *b, const necrogram_hint *h) {
    necrogram_set_marks(b, h->cells, h->marks, h->num_cells);
}
