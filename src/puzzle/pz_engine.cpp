// pz_engine.cpp -- the grid, its queue of changed lines and its trail of changes
#include "puzzle/pz_engine.h"

pz_engine::pz_engine(const pz_puzzle &p) : width(p.width), height(p.height), cells(p.width * p.height) {
    grid.assign(static_cast<size_t>(cells), pz_unknown);
    unknown = cells;
    const int lines = height + width;
    run_first.resize(lines);
    run_count.resize(lines);
    for (int l = 0; l < lines; ++l) {
        const pz_clue &clue = l < height ? p.rows[l] : p.columns[l - height];
        run_first[l] = static_cast<int>(runs.size());
        run_count[l] = static_cast<int>(clue.size());
        runs.insert(runs.end(), clue.begin(), clue.end());
    }
    runs.push_back(0); // keeps runs.data() valid for a puzzle without runs
    queue.reset(lines);
    line.resize(static_cast<size_t>(width > height ? width : height));
    trail.reserve(static_cast<size_t>(cells));
    words = width <= pz_max_word_line && height <= pz_max_word_line;
    if (words) {
        can_empty.assign(lines, 0);
        can_fill.assign(lines, 0);
        cell_x.resize(static_cast<size_t>(cells));
        cell_y.resize(static_cast<size_t>(cells));
        for (int i = 0; i < cells; ++i) {
            cell_x[i] = static_cast<uint8_t>(i % width);
            cell_y[i] = static_cast<uint8_t>(i / width);
        }
    }
    load(nullptr);
}

void pz_engine::remember_lines() {
    if (width <= pz_max_short_line && height <= pz_max_short_line && memory.empty())
        memory.reset(width > height ? width : height);
}

// Keeps the line words of cell index in step with its value.
void pz_engine::set_bits(int index, pz_cell value) {
    const int x = cell_x[index], y = cell_y[index];
    const uint64_t row_bit = uint64_t(1) << x, column_bit = uint64_t(1) << y;
    const uint64_t empty = 0 - static_cast<uint64_t>(value & pz_empty);
    const uint64_t fill = 0 - static_cast<uint64_t>((value & pz_filled) >> 1);
    can_empty[y] = (can_empty[y] & ~row_bit) | (empty & row_bit);
    can_fill[y] = (can_fill[y] & ~row_bit) | (fill & row_bit);
    can_empty[height + x] = (can_empty[height + x] & ~column_bit) | (empty & column_bit);
    can_fill[height + x] = (can_fill[height + x] & ~column_bit) | (fill & column_bit);
}

void pz_engine::limit(const pz_limits &limits) {
    max_steps = limits.max_steps ? steps + limits.max_steps : 0;
    has_deadline = limits.seconds > 0;
    if (has_deadline)
        deadline = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                          std::chrono::duration<double>(limits.seconds));
    cancel = limits.cancel;
}

void pz_engine::load(const pz_cell *known) {
    unknown = 0;
    for (int i = 0; i < cells; ++i) {
        pz_cell v = known ? (known[i] & pz_unknown) : pz_unknown;
        grid[i] = v ? v : pz_unknown;
        unknown += grid[i] == pz_unknown ? 1 : 0;
        if (words)
            set_bits(i, grid[i]);
    }
    trail.clear();
}

void pz_engine::set(int index, pz_cell value) {
    if (!pz_assert(static_cast<unsigned>(index) < static_cast<unsigned>(cells)))
        return;
    if (grid[index] == value)
        return;
    trail.push_back({index, grid[index]});
    if (grid[index] == pz_unknown)
        --unknown;
    grid[index] = value;
    if (words)
        set_bits(index, value);
    push(index / width);
    push(height + index % width);
}

void pz_engine::push(int l) { queue.push(l); }

void pz_engine::push_all() {
    for (int l = 0; l < height + width; ++l)
        push(l);
}

void pz_engine::undo(size_t to) {
    while (trail.size() > to) {
        const change &c = trail.back();
        if (grid[c.index] != pz_unknown && c.before == pz_unknown)
            ++unknown;
        grid[c.index] = c.before;
        if (words)
            set_bits(c.index, c.before);
        trail.pop_back();
    }
}

