// pz_engine.cpp -- the grid, its queue of changed lines and its trail of changes
#include "puzzle/pz_engine.h"

pz_engine::pz_engine(const pz_puzzle &p)
    : width(p.width), height(p.height), cells(p.width * p.height)
{
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
    queue.assign(lines, 0);
    queued.assign(lines, 0);
    line.resize(static_cast<size_t>(width > height ? width : height));
    trail.reserve(static_cast<size_t>(cells));
}

void pz_engine::limit(const pz_limits &limits)
{
    max_steps = limits.max_steps ? steps + limits.max_steps : 0;
    has_deadline = limits.seconds > 0;
    if (has_deadline)
        deadline = std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(limits.seconds));
    cancel = limits.cancel;
}

void pz_engine::load(const pz_cell *known)
{
    unknown = 0;
    for (int i = 0; i < cells; ++i) {
        pz_cell v = known ? (known[i] & pz_unknown) : pz_unknown;
        grid[i] = v ? v : pz_unknown;
        unknown += grid[i] == pz_unknown ? 1 : 0;
    }
    trail.clear();
}

void pz_engine::set(int index, pz_cell value)
{
    if (grid[index] == value)
        return;
    trail.push_back({index, grid[index]});
    if (grid[index] == pz_unknown)
        --unknown;
    grid[index] = value;
    push(index / width);
    push(height + index % width);
}

void pz_engine::push(int l)
{
    if (!queued[l]) {
        queued[l] = 1;
        queue[(queue_head + queue_count) % queue.size()] = l;
        ++queue_count;
    }
}

void pz_engine::push_all()
{
    for (int l = 0; l < height + width; ++l)
        push(l);
}

void pz_engine::undo(size_t to)
{
    while (trail.size() > to) {
        const change &c = trail.back();
        if (grid[c.index] != pz_unknown && c.before == pz_unknown)
            ++unknown;
        grid[c.index] = c.before;
        trail.pop_back();
    }
}

pz_line_ref pz_engine::line_ref(int l) const
{
    pz_line_ref ref;
    ref.column = l >= height;
    ref.index = ref.column ? l - height : l;
    return ref;
}

// Counts one line solve; looks at the clock and the cancel flag every 256.
bool pz_engine::tick()
{
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

int pz_engine::solve_line(int l)
{
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

pz_engine::status pz_engine::propagate(int *broken_line)
{
    status result = ok;
    while (queue_count > 0) {
        const int l = queue[queue_head];
        queue_head = (queue_head + 1) % queue.size();
        --queue_count;
        queued[l] = 0;
        if (!tick()) {
            result = stopped;
            break;
        }
        if (solve_line(l) < 0) {
            if (broken_line)
                *broken_line = l;
            result = broken;
            break;
        }
    }
    if (result != ok) {
        while (queue_count > 0) {
            queued[queue[queue_head]] = 0;
            queue_head = (queue_head + 1) % queue.size();
            --queue_count;
        }
    }
    return result;
}
