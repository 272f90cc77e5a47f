// pz_sat.h -- a clause-learning search for the puzzles that the plain search wanders in
#pragma once

// Not for the screens: pz_solve turns to it when its own search meets many dead ends
// (on grids over 32 a side, after a short first turn).
// Its propagation is the exact line logic; when a guess leads to a broken line, the
// cells behind each step are worked out (cut down to those the line needs) and the
// search learns a clause naming the guesses at fault, so the same mistake is not made
// again elsewhere in the tree; restarts leave an early bad guess behind, and guesses
// head back to the longest run of values reached without a conflict.

#include "puzzle/pz_engine.h"
#include "puzzle/pz_solve.h"

#include <cstddef>
#include <memory>

// Grids this search takes: every size a puzzle may have, its lines one machine word up to
// pz_max_word_line cells and a few beyond. A larger grid is the caller's fault (pz_assert
// reports it); the search then stops at once. Its memory stays bounded (see pz_sat.cpp):
// under 100 MB at the largest size.
constexpr int pz_sat_max_side = pz_max_size;

// The learnt clauses' room, in 4-byte words (a clause takes its literals and 9 more):
// past it, the search drops the worse half at once. 16 MB.
constexpr size_t pz_sat_learnt_words = size_t{1} << 22;

class pz_learning_solver;

// One search, run in slices: what it learnt stays between them.
class pz_learning_search {
public:
    // The cells known (null: none) hold at the start; limits' tick bounds the work (a
    // tick a line solved); learnt_words bounds the learnt clauses.
    pz_learning_search(const pz_puzzle &p, const pz_cell *known, pz_engine &limits,
                       size_t learnt_words = pz_sat_learnt_words);
    ~pz_learning_search();

    enum result { solution_found, exhausted, paused, stopped };
    // Searches on: solution_found (*solution gets it), exhausted (no solution left that
    // is not ruled out), paused once the limits' steps reach until_steps, or stopped by
    // the limits.
    result run(uint64_t until_steps, std::vector<uint8_t> *solution);
    // Later runs look for solutions other than this one.
    void rule_out(const std::vector<uint8_t> &solution);

private:
    std::unique_ptr<pz_learning_solver> s;
};

// Looks for solutions of p that agree with known (null: nothing known) and differ from
// every one already in *found, adding each to *found until it holds wanted. limits'
// tick bounds the work (a tick a line solved). Returns none when no further solution
// exists, found when *found holds wanted, stopped when the limits stopped it.
pz_verdict pz_sat_search(const pz_puzzle &p, const pz_cell *known, pz_engine &limits, size_t wanted,
                         std::vector<std::vector<uint8_t>> *found, size_t learnt_words = pz_sat_learnt_words);