pz_line_ref pz_engine::line_ref(int l) const {
    pz_line_ref ref;
    ref.column = l >= height;
    ref.index = ref.column ? l - height : l;
    return ref;
}

// Counts one line solve; looks at the clock and the cancel flag every 256.
bool pz_engine::tick() {
    ++steps;
    if (max_steps && steps > max_steps)
        stop = true;
    if ((steps & 255) == 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            stop = true;
            cancelled = true;
        }
        if (has_deadline && std::chrono::steady_clock::now() >= deadline)
            stop = true;
    }
    return !stop;
}

int pz_engine::solve_line_words(int l) {
    const uint64_t empty_in = can_empty[l], fill_in = can_fill[l];
    uint64_t empty = empty_in, fill = fill_in;
    if (!memory.solve(l, &empty, &fill, [&](uint64_t *can_empty_words, uint64_t *can_fill_words) {
            return pz_solve_line_bits(&runs[run_first[l]], run_count[l], l < height ? width : height, can_empty_words,
                                      can_fill_words);
        }))
        return -1;
    // Cells that lost a value: the unknown ones that are now settled.
    uint64_t settled = (empty_in & fill_in) & ~(empty & fill);
    int count = 0;
    const bool row = l < height;
    for (; settled; ++count) {
        const int i = __builtin_ctzll(settled);
        settled &= settled - 1;
        const int index = row ? l * width + i : i * width + (l - height);
        const pz_cell value = static_cast<pz_cell>(((empty >> i) & 1) | (((fill >> i) & 1) << 1));
        trail.push_back({index, grid[index]});
        --unknown;
        grid[index] = value;
        set_bits(index, value);
        push(row ? height + i : i);
    }
    return count;
}

int pz_engine::solve_line(int l) {
    if (!pz_assert(l >= 0 && l < height + width))
        return -1;
    return narrow_line(l);
}

int pz_engine::narrow_line(int l) {
    if (words)
        return solve_line_words(l);
    const bool row = l < height;
    const int length = row ? width : height;
    const int step = row ? 1 : width;
    pz_cell *first = row ? &grid[static_cast<size_t>(l) * width] : &grid[l - height];
    pz_cell *buffer = line.data();
    for (int i = 0; i < length; ++i)
        buffer[i] = first[i * step];
    const int settled = pz_solve_line(&runs[run_first[l]], run_count[l], buffer, length, scratch);
    if (settled <= 0)
        return settled;
    for (int i = 0; i < length; ++i) {
        pz_cell &cell = first[i * step];
        if (cell != buffer[i]) {
            const int index = static_cast<int>(&cell - grid.data());
            trail.push_back({index, cell});
            --unknown;
            cell = buffer[i];
            push(row ? height + i : i);
        }
    }
    return settled;
}

pz_engine::status pz_engine::propagate(int *broken_line) {
    status result = ok;
    while (!queue.empty()) {
        const int l = queue.pop();
        if (!tick()) {
            result = stopped;
            break;
        }
        if (narrow_line(l) < 0) {
            if (broken_line)
                *broken_line = l;
            result = broken;
            break;
        }
    }
    if (result != ok)
        queue.clear();
    return result;
}

bool pz_engine::sweep(int *sweeps) {
    for (;;) {
        const int before = unknown;
        for (int l = 0; l < height + width; ++l)
            if (narrow_line(l) < 0)
                return false;
        if (unknown == before)
            return true;
        ++*sweeps;
        if (unknown == 0)
            return true;
    }
}

bool pz_engine::look_ahead(int *cells_settled) {
    for (bool progress = true; progress && unknown > 0 && !stop;) {
        progress = false;
        for (int index = 0; index < cells && unknown > 0; ++index) {
            if (grid[index] != pz_unknown)
                continue;
            for (pz_cell value : {pz_filled, pz_empty}) {
                const size_t before = mark();
                set(index, value);
                const status s = propagate();
                undo(before);
                if (s == stopped)
                    return true;
                if (s == broken) {
                    set(index, value == pz_filled ? pz_empty : pz_filled);
                    if (propagate() == broken)
                        return false;
                    ++*cells_settled;
                    progress = true;
                    break;
                }
            }
        }
    }
    return true;
}
