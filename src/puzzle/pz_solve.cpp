// pz_solve.cpp -- line deductions, propagation, probes and the complete solver
#include "puzzle/pz_solve.h"

#include "puzzle/pz_engine.h"

int pz_deduce_line(const pz_puzzle &p, const pz_cell *grid, pz_line_ref line, pz_cell *line_out)
{
    const int length = line.column ? p.height : p.width;
    const int step = line.column ? p.width : 1;
    const pz_cell *first = line.column ? grid + line.index : grid + static_cast<size_t>(line.index) * p.width;
    for (int i = 0; i < length; ++i)
        line_out[i] = first[i * step];
    const pz_clue &clue = line.column ? p.columns[line.index] : p.rows[line.index];
    pz_line_scratch scratch;
    return pz_solve_line(clue.data(), static_cast<int>(clue.size()), line_out, length, scratch);
}

pz_propagation pz_propagate(const pz_puzzle &p, pz_cell *grid)
{
    pz_engine e(p);
    e.load(grid);
    const int before = e.unknown;
    e.push_all();
    int broken = -1;
    pz_propagation r;
    r.contradiction = e.propagate(&broken) == pz_engine::broken;
    if (r.contradiction)
        r.broken = e.line_ref(broken);
    r.settled = before - e.unknown;
    r.solved = !r.contradiction && e.unknown == 0;
    for (int i = 0; i < e.cells; ++i)
        grid[i] = e.grid[i];
    return r;
}

pz_probe pz_probe_cell(const pz_puzzle &p, const pz_cell *grid, int x, int y)
{
    pz_engine e(p);
    e.load(grid);
    pz_probe r;
    const int index = y * p.width + x;
    for (pz_cell value : {pz_filled, pz_empty}) {
        const size_t mark = e.mark();
        int broken = -1;
        bool breaks = !(e.grid[index] & value);
        if (!breaks) {
            // The cell's own lines first, so that the line named is the one the value breaks.
            e.set(index, value);
            e.push_all();
            breaks = e.propagate(&broken) == pz_engine::broken;
        }
        if (value == pz_filled) {
            r.filled_breaks = breaks;
            r.filled_line = breaks && broken >= 0 ? e.line_ref(broken) : pz_line_ref{};
        } else {
            r.empty_breaks = breaks;
            r.empty_line = breaks && broken >= 0 ? e.line_ref(broken) : pz_line_ref{};
        }
        e.undo(mark);
    }
    return r;
}

const char *pz_verdict_name(pz_verdict v)
{
    switch (v) {
    case pz_verdict::none: return "none";
    case pz_verdict::unique: return "unique";
    case pz_verdict::multiple: return "multiple";
    case pz_verdict::found: return "found";
    case pz_verdict::stopped: break;
    }
    return "stopped";
}

namespace {

// The search: at each node, line logic and then look-ahead on every unknown cell
// until neither settles anything more; then a guess on the cell whose two values
// settled most, backtracking through the trail.
struct searcher {
    pz_engine &e;
    std::vector<uint32_t> stamp;      // probe epoch that last recorded the cell's value
    std::vector<pz_cell> probe_value; // the value the filled probe gave the cell
    std::vector<pz_engine::change> common;
    uint32_t epoch = 0;

    enum outcome { dead, solved, open, halted };

    explicit searcher(pz_engine &engine) : e(engine)
    {
        stamp.assign(static_cast<size_t>(e.cells), 0);
        probe_value.assign(static_cast<size_t>(e.cells), 0);
    }

