// pz_sat.cpp -- a clause-learning search whose propagation is line logic
#include "puzzle/pz_sat.h"

#include <algorithm>

namespace {

// A literal is 2 * cell, plus 1 for the cell empty.
using lit = int;
constexpr lit filled_literal(int cell) { return 2 * cell; }
constexpr int cell_of(lit l) { return l >> 1; }
constexpr lit negation(lit l) { return l ^ 1; }
// A cell's reason: a learnt clause (0 and up), a line (line_reason(l)), or none (a
// guess, or a value given at the root).
constexpr int no_reason = -1;
constexpr int line_reason(int line) { return -2 - line; }

// Cell activities in a binary heap, the most active on top: the next guess.
struct activity_heap {
    std::vector<double> activity;
    std::vector<int> heap, position; // position -1: not in the heap

    bool contains(int v) const { return position[v] >= 0; }
    void up(int i) {
        const int v = heap[i];
        while (i > 0 && activity[heap[(i - 1) / 2]] < activity[v]) {
            heap[i] = heap[(i - 1) / 2];
            position[heap[i]] = i;
            i = (i - 1) / 2;
        }
        heap[i] = v;
        position[v] = i;
    }
    void down(int i) {
        const int v = heap[i], n = static_cast<int>(heap.size());
        for (;;) {
            int child = 2 * i + 1;
            if (child >= n)
                break;
            if (child + 1 < n && activity[heap[child + 1]] > activity[heap[child]])
                ++child;
            if (!(activity[heap[child]] > activity[v]))
                break;
            heap[i] = heap[child];
            position[heap[i]] = i;
            i = child;
        }
        heap[i] = v;
        position[v] = i;
    }
    void insert(int v) {
        if (contains(v))
            return;
        position[v] = static_cast<int>(heap.size());
        heap.push_back(v);
        up(position[v]);
    }
    int pop() {
        const int v = heap[0];
        position[v] = -1;
        heap[0] = heap.back();
        heap.pop_back();
        if (!heap.empty()) {
            position[heap[0]] = 0;
            down(0);
        }
        return v;
    }
};

struct clause {
    int start, size;
    int lbd; // distinct guess levels among its literals when learnt: lower is better
    float activity;
    bool learnt;
};

struct watcher {
    int clause;
    lit blocker; // a literal of the clause: when true, the clause need not be looked at
};

// A run of literals inside a longer array: a reason as the analysis reads it.
struct lit_span {
    const lit *first = nullptr, *last = nullptr;
    const lit *begin() const { return first; }
    const lit *end() const { return last; }
};

} // namespace

// The search as its caller drives it, whatever the word its lines are kept in.
class pz_learning_solver {
public:
    virtual ~pz_learning_solver() = default;
    virtual bool give(int cell, bool filled) = 0;
    virtual bool add(std::vector<int> c) = 0;
    virtual pz_learning_search::result solve(uint64_t until) = 0;
    virtual int cell_count() const = 0;
    virtual bool holds(int cell) const = 0;
    virtual void restart() = 0;
};

