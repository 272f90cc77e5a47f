// pz_engine.h -- the solving machinery shared by the solver, the grader and the generator
#pragma once

// Not for the screens: they use pz_solve.h. The engine keeps one grid and narrows
// it in place; every change goes on a trail so that a probe or a guess is undone by
// rolling the trail back, without copying the grid.

#include "puzzle/pz_grid.h"
#include "puzzle/pz_line.h"
#include "puzzle/pz_puzzle.h"

#include <chrono>
#include <cstdint>
#include <vector>

// The lines waiting for line logic, each at most once, first in first out.
class pz_line_queue {
public:
    void reset(int lines) {
        ring.assign(static_cast<size_t>(lines), 0);
        waiting.assign(static_cast<size_t>(lines), 0);
        head = count = 0;
    }
    bool empty() const { return count == 0; }
    void push(int line) {
        if (!pz_assert(static_cast<size_t>(line) < waiting.size()))
            return;
        if (!waiting[line]) {
            waiting[line] = 1;
            const size_t at = head + count++;
            ring[at < ring.size() ? at : at - ring.size()] = line;
        }
    }
    int pop() {
        const int line = ring[head];
        head = head + 1 < ring.size() ? head + 1 : 0;
        --count;
        waiting[line] = 0;
        return line;
    }
    void clear() {
        while (!empty())
            pop();
    }

private:
    std::vector<int> ring;
    std::vector<uint8_t> waiting;
    size_t head = 0, count = 0;
};

// Line results kept by the line and its cells, so that a line met again in the same
// state is not solved again: a search meets the same lines in the same states over and
// over. A table of 2^bits results, each state in the one place its hash picks, where a
// newer result takes the place of an older. The caller's lines are words (uint64_t or
// pz_bits); the table keeps them as stored, a word type that holds the longest line (a
// 32-bit word keeps the table of short lines small: 20 bytes a result). It has no table
// until reset.
template <int bits, class word = uint64_t, class stored = uint32_t> class pz_line_cache {
public:
    // An empty table for lines of up to longest cells: at most what stored holds (beyond
    // that it keeps no table).
    void reset(int longest) {
        const bool fits = pz_assert(longest <= 8 * static_cast<int>(sizeof(stored)));
        table.assign(fits ? size_t(1) << bits : 0, kept{stored{}, stored{}, stored{}, stored{}, -1});
    }
    bool empty() const { return table.empty(); }

    // Line logic on a line's words through the table: solve_words(can_empty, can_fill)
    // is pz_solve_line_bits on the line (of at most the longest cells given to reset),
    // called only when the table does not hold its result; line is the caller's number
    // for the line. Without a table, solves each time.
    template <class line_solver> bool solve(int line, word *can_empty, word *can_fill, line_solver &&solve_words) {
        if (table.empty())
            return solve_words(can_empty, can_fill);
        const stored empty_in = static_cast<stored>(*can_empty), fill_in = static_cast<stored>(*can_fill);
        uint64_t h = (pz_bits_hash(*can_empty) * 0x9e3779b97f4a7c15ull) ^
                     (pz_bits_hash(*can_fill) * 0xc2b2ae3d27d4eb4full) ^
                     (static_cast<uint64_t>(line) * 0x165667b19e3779f9ull);
        h ^= h >> 29;
        kept &m = table[(h * 0xbf58476d1ce4e5b9ull) >> (64 - bits)];
        if (m.line == line && m.empty_in == empty_in && m.fill_in == fill_in) {
            if (!(m.empty_out | m.fill_out))
                return false;
            *can_empty = static_cast<word>(m.empty_out);
            *can_fill = static_cast<word>(m.fill_out);
            return true;
        }
        const bool holds = solve_words(can_empty, can_fill);
        m = {empty_in, fill_in, holds ? static_cast<stored>(*can_empty) : stored{},
             holds ? static_cast<stored>(*can_fill) : stored{}, line};
        return holds;
    }

private:
    struct kept {
        stored empty_in, fill_in, empty_out, fill_out; // out both 0: the line breaks
        int32_t line;                                  // -1: nothing kept here
    };
    std::vector<kept> table;
};

struct pz_engine {
    enum status { ok, broken, stopped };

    int width = 0, height = 0, cells = 0;
    std::vector<pz_cell> grid;
    int unknown = 0;

    // Builds the engine for p (whose shape pz_check accepts) with every cell unknown.
    explicit pz_engine(const pz_puzzle &p);

    // Keeps each line's result keyed by the line and its cells, so that a line met again
    // in the same state (probes from one grid meet the same lines over and over) is not
    // solved again. For grids up to 32 x 32; costs 640 KB.
    void remember_lines();

    // Sets the limits the work is measured against, from now.
    void limit(const pz_limits &limits);

    // Replaces the grid with known (width * height cells), clearing the trail.
    void load(const pz_cell *known);

    // Narrows cell index to value (a subset of what it allows), queues its lines.
    void set(int index, pz_cell value);

    // Queues a line (rows 0..height-1, then columns); queues every line.
    void push(int line);
    void push_all();

    // Solves queued lines until none is left; on broken, *broken_line names the line.
    status propagate(int *broken_line = nullptr);

    // One line's logic alone, without queueing its crossings: -1 broken, else cells settled.
    int solve_line(int line);

    // Line logic in sweeps (every row, then every column) until one changes nothing;
    // *sweeps counts those that changed something. False on a contradiction.
    bool sweep(int *sweeps);

    // Look-ahead as a player does it: a cell whose one value breaks a line takes the
    // other, then line logic runs; cells in reading order, passes until one finds
    // nothing. *cells_settled counts the cells it settled. False on a contradiction.
    bool look_ahead(int *cells_settled);

    // The trail's length now, and rolling back to a length taken before.
    size_t mark() const { return trail.size(); }
    void undo(size_t to);

    // Which line a line number names.
    pz_line_ref line_ref(int line) const;

    // Counts a step of work against the limits; false (and stop set) once they are spent.
    bool tick();

    // Work done and why it stopped.
    uint64_t steps = 0;
    bool stop = false, cancelled = false;

    struct change {
        int index;
        pz_cell before;
    };
    std::vector<change> trail;

private:
    void set_bits(int index, pz_cell value);
    int narrow_line(int line); // solve_line for a line known to be the grid's
    int solve_line_words(int line);

    // Lines as words (grids up to pz_max_word_line on a side): bit i of a row's words is
    // cell (i, row), of a column's cell (column, i).
    bool words = false;
    std::vector<uint64_t> can_empty, can_fill;
    std::vector<uint8_t> cell_x, cell_y; // each cell's column and row
    static_assert(pz_max_word_line <= 256, "a column or a row of a grid of words fits a byte");
    // 2^15 results: small enough to stay in the processor's cache, which matters more
    // than keeping more lines. No table until remember_lines.
    pz_line_cache<15> memory;

    std::vector<int> runs, run_first, run_count;
    pz_line_queue queue;
    std::vector<pz_cell> line;
    pz_line_scratch scratch;
    uint64_t max_steps = 0;
    bool has_deadline = false;
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool> *cancel = nullptr;
};
