// pz_solve.cpp -- line deductions, propagation, probes and the complete solver
#include "puzzle/pz_solve.h"

#include "puzzle/pz_engine.h"
#include "puzzle/pz_sat.h"

#include <memory>

int pz_deduce_line(const pz_puzzle &p, const pz_cell *grid, pz_line_ref line, pz_cell *line_out) {
    if (!pz_assert(line.index >= 0 && line.index < (line.column ? p.width : p.height)))
        return -1;
    const int length = line.column ? p.height : p.width;
    const int step = line.column ? p.width : 1;
    const pz_cell *first = line.column ? grid + line.index : grid + static_cast<size_t>(line.index) * p.width;
    for (int i = 0; i < length; ++i)
        line_out[i] = first[i * step];
    const pz_clue &clue = line.column ? p.columns[line.index] : p.rows[line.index];
    pz_line_scratch scratch;
    return pz_solve_line(clue.data(), static_cast<int>(clue.size()), line_out, length, scratch);
}

pz_propagation pz_propagate(const pz_puzzle &p, pz_cell *grid) {
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

pz_probe pz_probe_cell(const pz_puzzle &p, const pz_cell *grid, int x, int y) {
    pz_probe r;
    if (!pz_assert(x >= 0 && x < p.width && y >= 0 && y < p.height))
        return r;
    pz_engine e(p);
    e.load(grid);
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

const char *pz_verdict_name(pz_verdict v) {
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
// settled most, backtracking through the trail. A probe that completes the grid has
// found a solution; solutions are kept without repeats, up to the number wanted, and
// a branch whose only completion is a solution already kept counts as a dead end.
struct searcher {
    pz_engine &e;
    size_t wanted;
    std::vector<std::vector<uint8_t>> found;
    std::vector<uint32_t> stamp;      // probe epoch that last recorded the cell's value
    std::vector<pz_cell> probe_value; // the value the filled probe gave the cell
    std::vector<pz_engine::change> common;
    uint32_t epoch = 0;
    // A cell whose two probes both held and agreed on nothing keeps their counts, with
    // the number of the grid state they were taken in; a pass after the grid last changed
    // reuses them instead of probing again.
    uint64_t state = 0;
    std::vector<uint64_t> seen;
    std::vector<size_t> seen_filled, seen_empty;

    enum outcome { dead, done, open, halted };

    searcher(pz_engine &engine, size_t want) : e(engine), wanted(want) {
        stamp.assign(static_cast<size_t>(e.cells), 0);
        probe_value.assign(static_cast<size_t>(e.cells), 0);
        seen.assign(static_cast<size_t>(e.cells), 0);
        seen_filled.assign(static_cast<size_t>(e.cells), 0);
        seen_empty.assign(static_cast<size_t>(e.cells), 0);
    }

    // Keeps the complete grid as a solution unless it is one already kept; true when
    // enough are kept.
    bool record() {
        std::vector<uint8_t> s(static_cast<size_t>(e.cells));
        for (int i = 0; i < e.cells; ++i)
            s[i] = e.grid[i] == pz_filled ? 1 : 0;
        for (const std::vector<uint8_t> &f : found)
            if (f == s)
                return false;
        found.push_back(std::move(s));
        return found.size() >= wanted;
    }

    // Settles what logic and look-ahead can. done: enough solutions are kept, or this
    // node's grid is complete (and kept); open: *guess is the cell to guess and *first
    // the value to try first.
    outcome reduce(int *guess, pz_cell *first) {
        ++state; // the grid has changed since the last call
        for (;;) {
            if (e.unknown == 0)
                return record() ? done : dead; // a repeat leads nowhere new
            bool progress = false;
            outcome failed = dead;
            // Propagates a settled cell's consequences: false with *why when the grid
            // breaks or the limit stops the work; else notes the progress.
            auto settle = [&](outcome *why) {
                const pz_engine::status s = e.propagate();
                if (s != pz_engine::ok) {
                    *why = s == pz_engine::stopped ? halted : dead;
                    return false;
                }
                progress = true;
                ++state;
                return true;
            };
            long best = -1;
            for (int index = 0; index < e.cells && !e.stop; ++index) {
                if (e.grid[index] != pz_unknown)
                    continue;
                size_t filled_count = seen_filled[index], empty_count = seen_empty[index];
                if (seen[index] != state) {
                    const size_t mark = e.mark();
                    e.set(index, pz_filled);
                    pz_engine::status filled = e.propagate();
                    filled_count = e.mark() - mark;
                    if (filled == pz_engine::ok && e.unknown == 0) {
                        if (record()) {
                            e.undo(mark);
                            return done;
                        }
                        filled = pz_engine::broken; // only a solution already kept down there
                    }
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
                    pz_engine::status empty = e.propagate();
                    empty_count = e.mark() - mark;
                    if (empty == pz_engine::stopped) {
                        e.undo(mark);
                        return halted;
                    }
                    if (empty == pz_engine::ok && e.unknown == 0) {
                        if (record()) {
                            e.undo(mark);
                            return done;
                        }
                        empty = pz_engine::broken;
                    }
                    if (filled == pz_engine::broken && empty == pz_engine::broken) {
                        e.undo(mark);
                        return dead;
                    }
                    if (filled == pz_engine::broken) {
                        progress = true; // keep the empty cell and all it implied
                        ++state;
                        continue;
                    }
                    if (empty == pz_engine::broken) {
                        e.undo(mark);
                        e.set(index, pz_filled);
                        if (!settle(&failed))
                            return failed;
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
                        if (!settle(&failed))
                            return failed;
                        continue;
                    }
                    seen[index] = state;
                    seen_filled[index] = filled_count;
                    seen_empty[index] = empty_count;
                }
                const long score = static_cast<long>(filled_count + 1) * static_cast<long>(empty_count + 1);
                if (score > best) {
                    best = score;
                    *guess = index;
                    // Once a solution is kept, a new one must differ from it somewhere.
                    if (!found.empty())
                        *first = found[0][index] ? pz_empty : pz_filled;
                    else
                        *first = filled_count >= empty_count ? pz_empty : pz_filled; // the value that constrains less
                }
            }
            if (e.stop)
                return halted;
            if (!progress)
                return e.unknown == 0 ? (record() ? done : dead) : open;
        }
    }
};

// The searches' turns, in line solves. This search finishes most puzzles within its
// first turn; the learner, about four times dearer a line solve, wins on most of the
// rest, so it gets the longer turns (about half a second on a 25 x 25 puzzle). On grids
// over 32 a side this search seldom wins (its look-ahead probes every cell of a large
// grid): there it keeps a short first turn for the puzzles it finishes at once, and the
// learner gets long ones. Over a sample of the large corpus, 100,000 and 8 million took
// a quarter less time than these turns, and 250,000 and 4 million a tenth less.
constexpr uint64_t plain_turn_steps = 500000, learner_turn_steps = 2000000;
constexpr uint64_t large_plain_turn_steps = 100000, large_learner_turn_steps = 8000000;

struct frame {
    size_t mark;
    int cell;
    pz_cell other;
    bool second;
};

} // namespace

pz_solution pz_solve(const pz_puzzle &p, const pz_cell *known, const pz_limits &limits, bool prove_unique) {
    pz_solution out;
    pz_engine e(p);
    e.remember_lines();
    e.limit(limits);
    e.load(known);
    e.push_all();
    searcher s(e, prove_unique ? 2 : 1);
    std::vector<frame> stack;
    bool halted = false;

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
    // A search that meets dead end after dead end takes turns with the clause-learning
    // search: each is much quicker on some puzzles, and either one ending settles the verdict.
    const bool large = p.width > pz_max_short_line || p.height > pz_max_short_line;
    const uint64_t plain_steps = large ? large_plain_turn_steps : plain_turn_steps;
    const uint64_t learner_steps = large ? large_learner_turn_steps : learner_turn_steps;
    // The steps at which this search's turn ends; 0: not begun. On a large grid the turns
    // run from the start and change at any node, not only at dead ends: there one pass of
    // look-ahead over every cell can take the whole first turn, and its first dead end may
    // come only minutes later.
    uint64_t turn_ends = large ? e.steps + plain_steps : 0;
    std::unique_ptr<pz_learning_search> learner;
    size_t told = 0; // solutions the learner rules out
    std::vector<uint8_t> solution;
    // The learner's turn: false when it has settled the verdict or the limits stopped it.
    auto learner_turn = [&] {
        // The learner starts from the cells given, not from what look-ahead settled:
        // given those too, it took longer over sample puzzles.
        if (!learner)
            learner = std::make_unique<pz_learning_search>(p, known, e);
        for (;;) {
            for (; told < s.found.size(); ++told)
                learner->rule_out(s.found[told]);
            const pz_learning_search::result r = learner->run(e.steps + learner_steps, &solution);
            if (r == pz_learning_search::paused)
                return true;
            if (r == pz_learning_search::stopped)
                halted = true;
            if (r != pz_learning_search::solution_found)
                return false;
            s.found.push_back(solution); // new: every solution kept is ruled out
            if (s.found.size() >= s.wanted)
                return false;
        }
    };
    auto give_up = [&] {
        if (!stack.empty()) {
            if (turn_ends == 0)
                turn_ends = e.steps + plain_steps; // the turns begin with the first dead end
            else if (e.steps >= turn_ends) {
                if (!learner_turn())
                    return false;
                turn_ends = e.steps + plain_steps;
            }
        }
        return backtrack();
    };
    while (alive && !halted) {
        int guess = -1;
        pz_cell first = pz_filled;
        const searcher::outcome o = s.reduce(&guess, &first);
        if (o == searcher::halted) {
            halted = true;
            break;
        }
        if (s.found.size() >= s.wanted)
            break;
        if (o == searcher::done || o == searcher::dead) {
            alive = give_up();
            continue;
        }
        if (large && e.steps >= turn_ends) {
            if (!learner_turn())
                break;
            turn_ends = e.steps + plain_steps;
        }
        stack.push_back({e.mark(), guess, first == pz_filled ? pz_empty : pz_filled, false});
        e.set(guess, first);
        ++out.guesses;
        st = e.propagate();
        if (st == pz_engine::stopped)
            halted = true;
        else if (st == pz_engine::broken)
            alive = give_up();
    }

    out.steps = e.steps;
    out.cancelled = e.cancelled;
    if (s.found.size() >= s.wanted)
        out.verdict = prove_unique ? pz_verdict::multiple : pz_verdict::found;
    else if (halted)
        out.verdict = pz_verdict::stopped;
    else
        out.verdict = s.found.size() == 1 ? pz_verdict::unique : pz_verdict::none;
    if (out.verdict != pz_verdict::stopped) {
        if (!s.found.empty())
            out.first = std::move(s.found[0]);
        if (s.found.size() > 1)
            out.second = std::move(s.found[1]);
    }
    return out;
}
