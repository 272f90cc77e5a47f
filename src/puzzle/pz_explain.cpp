// pz_explain.cpp -- the reasons behind a line's deduction, each tested with the line solver
#include "puzzle/pz_explain.h"

#include <algorithm>
#include <cstdlib>

namespace {

using line_cells = std::vector<pz_cell>;

// One line under study: its runs, and the line solver with a buffer of its own.
struct line_study {
    const int *runs;
    int k, n;
    pz_line_scratch scratch;
    line_cells part;

    // Whether runs [from, to) fit into cells [a, b) as they stand.
    bool fits(int from, int to, const pz_cell *cells, int a, int b) {
        if (b <= a)
            return from == to;
        part.assign(cells + a, cells + b);
        return pz_solve_line(runs + from, to - from, part.data(), b - a, scratch) >= 0;
    }

    // Whether run j can start at s: its cells may be filled, its neighbours may stay
    // empty, and the runs before and after it fit into the two sides.
    bool can_start(int j, int s, const pz_cell *cells) {
        const int r = runs[j];
        if (s < 0 || s + r > n)
            return false;
        for (int i = s; i < s + r; ++i)
            if (!(cells[i] & pz_filled))
                return false;
        if ((s > 0 && !(cells[s - 1] & pz_empty)) || (s + r < n && !(cells[s + r] & pz_empty)))
            return false;
        return fits(0, j, cells, 0, s - 1) && fits(j + 1, k, cells, s + r + 1, n);
    }

    // The first and last start of run j ({-1, -1}: none).
    std::pair<int, int> start_range(int j, const pz_cell *cells) {
        int lo = -1, hi = -1;
        for (int s = 0; s + runs[j] <= n; ++s)
            if (can_start(j, s, cells)) {
                lo = lo < 0 ? s : lo;
                hi = s;
            }
        return {lo, hi};
    }

