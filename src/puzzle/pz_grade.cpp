// pz_grade.cpp -- grading by the weakest reasoning that finishes a puzzle
#include "puzzle/pz_grade.h"

#include "puzzle/pz_engine.h"

#include <cstring>

int pz_easy_sweeps(int width, int height)
{
    return 4 + (width + height) / 20;
}

// Line logic in sweeps: every row, then every column, until a sweep changes nothing.
// Returns false on a contradiction.
static bool sweep(pz_engine &e, int *sweeps)
{
    for (;;) {
        const int before = e.unknown;
        for (int l = 0; l < e.height + e.width; ++l)
            if (e.solve_line(l) < 0)
                return false;
        if (e.unknown == before)
            return true;
        ++*sweeps;
        if (e.unknown == 0)
            return true;
    }
}

// Look-ahead as a player does it: a cell whose one value breaks a line takes the
// other, then line logic runs; cells in reading order, until a pass finds nothing.
static bool look_ahead(pz_engine &e, int *cells_settled)
{
    for (bool progress = true; progress && e.unknown > 0;) {
        progress = false;
        for (int index = 0; index < e.cells && e.unknown > 0; ++index) {
            if (e.grid[index] != pz_unknown)
                continue;
            for (pz_cell value : {pz_filled, pz_empty}) {
                const size_t mark = e.mark();
                e.set(index, value);
                const pz_engine::status s = e.propagate();
                e.undo(mark);
                if (s == pz_engine::stopped)
                    return true;
                if (s == pz_engine::broken) {
                    e.set(index, value == pz_filled ? pz_empty : pz_filled);
                    if (e.propagate() == pz_engine::broken)
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

pz_grading pz_grade_puzzle(const pz_puzzle &p, const pz_limits &limits)
{
    pz_grading g;
    pz_engine e(p);
    e.limit(limits);
    bool consistent = sweep(e, &g.sweeps);
    g.line_solvable = consistent && e.unknown == 0;
    g.settled_by_lines = e.cells - e.unknown;
    if (consistent && e.unknown > 0) {
        g.lookahead = true;
        consistent = look_ahead(e, &g.lookahead_cells);
    }
    g.settled_by_logic = e.cells - e.unknown;
    if (consistent && e.unknown == 0) {
        g.verdict = pz_verdict::unique; // every step was forced, so the solution is the only one
    } else {
        g.search_needed = true;
        const pz_solution s = pz_solve(p, nullptr, limits, true);
        g.verdict = s.verdict;
        g.score = 100 + static_cast<int>(s.guesses < 900 ? s.guesses : 900);
    }
    if (g.search_needed)
        g.grade = pz_grade::search;
    else if (g.lookahead)
        g.grade = pz_grade::hard;
    else
        g.grade = g.sweeps <= pz_easy_sweeps(p.width, p.height) ? pz_grade::easy : pz_grade::medium;
    g.score += g.sweeps + 4 * g.lookahead_cells;
    return g;
}

const char *pz_grade_name(pz_grade g)
{
    switch (g) {
    case pz_grade::easy: return "easy";
    case pz_grade::medium: return "medium";
    case pz_grade::hard: return "hard";
    case pz_grade::search: break;
    }
    return "search";
}

bool pz_grade_from_name(const char *name, pz_grade *g)
{
    for (pz_grade each : {pz_grade::easy, pz_grade::medium, pz_grade::hard, pz_grade::search})
        if (name && std::strcmp(name, pz_grade_name(each)) == 0) {
            *g = each;
            return true;
        }
    return false;
}
