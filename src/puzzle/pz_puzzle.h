// pz_puzzle.h -- a nonogram puzzle: its size, clues, optional details and goal picture
#pragma once

// The puzzle layer is plain C++ over the standard library: no SDL, no drawing, no
// game state. The screens, the tools and the tests use it; it uses nothing above it.

#include "puzzle/pz_grid.h"

#include <cstdint>
#include <string>
#include <vector>

// One line's clue: the lengths of its runs of filled cells, in order. An empty
// line (no filled cell) has no runs: the vector is empty.
using pz_clue = std::vector<int>;

// A puzzle as read from a file or made by the generator. The record owns its
// strings and vectors; copying it copies them.
struct pz_puzzle {
    int width = 0, height = 0;
    std::vector<pz_clue> rows;    // height clues, top to bottom
    std::vector<pz_clue> columns; // width clues, left to right
    std::string title, author, copyright;
    std::string catalogue;     // where the puzzle comes from: a collection's number or name
    std::vector<uint8_t> goal; // empty, or width * height cells row by row: 1 filled, 0 empty

    bool operator==(const pz_puzzle &) const = default;
};

// The clues of a picture of width x height cells (row by row, nonzero: filled); the
// picture becomes the puzzle's goal. Sizes outside 1..pz_max_size give an empty puzzle.
pz_puzzle pz_from_picture(int width, int height, const uint8_t *cells);

// The runs of a line of length cells read with the given stride (1 for a row, the
// width for a column): what its clue would be.
pz_clue pz_line_runs(const uint8_t *cells, int length, int stride);

// Whether one clue fits a line of length cells: every run at least 1 and the runs plus
// one gap between each two within the length. False with the reason in *why (when given),
// which starts with name ("row 3", say).
bool pz_clue_fits(const pz_clue &clue, int length, const std::string &name, std::string *why);

// Checks a puzzle's shape: sizes within 1..pz_max_size, one clue a line, every run at
// least 1, each line's runs plus their gaps within its length, the rows' and the
// columns' filled counts equal, and a goal (when present) of the right size whose runs
// are the clues. False with the reason in *why (when given) at the first fault. Without
// equal_totals, rows and columns filling different counts pass (a puzzle without a
// solution, but of a good shape otherwise).
bool pz_check(const pz_puzzle &p, std::string *why, bool equal_totals = true);