    // Settles what logic and look-ahead can; on open, *guess is the cell to guess and
    // *first the value to try first.
    outcome reduce(int *guess, pz_cell *first)
    {
        for (;;) {
            if (e.unknown == 0)
                return solved;
            bool progress = false;
            long best = -1;
            for (int index = 0; index < e.cells && !e.stop; ++index) {
                if (e.grid[index] != pz_unknown)
                    continue;
                const size_t mark = e.mark();
                e.set(index, pz_filled);
                const pz_engine::status filled = e.propagate();
                const size_t filled_count = e.mark() - mark;
                if (filled == pz_engine::ok) {
                    ++epoch;
                    for (size_t t = mark; t < e.trail.size(); ++t) {
                        const int i = e.trail[t].index;
                        stamp[i] = epoch;
                        probe_value[i] = e.grid[i];
                    }
                }
                e.undo(mark);
                if (filled == pz_engine::stopped)
                    return halted;
                e.set(index, pz_empty);
                const pz_engine::status empty = e.propagate();
                const size_t empty_count = e.mark() - mark;
                if (empty == pz_engine::stopped) {
                    e.undo(mark);
                    return halted;
                }
                if (filled == pz_engine::broken && empty == pz_engine::broken) {
                    e.undo(mark);
                    return dead;
                }
                if (filled == pz_engine::broken) {
                    progress = true; // keep the empty cell and all it implied
                    continue;
                }
                if (empty == pz_engine::broken) {
                    e.undo(mark);
                    e.set(index, pz_filled);
                    const pz_engine::status s = e.propagate();
                    if (s != pz_engine::ok)
                        return s == pz_engine::stopped ? halted : dead;
                    progress = true;
                    continue;
                }
                // Both values hold: what they agree on holds in every solution.
                common.clear();
                for (size_t t = mark + 1; t < e.trail.size(); ++t) {
                    const int i = e.trail[t].index;
                    if (stamp[i] == epoch && probe_value[i] == e.grid[i])
                        common.push_back({i, e.grid[i]});
                }
                e.undo(mark);
                if (!common.empty()) {
                    for (const pz_engine::change &c : common)
                        e.set(c.index, c.before);
                    const pz_engine::status s = e.propagate();
                    if (s != pz_engine::ok)
                        return s == pz_engine::stopped ? halted : dead;
                    progress = true;
                    continue;
                }
                const long low = static_cast<long>(filled_count < empty_count ? filled_count : empty_count);
                const long high = static_cast<long>(filled_count < empty_count ? empty_count : filled_count);
                const long score = low * 65536 + high;
                if (score > best) {
                    best = score;
                    *guess = index;
                    *first = filled_count >= empty_count ? pz_filled : pz_empty;
                }
            }
            if (e.stop)
                return halted;
            if (!progress)
                return e.unknown == 0 ? solved : open;
        }
    }
};

struct frame {
    size_t mark;
    int cell;
    pz_cell other;
    bool second;
};

} // namespace

pz_solution pz_solve(const pz_puzzle &p, const pz_cell *known, const pz_limits &limits, bool prove_unique)
{
    pz_solution out;
    pz_engine e(p);
    e.limit(limits);
    e.load(known);
    e.push_all();
    searcher s(e);
    const size_t wanted = prove_unique ? 2 : 1;
    std::vector<std::vector<uint8_t> *> found;
    std::vector<frame> stack;
    bool halted = false;

    auto record = [&] {
        std::vector<uint8_t> &to = found.empty() ? out.first : out.second;
        to.resize(static_cast<size_t>(e.cells));
        for (int i = 0; i < e.cells; ++i)
            to[i] = e.grid[i] == pz_filled ? 1 : 0;
        found.push_back(&to);
    };
    // Takes the next untried branch; false when none is left.
    auto backtrack = [&] {
        while (!stack.empty()) {
            frame &f = stack.back();
            e.undo(f.mark);
            if (f.second) {
                stack.pop_back();
                continue;
            }
            f.second = true;
            e.set(f.cell, f.other);
            ++out.guesses;
            const pz_engine::status st = e.propagate();
            if (st == pz_engine::stopped) {
                halted = true;
                return false;
            }
            if (st == pz_engine::ok)
                return true;
        }
        return false;
    };

    pz_engine::status st = e.propagate();
    bool alive = st == pz_engine::ok;
    halted = st == pz_engine::stopped;
    while (alive && !halted) {
        int guess = -1;
        pz_cell first = pz_filled;
        const searcher::outcome o = s.reduce(&guess, &first);
        if (o == searcher::halted) {
            halted = true;
            break;
        }
        if (o == searcher::solved) {
            record();
            if (found.size() >= wanted)
                break;
            alive = backtrack();
            continue;
        }
        if (o == searcher::dead) {
            alive = backtrack();
            continue;
        }
        stack.push_back({e.mark(), guess, first == pz_filled ? pz_empty : pz_filled, false});
        e.set(guess, first);
        ++out.guesses;
        st = e.propagate();
        if (st == pz_engine::stopped)
            halted = true;
        else if (st == pz_engine::broken)
            alive = backtrack();
    }

    out.steps = e.steps;
    out.cancelled = e.cancelled;
    if (found.size() >= wanted)
        out.verdict = prove_unique ? pz_verdict::multiple : pz_verdict::found;
    else if (halted)
        out.verdict = pz_verdict::stopped;
    else if (found.size() == 1)
        out.verdict = pz_verdict::unique;
    else
        out.verdict = pz_verdict::none;
    if (out.verdict == pz_verdict::stopped) {
        out.first.clear();
        out.second.clear();
    }
    return out;
}
