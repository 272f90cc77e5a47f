// pz_grade.cpp -- grading by the weakest reasoning that finishes a puzzle
#include "puzzle/pz_grade.h"

#include "puzzle/pz_engine.h"

#include <cstring>

int pz_easy_sweeps(int width, int height) { return 4 + (width + height) / 20; }

pz_grading pz_grade_puzzle(const pz_puzzle &p, const pz_limits &limits) {
    pz_grading g;
    pz_engine e(p);
    e.limit(limits);
    bool consistent = e.sweep(&g.sweeps);
    g.line_solvable = consistent && e.unknown == 0;
    g.settled_by_lines = e.cells - e.unknown;
    if (consistent && e.unknown > 0) {
        g.lookahead = true;
        consistent = e.look_ahead(&g.lookahead_cells);
    }
    g.settled_by_logic = e.cells - e.unknown;
    if (consistent && e.unknown == 0) {
        g.verdict = pz_verdict::unique; // every step was forced, so the solution is the only one
    } else {
        g.search_needed = true;
        const pz_solution s = pz_solve(p, nullptr, limits, true);
        g.verdict = s.verdict;
        g.score = 100 + (e.cells - g.settled_by_logic); // cells left to guessing
    }
    if (g.search_needed)
        g.grade = g.verdict == pz_verdict::none ? pz_grade::none : pz_grade::search;
    else if (g.lookahead)
        g.grade = pz_grade::hard;
    else
        g.grade = g.sweeps <= pz_easy_sweeps(p.width, p.height) ? pz_grade::easy : pz_grade::medium;
    g.score += g.sweeps + 4 * g.lookahead_cells;
    return g;
}

const char *pz_grade_name(pz_grade g) {
    switch (g) {
    case pz_grade::easy: return "easy";
    case pz_grade::medium: return "medium";
    case pz_grade::hard: return "hard";
    case pz_grade::none: return "none";
    case pz_grade::search: break;
    }
    return "search";
}

bool pz_grade_from_name(const char *name, pz_grade *g) {
    for (pz_grade each : {pz_grade::easy, pz_grade::medium, pz_grade::hard, pz_grade::search, pz_grade::none})
        if (name && std::strcmp(name, pz_grade_name(each)) == 0) {
            *g = each;
            return true;
        }
    return false;
}
