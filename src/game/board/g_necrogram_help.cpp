// g_necrogram_help.cpp -- the board screen's help: hints step by step, wrong marks shown, their drawing
#include "game/board/g_necrogram_help.h"

#include "engine/ec_settings.h"
#include "engine/ec_strings.h"
#include "graphics/d3d_gfx2d.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <limits>
#include <memory>
#include <thread>

namespace {

// The solver's work runs on a thread of its own, never in a frame: first the board's
// analysis, then each hint asked for, one at a time. A frame only waits for it up to
// its slice (so a small board's hint still shows in the frame it was asked in), and
// reads a result only once the work that made it is over.
struct solver_work {
    necrogram_analysis analysis; // the worker's own; copied to the frame's when done
    std::atomic<bool> cancel_analysis{false};
    std::shared_future<void> analysed; // the analysis is over (finished or cancelled)

    std::unique_ptr<necrogram_board> board; // the marks the hint is looked for on
    necrogram_hint_search search;
    std::atomic<bool> cancel_hint{false};
    std::future<bool> hinted; // the hint search is over: true when it finished
};
std::unique_ptr<solver_work> work;

necrogram_analysis analysis;            // the frame's copy: ready once the worker's is finished
necrogram_hint shown;                   // kind none: no hint shown
bool thinking = false;                  // a hint is being looked for
bool applied = false;                   // the shown hint's cells are already marked
const necrogram_board *board = nullptr; // the screen's board, whose hints are counted

// How long a frame may wait for the solver's work (scripted runs: until it is over).
constexpr auto game_slice = std::chrono::microseconds(8000);
auto frame_slice = game_slice;
std::atomic<bool> hold_analysis{false}; // tests: the analysis waits until released
// How long a hint waits for the board's analysis before it goes on without it.
constexpr auto analysis_wait = std::chrono::milliseconds(250);

// Whether a future is over, waiting at most wait for it.
template <class F> bool over(const F &f, std::chrono::microseconds wait) {
    return f.valid() && f.wait_for(wait) == std::future_status::ready;
}

// Stops whatever the worker is doing and forgets it (the wait is short: the solver
// polls the cancel flags).
void stop_work() {
    if (!work)
        return;
    work->cancel_hint = true;
    work->cancel_analysis = true;
    if (work->hinted.valid())
        work->hinted.wait();
    if (work->analysed.valid())
        work->analysed.wait();
    work.reset();
}

// The frame's copy of the analysis once the worker's is over and finished.
void take_analysis(std::chrono::microseconds wait) {
    if (analysis.ready || !work || !over(work->analysed, wait) || !work->analysis.ready)
        return;
    analysis = work->analysis;
    analysis.cancel = nullptr;
}

constexpr u32 colour_text = 0xFFFFFF00;
constexpr int text_top = necrogram_strip_top, text_height = necrogram_strip_height;

// A wrong mark (a cell of edge s): the mark itself stays in sight, ringed in the warning
// colour, with a warning sign of its own in its top-right corner (a triangle with a "!"),
// seen without colour too.
void draw_wrong(int x, int y, int s) {
    const necrogram_palette &pal = necrogram_palette_now();
    gfx2d_draw_frame(x, y, s, s, s >= 24 ? 2 : 1, pal.wrong);
    const int size = std::max(7, s * 2 / 5) | 1; // odd: the "!" on the middle column
    const int left = x + s - size - 2, top = y + 3;
    u32 *buffer =
        gfx2d_screen_buffer_rect(std::max(left - 1, 0), std::max(top - 1, 0), std::min(left + size, screen_width - 1),
                                 std::min(top + size, screen_height - 1));
    if (!buffer || left < 1 || top < 1 || left + size >= screen_width || top + size >= screen_height)
        return;
    const int mid = size / 2;
    for (int j = 0; j < size; ++j) {
        const int half = j * mid / (size - 1); // the triangle widens downwards
        for (int i = mid - half - 1; i <= mid + half + 1; ++i) {
            const bool edge = i < mid - half || i > mid + half;
            u32 &p = buffer[(top + j) * screen_width + left + i];
            p = edge ? pal.wrong_ink : pal.wrong;
        }
    }
    // The "!": a stroke down the middle and a dot under it.
    for (int j = size / 3; j < size; ++j)
        if (j < size - 3 || j == size - 2)
            buffer[(top + j) * screen_width + left + mid] = pal.wrong_ink;
}

// The hint's line: its clue strip and its cells tinted.
void draw_line(const necrogram_layout &l, s32 axis, int line) {
    const int s = l.cell;
    if (axis == necrogram_axis_row) {
        const int y = l.grid_y + s * line;
        gfx2d_tint_rect(l.strip_left, y + 1, l.grid_x + l.grid_width, y + s - 1, necrogram_palette_now().hint, 90);
        gfx2d_draw_frame(l.grid_x, y, l.grid_width, s, 1, necrogram_palette_now().hint);
    } else if (axis == necrogram_axis_column) {
        const int x = l.grid_x + s * line;
        gfx2d_tint_rect(x + 1, l.strip_top, x + s - 1, l.grid_y + l.grid_height, necrogram_palette_now().hint, 90);
        gfx2d_draw_frame(x, l.grid_y, s, l.grid_height, 1, necrogram_palette_now().hint);
    }
}

void draw_text(const char *text) {
    gfx2d_fill_rect(0, text_top + 1, necrogram_area_width - 1, text_top + text_height - 1);
    safestring *s = scratch_string();
    safestring_create(s, text);
    const int scale = gfx2d_strlen(s, 2) <= necrogram_area_width - 16 ? 2 : 1; // a long sentence still fits
    const int w = gfx2d_strlen(s, scale);
    gfx2d_draw_string((necrogram_area_width - w) / 2, text_top + 20 - 4 * scale, s, colour_text, scale);
}

void start_search(const necrogram_board *b) {
    shown = necrogram_hint{};
    applied = false;
    if (!work)
        return;
    thinking = true;
    solver_work *w = work.get();
    w->board = std::make_unique<necrogram_board>(*b);
    necrogram_hint_begin(&w->search, w->board.get());
    w->search.cancel = &w->cancel_hint;
    w->cancel_hint = false;
    w->hinted = std::async(std::launch::async, [w] {
        // The hint starts from the analysis's wrong marks when it is over soon; on a board
        // whose analysis takes long it goes on without: marks that do not fit together
        // are still found, by the consistency of the marks.
        const auto deadline = std::chrono::steady_clock::now() + analysis_wait;
        while (!over(w->analysed, std::chrono::microseconds(2000))) {
            if (w->cancel_hint)
                return false;
            if (std::chrono::steady_clock::now() >= deadline)
                break;
        }
        necrogram_analysis *a = &w->analysis;
        necrogram_analysis unproved;
        if (!over(w->analysed, std::chrono::microseconds(0)) || !a->ready) {
            necrogram_analysis_begin(&unproved, w->board.get());
            unproved.allowed.assign(unproved.allowed.size(), pz_unknown); // nothing proved wrong
            unproved.ready = true;
            a = &unproved;
        }
        return necrogram_hint_run(&w->search, a, w->board.get(), necrogram_hint_seconds + 1);
    });
}

// Takes the search's hint once it is found; a revealed cell is marked at once.
void take_hint(necrogram_board *b) {
    if (!thinking || !work || !over(work->hinted, frame_slice))
        return;
    thinking = false;
    if (!work->hinted.get())
        return; // cancelled
    take_analysis(std::chrono::microseconds(0));
    shown = work->search.hint;
    if (shown.kind == necrogram_hint_none || shown.kind == necrogram_hint_not_found)
        return;
    ++b->hints_used;
    if (shown.kind == necrogram_hint_reveal) {
        necrogram_hint_apply(b, &shown);
        applied = true;
    }
}

} // namespace