namespace {

// The search over lines kept as word (uint64_t, or pz_bits for lines over 62 cells); its
// line cache and its kept reasons store them as stored (a 32-bit word for grids up to 32
// a side, which keeps those tables small and the search quick on them).
//
// Its memory is bounded at any size, under 100 MB at 200 x 200 (40,000 cells):
// - per cell some 110 bytes, and a line-settled cell's reason, at most a line's length
//   of literals: 4 * cells * side bytes, 32 MB at most;
// - the line cache's 2^14 results (2.2 MB in four-word lines) and at most
//   max_reason_sets kept reasons (9.4 MB);
// - learnt clauses: their literals plus 9 words a clause (its record and watches) kept
//   under pz_sat_learnt_words words (16 MB), twice that while they grow or are packed.
template <class word, class stored> class learner final : public pz_learning_solver {
public:
    learner(const pz_puzzle &p, pz_engine &limits, size_t learnt_words)
        : e(limits), width(p.width), height(p.height), max_learnt_units(learnt_words) {
        cells = width * height;
        lines = width + height;
        for (int l = 0; l < lines; ++l) {
            const pz_clue &clue = l < height ? p.rows[l] : p.columns[l - height];
            run_first.push_back(static_cast<int>(runs.size()));
            run_count.push_back(static_cast<int>(clue.size()));
            runs.insert(runs.end(), clue.begin(), clue.end());
            const word all = pz_low_bits<word>(length(l));
            can_empty.push_back(all);
            can_fill.push_back(all);
        }
        queue.reset(lines);
        memory.reset(width > height ? width : height);
        value.assign(static_cast<size_t>(cells), 0);
        level.assign(static_cast<size_t>(cells), 0);
        reason.assign(static_cast<size_t>(cells), no_reason);
        trail_position.assign(static_cast<size_t>(cells), 0);
        phase.assign(static_cast<size_t>(cells), 1); // empty first: most cells of most pictures are
        seen.assign(static_cast<size_t>(cells), 0);
        explained.assign(static_cast<size_t>(cells), {});
        explained_ok.assign(static_cast<size_t>(cells), 0);
        longest = width > height ? width : height;
        reason_slot.assign(static_cast<size_t>(lines) * (longest + 1) * 2, -1);
        watches.resize(2 * static_cast<size_t>(cells));
        heap.activity.assign(static_cast<size_t>(cells), 0);
        heap.position.assign(static_cast<size_t>(cells), -1);
        for (int c = 0; c < cells; ++c)
            heap.insert(c);
        for (int l = 0; l < lines; ++l)
            queue.push(l);
    }

    // Gives a cell its value at the root; false when that cannot hold.
    bool give(int cell, bool filled) override {
        const lit l = filled_literal(cell) + (filled ? 0 : 1);
        if (truth(l) != 0)
            return ok = ok && truth(l) > 0;
        assign(l, no_reason);
        return true;
    }

    // Adds a clause at the root; false when the clauses can no longer all hold.
    bool add(std::vector<lit> c) override {
        if (!ok)
            return false;
        size_t kept = 0;
        for (lit l : c) {
            const int v = truth(l);
            if (v > 0)
                return true; // holds already
            if (v == 0)
                c[kept++] = l;
        }
        c.resize(kept);
        if (c.empty())
            return ok = false;
        if (c.size() == 1) {
            assign(c[0], no_reason);
            return true;
        }
        attach(store(c, false, 0));
        return true;
    }

    // Searches on from where the last call left off: solution when every cell holds a
    // value that every line and clause allows, exhausted when no such values exist,
    // paused at the first conflict once the limits' steps reach until, stopped when the
    // limits ended the search.
    pz_learning_search::result solve(uint64_t until) override {
        if (!ok)
            return pz_learning_search::exhausted;
        for (;;) {
            const bool conflict = propagate();
            if (e.stop)
                return pz_learning_search::stopped;
            if (conflict) {
                ++conflicts_this_run;
                if (trail.size() > longest_trail) {
                    longest_trail = trail.size();
                    for (lit l : trail)
                        phase[cell_of(l)] = static_cast<uint8_t>(l & 1);
                }
                if (trail_limits.empty()) {
                    ok = false;
                    return pz_learning_search::exhausted;
                }
                int back_to = 0;
                analyse(&back_to);
                backtrack(back_to);
                if (learnt.size() == 1) {
                    assign(learnt[0], no_reason);
                } else {
                    const int c = store(learnt, true, learnt_lbd);
                    attach(c);
                    assign(learnt[0], c);
                }
                cell_bump *= 1 / 0.95;
                clause_bump *= 1 / 0.999f;
                if (learnt_units > max_learnt_units)
                    reduce(); // many long clauses of a large grid: cut back without waiting for a restart
                if (e.steps >= until)
                    return pz_learning_search::paused;
                continue;
            }
            if (conflicts_this_run >= 100 * restart_length(run + 1)) {
                conflicts_this_run = 0;
                ++run;
                longest_trail = 0;
                backtrack(0);
                if (learnt_count > max_learnt)
                    reduce();
                continue;
            }
            int next = -1;
            while (!heap.heap.empty()) {
                const int v = heap.pop();
                if (value[v] == 0) {
                    next = v;
                    break;
                }
            }
            if (next < 0)
                return pz_learning_search::solution_found;
            trail_limits.push_back(static_cast<int>(trail.size()));
            assign(filled_literal(next) + phase[next], no_reason);
        }
    }

    int cell_count() const override { return cells; }

    // Whether the cell is filled in the solution found.
    bool holds(int cell) const override { return value[cell] > 0; }

    // Back to the root, so that a clause may be added.
    void restart() override { backtrack(0); }

private:
    pz_engine &e;
    int width, height, cells = 0, lines = 0, longest = 0;
    bool ok = true;
    uint64_t conflicts_this_run = 0, run = 0;

    // The lines as words: bit i of a row is cell (i, row), of a column cell (column, i).
    std::vector<int> runs, run_first, run_count;
    std::vector<word> can_empty, can_fill;
    // The lines whose cells changed since line logic last saw them, first in first out:
    // taking the latest first builds long chains of line verdicts, whose reasons make
    // long learnt clauses, and the search needs about twice the line solves.
    pz_line_queue queue;
    // Every line solve goes through it (2^14 results): a search meets the same line in
    // the same state over and over, and its reasons ask again about each.
    mutable pz_line_cache<14, word, stored> memory;

    std::vector<int8_t> value; // by cell: 1 filled, -1 empty, 0 open
    std::vector<int> level, reason, trail_position;
    std::vector<uint8_t> seen;
    // The value each cell is guessed to take (1 empty): its value in the longest trail
    // reached without a conflict since the last restart. Heading back to the picture
    // nearest to a solution seen so far finds solutions sooner than guessing each
    // cell's last value.
    std::vector<uint8_t> phase;
    size_t longest_trail = 0;
    activity_heap heap;
    double cell_bump = 1;
    float clause_bump = 1;
    std::vector<lit> trail;
    std::vector<int> trail_limits; // where each guess level starts on the trail
    size_t head = 0;               // the trail's literals before it are propagated through the clauses

    std::vector<lit> literals;
    std::vector<clause> clauses;
    std::vector<std::vector<watcher>> watches; // by literal: clauses watching it, looked at when it turns false
    size_t learnt_count = 0, max_learnt = 2000;
    // Learnt clauses' size in 4-byte words: literals, and clause_overhead a clause.
    size_t learnt_units = 0;
    const size_t max_learnt_units;
    static constexpr size_t clause_overhead = 9;

    int conflict_clause = no_reason; // the broken clause or line of the last propagate
    std::vector<lit> learnt, because;
    int learnt_lbd = 0;
    std::vector<int> level_stamp, touched;
    int stamp = 0;
    // Reasons for line verdicts, the last four cut down for each line, cell and value
    // (cell -1: the line breaks): the same verdicts come up again and again. A slot a
    // line, cell and value, each set made on first use; past max_reason_sets (a few MB
    // on a large grid) they are all dropped and made again as needed.
    struct line_reasons {
        struct cells {
            stored filled, empty; // the cells of the line the verdict needs filled, empty
            bool known;
        } recent[4] = {};
    };
    std::vector<int32_t> reason_slot; // by line, cell + 1 and value: the set in reason_sets, -1 none
    std::vector<line_reasons> reason_sets;
    static constexpr size_t max_reason_sets = size_t{1} << 15;
    // A line-settled cell's reason as false literals, worked out when first needed.
    std::vector<std::vector<lit>> explained;
    std::vector<uint8_t> explained_ok;

    int length(int line) const { return line < height ? width : height; }
    int truth(lit l) const { return (l & 1) ? -value[cell_of(l)] : value[cell_of(l)]; }
    // The cell at position i of a line.
    int line_cell(int line, int i) const { return line < height ? line * width + i : i * width + (line - height); }

    void assign(lit l, int why) {
        const int c = cell_of(l);
        const bool filled = !(l & 1);
        value[c] = filled ? 1 : -1;
        level[c] = static_cast<int>(trail_limits.size());
        reason[c] = why;
        trail_position[c] = static_cast<int>(trail.size());
        explained_ok[c] = 0;
        trail.push_back(l);
        const int x = c % width, y = c / width;
        pz_bit_clear((filled ? can_empty : can_fill)[y], x);
        pz_bit_clear((filled ? can_empty : can_fill)[height + x], y);
        queue.push(y);
        queue.push(height + x);
    }

    int store(const std::vector<lit> &c, bool is_learnt, int lbd) {
        clauses.push_back({static_cast<int>(literals.size()), static_cast<int>(c.size()), lbd, 0, is_learnt});
        literals.insert(literals.end(), c.begin(), c.end());
        learnt_count += is_learnt;
        learnt_units += is_learnt ? c.size() + clause_overhead : 0;
        return static_cast<int>(clauses.size()) - 1;
    }

    void attach(int c) {
        const lit *l = &literals[clauses[c].start];
        watches[l[0]].push_back({c, l[1]});
        watches[l[1]].push_back({c, l[0]});
    }

    // The clauses' unit propagation with two watched literals: false on a broken clause.
    bool propagate_clauses() {
        while (head < trail.size()) {
            const lit falsified = negation(trail[head++]);
            std::vector<watcher> &ws = watches[falsified];
            size_t i = 0, j = 0;
            while (i < ws.size()) {
                const watcher w = ws[i++];
                if (truth(w.blocker) > 0) {
                    ws[j++] = w;
                    continue;
                }
                lit *c = &literals[clauses[w.clause].start];
                const int size = clauses[w.clause].size;
                if (c[0] == falsified)
                    std::swap(c[0], c[1]);
                if (truth(c[0]) > 0) {
                    ws[j++] = {w.clause, c[0]};
                    continue;
                }
                bool moved = false;
                for (int k = 2; k < size; ++k)
                    if (truth(c[k]) >= 0) {
                        std::swap(c[1], c[k]);
                        watches[c[1]].push_back({w.clause, c[0]});
                        moved = true;
                        break;
                    }
                if (moved)
                    continue;
                ws[j++] = {w.clause, c[0]};
                if (truth(c[0]) < 0) {
                    while (i < ws.size())
                        ws[j++] = ws[i++];
                    ws.resize(j);
                    conflict_clause = w.clause;
                    return false;
                }
                assign(c[0], w.clause);
            }
            ws.resize(j);
        }
        return true;
    }

    // Clauses and line logic until neither settles more: true on a conflict, named by
    // conflict_clause.
    bool propagate() {
        for (;;) {
            if (!propagate_clauses())
                return true;
            if (queue.empty())
                return false;
            const int l = queue.pop();
            word empty = can_empty[l], fill = can_fill[l];
            if (!solve_line(l, &empty, &fill)) {
                conflict_clause = line_reason(l);
                return true;
            }
            pz_each_bit((can_empty[l] & can_fill[l]) & ~(empty & fill), [&](int i) {
                assign(filled_literal(line_cell(l, i)) + (pz_bit(fill, i) ? 0 : 1), line_reason(l));
            });
        }
    }

    // Line logic on a line's words, through the line cache.
    bool solve_line(int line, word *empty, word *fill) const {
        e.tick(); // the limits count line solves; the search looks at them after each propagation
        return memory.solve(line, empty, fill, [&](word *can_empty_words, word *can_fill_words) {
            return pz_solve_line_bits(runs.data() + run_first[line], run_count[line], length(line), can_empty_words,
                                      can_fill_words);
        });
    }

    // Whether line logic on the line's cells in given (those whose bit is clear in
    // the words' complement) still breaks the line (cell < 0) or settles cell as want.
    bool still_follows(int line, word empty, word fill, int cell_bit, bool want_filled) const {
        const bool holds_up = solve_line(line, &empty, &fill);
        if (cell_bit < 0)
            return !holds_up;
        return holds_up && !pz_bit(want_filled ? empty : fill, cell_bit);
    }

    // The false literals behind a line's verdict: the line's cells set before limit
    // (a trail position), cut down one at a time to those the verdict needs: settling
    // target (a cell of the line), or breaking the line when target is -1.
    void explain_line(int line, int limit, int target, std::vector<lit> *out) {
        const int n = length(line);
        const word all = pz_low_bits<word>(n);
        word empty = all, fill = all;
        int given[pz_max_size], count = 0; // n cells at most
        const int target_bit = target < 0 ? -1 : line < height ? target % width : target / width;
        pz_each_bit(all & ~(can_empty[line] & can_fill[line]), [&](int i) {
            const int c = line_cell(line, i);
            if (trail_position[c] >= limit)
                return;
            given[count++] = i;
            pz_bit_clear(value[c] > 0 ? empty : fill, i);
        });
        const bool want_filled = target >= 0 && value[target] > 0;
        out->clear();
        // A reason found before serves again when its cells are among those given now:
        // line logic only settles more from more.
        const stored given_filled = static_cast<stored>(all & ~empty), given_empty = static_cast<stored>(all & ~fill);
        int32_t &slot = reason_slot[(static_cast<size_t>(line) * (longest + 1) + (target_bit + 1)) * 2 + want_filled];
        if (slot < 0) {
            if (reason_sets.size() >= max_reason_sets) {
                std::fill(reason_slot.begin(), reason_slot.end(), -1);
                reason_sets.clear();
            }
            slot = static_cast<int32_t>(reason_sets.size());
            reason_sets.emplace_back();
        }
        line_reasons &kept = reason_sets[static_cast<size_t>(slot)];
        for (const typename line_reasons::cells &r : kept.recent)
            if (r.known && !(r.filled & ~given_filled) && !(r.empty & ~given_empty)) {
                pz_each_bit(r.filled | r.empty, [&](int i) {
                    out->push_back(filled_literal(line_cell(line, i)) + (pz_bit(r.filled, i) ? 1 : 0));
                });
                return;
            }
        typename line_reasons::cells cut{stored{}, stored{}, true};
        // The latest first, so that the reason leans on cells settled earlier.
        std::sort(given, given + count, [&](int a, int b) {
            return trail_position[line_cell(line, a)] > trail_position[line_cell(line, b)];
        });
        for (int k = 0; k < count; ++k) {
            word bit{};
            pz_bit_set(bit, given[k]);
            if (still_follows(line, empty | bit, fill | bit, target_bit, want_filled)) {
                empty |= bit;
                fill |= bit;
                continue;
            }
            const int c = line_cell(line, given[k]);
            out->push_back(filled_literal(c) + (value[c] > 0 ? 1 : 0));
            pz_bit_set(value[c] > 0 ? cut.filled : cut.empty, given[k]);
        }
        std::copy_backward(kept.recent, kept.recent + 3, kept.recent + 4);
        kept.recent[0] = cut;
    }

    // The false literals that forced cell (its reason without the cell itself): a
    // clause's other literals, or the cut-down cells of a line, worked out once.
    lit_span reason_of(int cell) {
        const int why = reason[cell];
        if (why >= 0) {
            const lit *c = literals.data() + clauses[why].start;
            return {c + 1, c + clauses[why].size};
        }
        if (why == no_reason)
            return {};
        std::vector<lit> &out = explained[cell];
        if (!explained_ok[cell]) {
            explain_line(-2 - why, trail_position[cell], cell, &out);
            explained_ok[cell] = 1;
        }
        return {out.data(), out.data() + out.size()};
    }

    void bump(int v) {
        heap.activity[v] += cell_bump;
        if (heap.activity[v] > 1e100) {
            for (double &a : heap.activity)
                a *= 1e-100;
            cell_bump *= 1e-100;
        }
        if (heap.contains(v))
            heap.up(heap.position[v]);
    }

    // The first unique implication point: learnt gets the clause that the conflict
    // teaches, its first literal the one it asserts, *back_to the level to return to.
    void analyse(int *back_to) {
        learnt.assign(1, 0);
        const int current = static_cast<int>(trail_limits.size());
        if (conflict_clause >= 0) {
            clause &c = clauses[conflict_clause];
            because.assign(literals.begin() + c.start, literals.begin() + c.start + c.size);
        } else {
            explain_line(-2 - conflict_clause, static_cast<int>(trail.size()), -1, &because);
        }
        int pending = 0;
        lit p = -1;
        size_t index = trail.size();
        touched.clear();
        lit_span reasons{because.data(), because.data() + because.size()};
        for (;;) {
            if (p >= 0 && reason[cell_of(p)] >= 0) {
                clause &c = clauses[reason[cell_of(p)]];
                if (c.learnt && (c.activity += clause_bump) > 1e20f) {
                    for (clause &each : clauses)
                        each.activity *= 1e-20f;
                    clause_bump *= 1e-20f;
                }
            }
            for (lit q : reasons) {
                const int v = cell_of(q);
                if (seen[v] || level[v] == 0)
                    continue;
                seen[v] = 1;
                touched.push_back(v);
                bump(v);
                if (level[v] >= current)
                    ++pending;
                else
                    learnt.push_back(q);
            }
            while (!seen[cell_of(trail[--index])]) {
            }
            p = trail[index];
            seen[cell_of(p)] = 0;
            if (--pending == 0)
                break;
            reasons = reason_of(cell_of(p));
        }
        learnt[0] = negation(p);
        // A literal whose own reason lies within the clause adds nothing: drop it. (Following
        // reasons back further, as far as the clause's literals, made shorter clauses but
        // took longer over the large corpus.)
        size_t kept = 1;
        for (size_t k = 1; k < learnt.size(); ++k) {
            const int v = cell_of(learnt[k]);
            bool implied = reason[v] != no_reason;
            if (implied)
                for (lit q : reason_of(v))
                    if (!seen[cell_of(q)] && level[cell_of(q)] != 0) {
                        implied = false;
                        break;
                    }
            if (!implied)
                learnt[kept++] = learnt[k];
        }
        learnt.resize(kept);
        for (int v : touched)
            seen[v] = 0;
        *back_to = 0;
        if (learnt.size() > 1) {
            size_t highest = 1;
            for (size_t k = 2; k < learnt.size(); ++k)
                if (level[cell_of(learnt[k])] > level[cell_of(learnt[highest])])
                    highest = k;
            std::swap(learnt[1], learnt[highest]);
            *back_to = level[cell_of(learnt[1])];
        }
        if (level_stamp.size() <= static_cast<size_t>(current))
            level_stamp.resize(static_cast<size_t>(current) + 1, 0);
        ++stamp;
        learnt_lbd = 0;
        for (lit l : learnt) {
            int &s = level_stamp[level[cell_of(l)]];
            if (s != stamp) {
                s = stamp;
                ++learnt_lbd;
            }
        }
    }

    void backtrack(int to) {
        if (static_cast<int>(trail_limits.size()) <= to)
            return;
        const size_t first = static_cast<size_t>(trail_limits[to]);
        for (size_t i = trail.size(); i-- > first;) {
            const int c = cell_of(trail[i]);
            const int x = c % width, y = c / width;
            pz_bit_set(can_empty[y], x);
            pz_bit_set(can_fill[y], x);
            pz_bit_set(can_empty[height + x], y);
            pz_bit_set(can_fill[height + x], y);
            value[c] = 0;
            reason[c] = no_reason;
            heap.insert(c);
        }
        trail.resize(first);
        trail_limits.resize(static_cast<size_t>(to));
        head = std::min(head, first);
        // Every line agreed with the cells left before the guesses now undone.
        queue.clear();
    }

    // Keeps the better half of the learnt clauses (and every short one) within half of
    // max_learnt_units, packing the clauses and rebuilding the watches. At the root
    // (after a restart) the clause budget then grows; below it (too many literals), the
    // clauses behind the values set are kept.
    void reduce() {
        const bool at_root = trail_limits.empty();
        std::vector<uint8_t> dropped(clauses.size(), 0), locked(clauses.size(), 0);
        if (!at_root)
            for (lit l : trail)
                if (reason[cell_of(l)] >= 0)
                    locked[reason[cell_of(l)]] = 1;
        std::vector<int> order;
        for (int c = 0; c < static_cast<int>(clauses.size()); ++c)
            if (clauses[c].learnt && !locked[c])
                order.push_back(c);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            if (clauses[a].lbd != clauses[b].lbd)
                return clauses[a].lbd < clauses[b].lbd;
            return clauses[a].activity > clauses[b].activity;
        });
        size_t units_kept = 0;
        for (size_t k = 0; k < order.size(); ++k) {
            const clause &c = clauses[order[k]];
            const bool wanted = k < order.size() / 2 || c.lbd <= 2;
            const size_t units = static_cast<size_t>(c.size) + clause_overhead;
            if (wanted && units_kept + units <= max_learnt_units / 2)
                units_kept += units;
            else
                dropped[order[k]] = 1;
        }
        std::vector<lit> packed;
        std::vector<clause> kept;
        std::vector<int> moved_to(clauses.size(), no_reason);
        learnt_count = learnt_units = 0;
        for (size_t c = 0; c < clauses.size(); ++c) {
            if (dropped[c])
                continue;
            clause n = clauses[c];
            n.start = static_cast<int>(packed.size());
            packed.insert(packed.end(), literals.begin() + clauses[c].start,
                          literals.begin() + clauses[c].start + clauses[c].size);
            learnt_count += n.learnt;
            learnt_units += n.learnt ? static_cast<size_t>(n.size) + clause_overhead : 0;
            moved_to[c] = static_cast<int>(kept.size());
            kept.push_back(n);
        }
        literals.swap(packed);
        clauses.swap(kept);
        for (std::vector<watcher> &w : watches)
            w.clear();
        for (int c = 0; c < static_cast<int>(clauses.size()); ++c)
            attach(c);
        if (at_root) {
            for (lit l : trail)
                reason[cell_of(l)] = no_reason; // root values need no reasons
            head = 0;                           // the watches are new: look at every root value again
            max_learnt += max_learnt / 10;
        } else {
            for (lit l : trail)
                if (reason[cell_of(l)] >= 0)
                    reason[cell_of(l)] = moved_to[reason[cell_of(l)]];
        }
    }

    // The restart schedule 1, 1, 2, 1, 1, 2, 4, ... (run i from 1), in units of 100
    // conflicts: short runs leave an early bad guess behind, and the runs that grow
    // without bound keep the search complete.
    static uint64_t restart_length(uint64_t i) {
        for (;;) {
            uint64_t k = 1;
            while ((uint64_t{1} << k) - 1 < i)
                ++k;
            if ((uint64_t{1} << k) - 1 == i)
                return uint64_t{1} << (k - 1);
            i -= (uint64_t{1} << (k - 1)) - 1;
        }
    }
};

} // namespace