    // Whether the solver settles every cell of group to value.
    bool settles(const line_cells &cells, const std::vector<int> &group, pz_cell value) {
        part = cells;
        if (pz_solve_line(runs, k, part.data(), n, scratch) < 0)
            return false;
        return std::all_of(group.begin(), group.end(), [&](int i) { return part[(size_t)i] == value; });
    }
};

// The marks a reason rests on: starting from every mark of the line, each is left out in
// turn (the farthest from the group first) and stays out when holds() still holds without
// it. What is left cannot lose any one mark.
template <class F>
std::vector<int> support_for(const pz_cell *cells, int n, const std::vector<int> &group, const std::vector<int> &keep,
                             F holds) {
    line_cells trial(cells, cells + n);
    auto distance = [&](int i) {
        int d = n;
        for (int g : group)
            d = std::min(d, std::abs(g - i));
        return d;
    };
    std::vector<int> marks;
    for (int i = 0; i < n; ++i)
        if (cells[i] != pz_unknown && std::find(keep.begin(), keep.end(), i) == keep.end())
            marks.push_back(i);
    std::stable_sort(marks.begin(), marks.end(), [&](int a, int b) { return distance(a) > distance(b); });
    std::vector<int> kept = keep;
    for (int i : marks) {
        const pz_cell v = trial[(size_t)i];
        trial[(size_t)i] = pz_unknown;
        if (!holds(trial)) {
            trial[(size_t)i] = v;
            kept.push_back(i);
        }
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

std::vector<int> intersect(const std::vector<int> &cells, int first, int last) {
    std::vector<int> out;
    for (int i : cells)
        if (i >= first && i <= last)
            out.push_back(i);
    return out;
}

bool contains(const std::vector<int> &v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

std::string cells_text(int first, int last) {
    return first == last ? "cell " + std::to_string(first + 1)
                         : "cells " + std::to_string(first + 1) + "-" + std::to_string(last + 1);
}

std::string run_name(int length) { return "the " + std::to_string(length); }

} // namespace

pz_line_explanation pz_explain_line(const int *runs, int k, const pz_cell *cells, int n) {
    pz_line_explanation none;
    line_study study{runs, k, n, {}, {}};
    line_cells after(cells, cells + n);
    if (pz_solve_line(runs, k, after.data(), n, study.scratch) < 0) {
        none.reason = pz_reason::broken;
        return none;
    }
    std::vector<int> fresh_filled, fresh_empty, filled;
    for (int i = 0; i < n; ++i) {
        if (cells[i] == pz_filled)
            filled.push_back(i);
        if (cells[i] != pz_unknown)
            continue;
        if (after[(size_t)i] == pz_filled)
            fresh_filled.push_back(i);
        else if (after[(size_t)i] == pz_empty)
            fresh_empty.push_back(i);
    }
    if (fresh_filled.empty() && fresh_empty.empty())
        return none;

    auto made = [](pz_reason reason, std::vector<int> group, pz_cell value) {
        pz_line_explanation e;
        e.reason = reason;
        e.cells = std::move(group);
        e.value = value;
        return e;
    };
    if (k == 0)
        return made(pz_reason::zero, fresh_empty, pz_empty);
    {
        std::vector<uint8_t> picture((size_t)n);
        for (int i = 0; i < n; ++i)
            picture[(size_t)i] = cells[i] == pz_filled;
        if (pz_line_runs(picture.data(), n, 1) == pz_clue(runs, runs + k)) {
            pz_line_explanation e = made(pz_reason::complete, fresh_empty, pz_empty);
            for (int j = 0; j < k; ++j)
                e.runs.push_back(j);
            e.support = filled;
            return e;
        }
    }

    // Where each run may start with the marks, and by the clue alone (every run before it
    // packed to the left, every run from it packed to the right).
    std::vector<std::pair<int, int>> range((size_t)k);
    std::vector<int> clue_lo((size_t)k), clue_hi((size_t)k);
    for (int j = 0, at = 0; j < k; ++j) {
        range[(size_t)j] = study.start_range(j, cells);
        clue_lo[(size_t)j] = at;
        at += runs[j] + 1;
    }
    for (int j = k - 1, at = n; j >= 0; --j) {
        clue_hi[(size_t)j] = at - runs[j];
        at = clue_hi[(size_t)j] - 1;
    }
    // The runs that may lie over cells [first, last] as far as their order goes.
    auto runs_by_order = [&](int first, int last) {
        std::vector<int> out;
        for (int j = 0; j < k; ++j)
            if (clue_lo[(size_t)j] <= last && clue_hi[(size_t)j] + runs[j] - 1 >= first)
                out.push_back(j);
        return out;
    };

    std::vector<pz_line_explanation> found;
    // Overlaps: the cells every start of a run covers.
    std::vector<int> overlapped;
    for (int j = 0; j < k; ++j) {
        const auto [lo, hi] = range[(size_t)j];
        if (lo < 0 || hi > lo + runs[j] - 1)
            continue;
        std::vector<int> group = intersect(fresh_filled, hi, lo + runs[j] - 1);
        if (group.empty())
            continue;
        overlapped.insert(overlapped.end(), group.begin(), group.end());
        pz_line_explanation e = made(pz_reason::overlap, group, pz_filled);
        e.runs = {j};
        e.first = hi;
        e.last = lo + runs[j] - 1;
        found.push_back(std::move(e));
    }
    // Ends: a block of filled cells that every run that may cover it matches in length.
    std::vector<int> beside_complete;
    for (size_t b = 0; b < filled.size();) {
        size_t e = b;
        while (e + 1 < filled.size() && filled[e + 1] == filled[e] + 1)
            ++e;
        const int first = filled[b], last = filled[e], length = last - first + 1;
        b = e + 1;
        std::vector<int> could_be;
        bool complete = true;
        for (int j = 0; j < k && complete; ++j) {
            const auto [lo, hi] = range[(size_t)j];
            if (lo < 0 || lo > first || hi + runs[j] - 1 < last)
                continue;
            bool covers = false;
            for (int s = std::max(lo, last - runs[j] + 1); s <= std::min(hi, first) && !covers; ++s)
                covers = study.can_start(j, s, cells);
            if (covers) {
                could_be.push_back(j);
                complete = runs[j] == length;
            }
        }
        std::vector<int> group;
        for (int i : {first - 1, last + 1})
            if (contains(fresh_empty, i))
                group.push_back(i);
        if (!complete || could_be.empty() || group.empty())
            continue;
        beside_complete.insert(beside_complete.end(), group.begin(), group.end());
        pz_line_explanation x = made(pz_reason::ends, group, pz_empty);
        x.runs = could_be;
        x.first = first;
        x.last = last;
        found.push_back(std::move(x));
    }
    // Gaps: a stretch between crosses or the edges, with nothing filled, shorter than every
    // run whose order lets it lie there.
    std::vector<int> in_gaps;
    for (int a = 0; a < n;) {
        if (!(cells[a] & pz_filled)) {
            ++a;
            continue;
        }
        int b = a;
        while (b + 1 < n && (cells[b + 1] & pz_filled))
            ++b;
        const int first = a, last = b;
        a = b + 1;
        bool plain = true;
        for (int i = first; i <= last && plain; ++i)
            plain = cells[i] == pz_unknown && contains(fresh_empty, i);
        const std::vector<int> candidates = runs_by_order(first, last);
        if (!plain || candidates.empty() ||
            std::any_of(candidates.begin(), candidates.end(), [&](int j) { return runs[j] <= last - first + 1; }))
            continue;
        std::vector<int> group;
        for (int i = first; i <= last; ++i)
            group.push_back(i);
        in_gaps.insert(in_gaps.end(), group.begin(), group.end());
        pz_line_explanation x = made(pz_reason::gap, group, pz_empty);
        x.runs = candidates;
        x.first = first;
        x.last = last;
        for (int i : {first - 1, last + 1})
            if (i >= 0 && i < n)
                x.support.push_back(i);
        found.push_back(std::move(x));
    }
    // Out of reach: the other cells that stay empty.
    {
        std::vector<int> group;
        for (int i : fresh_empty)
            if (!contains(beside_complete, i) && !contains(in_gaps, i))
                group.push_back(i);
        if (!group.empty()) {
            pz_line_explanation x = made(pz_reason::reach, group, pz_empty);
            x.runs = runs_by_order(group.front(), group.back());
            found.push_back(std::move(x));
        }
    }
    // Filled by the runs together: cells no one run's overlap covers.
    {
        std::vector<int> group;
        for (int i : fresh_filled)
            if (!contains(overlapped, i))
                group.push_back(i);
        if (!group.empty()) {
            pz_line_explanation x = made(pz_reason::every_fit, group, pz_filled);
            for (int j = 0; j < k; ++j)
                x.runs.push_back(j);
            found.push_back(std::move(x));
        }
    }
    if (found.empty())
        return none; // cannot happen: every settled cell is in some group
    // The largest group (the order above breaks ties), and the marks it rests on.
    size_t best = 0;
    for (size_t i = 1; i < found.size(); ++i)
        if (found[i].cells.size() > found[best].cells.size())
            best = i;
    pz_line_explanation e = std::move(found[best]);
    const std::vector<int> &group = e.cells;
    switch (e.reason) {
    case pz_reason::overlap: {
        const int j = e.runs[0];
        e.support = support_for(cells, n, group, {}, [&](const line_cells &trial) {
            const auto [lo, hi] = study.start_range(j, trial.data());
            return lo >= 0 && hi <= group.front() && lo + runs[j] - 1 >= group.back();
        });
        break;
    }
    case pz_reason::ends: {
        std::vector<int> block;
        for (int i = e.first; i <= e.last; ++i)
            block.push_back(i);
        e.support = support_for(cells, n, group, block,
                                [&](const line_cells &trial) { return study.settles(trial, group, e.value); });
        break;
    }
    case pz_reason::reach:
    case pz_reason::every_fit:
        e.support = support_for(cells, n, group, {},
                                [&](const line_cells &trial) { return study.settles(trial, group, e.value); });
        break;
    default: break; // a gap rests on its crosses, set above
    }
    return e;
}

std::string pz_explain_sentence(const pz_line_explanation &e, const int *runs, int run_count,
                                const std::string &line_name) {
    const bool one = e.cells.size() == 1;
    const std::string these = one ? "this cell" : "these cells";
    auto length_of = [&](int j) { return j >= 0 && j < run_count ? runs[j] : 0; };
    std::string why;
    switch (e.reason) {
    case pz_reason::none: why = "nothing new follows"; break;
    case pz_reason::broken: why = "its marks do not fit its clue"; break;
    case pz_reason::zero: why = "the clue is 0, so every cell stays empty"; break;
    case pz_reason::complete: why = "every run is placed, so the rest stays empty"; break;
    case pz_reason::overlap: {
        const int length = length_of(e.runs.empty() ? -1 : e.runs[0]);
        why = e.last - e.first + 1 == length
                  ? run_name(length) + " has only one place: " + cells_text(e.first, e.last)
                  : run_name(length) + " must cover " + cells_text(e.first, e.last) + " wherever it lies";
        break;
    }
    case pz_reason::ends:
        why = run_name(length_of(e.runs.empty() ? -1 : e.runs[0])) + " is complete, so " +
              (one ? "the cell beside it stays empty" : "the cells beside it stay empty");
        break;
    case pz_reason::gap: {
        std::vector<int> lengths;
        for (int j : e.runs)
            if (!contains(lengths, length_of(j)))
                lengths.push_back(length_of(j));
        std::sort(lengths.begin(), lengths.end());
        const bool at_edge = e.support.size() < 2;
        const std::string where = at_edge ? "between the edge and this cross" : "between these crosses";
        if (lengths.size() == 1)
            why = run_name(lengths[0]) + " cannot fit " + where;
        else if (lengths.size() == 2)
            why = run_name(lengths[0]) + " and " + run_name(lengths[1]) + " cannot fit " + where;
        else
            why = "no run that may lie here fits " + where;
        break;
    }
    case pz_reason::reach:
        why = e.runs.size() == 1 ? run_name(length_of(e.runs[0])) + " cannot reach " + these
                                 : "no run can reach " + these;
        break;
    case pz_reason::every_fit: why = "every way the runs fit fills " + these; break;
    }
    return line_name + ": " + why;
}