void necrogram_help_load(const necrogram_board *b) {
    stop_work();
    necrogram_analysis_begin(&analysis, b);
    shown = necrogram_hint{};
    thinking = applied = false;
    board = b;
    work = std::make_unique<solver_work>();
    solver_work *w = work.get();
    necrogram_analysis_begin(&w->analysis, b);
    w->analysis.cancel = &w->cancel_analysis;
    w->analysed = std::async(std::launch::async, [w] {
                      while (hold_analysis && !w->cancel_analysis)
                          std::this_thread::sleep_for(std::chrono::milliseconds(1));
                      necrogram_analysis_run(&w->analysis, std::numeric_limits<double>::infinity());
                  }).share();
    if (!hold_analysis)
        take_analysis(frame_slice);
}

void necrogram_help_hold_analysis(bool on) { hold_analysis = on; }

void necrogram_help_wait_whole(bool on) { frame_slice = on ? std::chrono::microseconds(5'000'000) : game_slice; }

void necrogram_help_stop() {
    stop_work();
    thinking = false;
}

void necrogram_help_marked() {
    shown = necrogram_hint{};
    applied = false;
    if (thinking && work) { // the search's marks are stale: stop it
        work->cancel_hint = true;
        work->hinted.wait();
    }
    thinking = false;
}