pz_learning_search::pz_learning_search(const pz_puzzle &p, const pz_cell *known, pz_engine &limits,
                                       size_t learnt_words) {
    if (!pz_assert(p.width >= 1 && p.height >= 1 && p.width <= pz_sat_max_side && p.height <= pz_sat_max_side))
        return; // no solver: every run reports stopped
    // The narrowest word that holds the grid's lines: one word for most grids, and small
    // tables for those up to 32 a side, which most puzzles are.
    const int longest = p.width > p.height ? p.width : p.height;
    if (longest <= pz_max_short_line)
        s = std::make_unique<learner<uint64_t, uint32_t>>(p, limits, learnt_words);
    else if (longest <= pz_max_word_line)
        s = std::make_unique<learner<uint64_t, uint64_t>>(p, limits, learnt_words);
    else if (longest <= 126)
        s = std::make_unique<learner<pz_bits<2>, pz_bits<2>>>(p, limits, learnt_words);
    else
        s = std::make_unique<learner<pz_bits<4>, pz_bits<4>>>(p, limits, learnt_words);
    for (int i = 0; i < p.width * p.height; ++i)
        if (known && (known[i] & pz_unknown) != pz_unknown)
            for (pz_cell value : {pz_filled, pz_empty}) // a cell allowing neither gets both, which fails
                if (!(known[i] & value))
                    s->give(i, value == pz_empty);
}