void necrogram_help_press(necrogram_board *b) {
    if (thinking || b->width <= 0 || b->height <= 0)
        return;
    const bool pending = !applied && (shown.kind == necrogram_hint_wrong_mark || shown.kind == necrogram_hint_line ||
                                      shown.kind == necrogram_hint_lookahead);
    if (pending) {
        const necrogram_hint step = shown;
        necrogram_hint_apply(b, &step);
        shown = necrogram_hint{}; // applied: the highlight goes with it
        return;
    }
    start_search(b);
    take_hint(b);
}

void necrogram_help_update(necrogram_board *b) {
    if (thinking) {
        take_hint(b);
        return;
    }
    take_analysis(std::chrono::microseconds(0)); // taken when over: the frame does not wait for it
}

int necrogram_hints_used() { return board ? board->hints_used : 0; }
const necrogram_hint *necrogram_hint_shown() { return shown.kind == necrogram_hint_none ? nullptr : &shown; }
bool necrogram_help_thinking() { return thinking; }
const necrogram_analysis *necrogram_help_analysis() { return &analysis; }

void necrogram_help_draw_board(const necrogram_board *b, bool captured) {
    if (b->width <= 0 || b->height <= 0 || captured)
        return;
    const necrogram_layout l = necrogram_layout_for(b);
    const int s = l.cell;
    if (settings_get().mistake_check)
        for (int r = 0; r < b->height; ++r)
            for (int c = 0; c < b->width; ++c)
                if (necrogram_mark_wrong(&analysis, b, r, c))
                    draw_wrong(l.grid_x + s * c, l.grid_y + s * r, s);
    if (thinking) {
        draw_text("Thinking...");
        return;
    }
    if (shown.kind == necrogram_hint_none)
        return;
    draw_line(l, shown.axis, shown.line);
    const necrogram_palette &pal = necrogram_palette_now();
    const u32 cell_colour = shown.kind == necrogram_hint_wrong_mark ? pal.wrong : pal.hint;
    const int thickness = s >= 24 ? 3 : 2; // thinner on small cells
    for (int i = 0; i < shown.num_support; ++i) {
        const int r = shown.support[i] / b->width, c = shown.support[i] % b->width;
        gfx2d_draw_frame(l.grid_x + s * c, l.grid_y + s * r, s, s, thickness, necrogram_reason_colour);
    }
    for (int i = 0; i < shown.num_cells; ++i) {
        const int r = shown.cells[i] / b->width, c = shown.cells[i] % b->width;
        gfx2d_draw_frame(l.grid_x + s * c, l.grid_y + s * r, s, s, thickness, cell_colour);
    }
    draw_text(shown.text);
}

void necrogram_help_draw_column() {
    const int hints_used = necrogram_hints_used();
    if (hints_used <= 0)
        return;
    char text[24];
    std::snprintf(text, sizeof text, "Hints: %d", hints_used);
    safestring *s = scratch_string();
    safestring_create(s, text);
    gfx2d_draw_string(1152 - gfx2d_strlen(s, 2) / 2, 436, s, 0xFF3C4A30, 2);
}