pz_learning_search::~pz_learning_search() = default;

void pz_learning_search::rule_out(const std::vector<uint8_t> &solution) {
    if (!s)
        return;
    s->restart();
    std::vector<lit> differs;
    for (size_t i = 0; i < solution.size(); ++i)
        differs.push_back(filled_literal(static_cast<int>(i)) + (solution[i] ? 1 : 0));
    s->add(differs);
}

pz_learning_search::result pz_learning_search::run(uint64_t until_steps, std::vector<uint8_t> *solution) {
    if (!s)
        return stopped;
    const result r = s->solve(until_steps);
    if (r == solution_found) {
        solution->resize(static_cast<size_t>(s->cell_count()));
        for (size_t i = 0; i < solution->size(); ++i)
            (*solution)[i] = s->holds(static_cast<int>(i)) ? 1 : 0;
    }
    return r;
}

pz_verdict pz_sat_search(const pz_puzzle &p, const pz_cell *known, pz_engine &limits, size_t wanted,
                         std::vector<std::vector<uint8_t>> *found, size_t learnt_words) {
    pz_learning_search search(p, known, limits, learnt_words);
    for (const std::vector<uint8_t> &f : *found)
        search.rule_out(f);
    std::vector<uint8_t> solution;
    while (found->size() < wanted) {
        const pz_learning_search::result r = search.run(UINT64_MAX, &solution);
        if (r == pz_learning_search::stopped)
            return pz_verdict::stopped;
        if (r != pz_learning_search::solution_found)
            return pz_verdict::none;
        found->push_back(solution);
        search.rule_out(solution);
    }
    return pz_verdict::found;
}
