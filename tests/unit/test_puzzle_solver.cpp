// test_puzzle_solver.cpp -- the line solver and the complete solver against brute force
#include "puzzle/pz_engine.h"
#include "puzzle/pz_generate.h"
#include "puzzle/pz_grade.h"
#include "puzzle/pz_sat.h"
#include "puzzle/pz_solve.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Cells as text, for messages: '#' filled, '.' empty, '?' unknown, '!' nothing.
std::string show(const pz_cell *cells, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "!.#?"[cells[i] & 3];
    return s;
}

// Every placement by enumeration of all 2^n lines: the union of the values each
// cell takes among the lines whose runs are the clue and that agree with the cells.
// Returns false when no line does.
bool brute_line(const pz_clue &clue, const std::vector<pz_cell> &cells, std::vector<pz_cell> *out) {
    const int n = static_cast<int>(cells.size());
    out->assign(n, 0);
    bool any = false;
    std::vector<uint8_t> line(n);
    for (uint32_t bits = 0; bits < (1u << n); ++bits) {
        bool agrees = true;
        for (int i = 0; i < n && agrees; ++i) {
            line[i] = (bits >> i) & 1;
            agrees = cells[i] & (line[i] ? pz_filled : pz_empty);
        }
        if (!agrees || pz_line_runs(line.data(), n, 1) != clue)
            continue;
        any = true;
        for (int i = 0; i < n; ++i)
            (*out)[i] |= line[i] ? pz_filled : pz_empty;
    }
    return any;
}

TEST(PuzzleLineSolver, EqualsEnumerationOnRandomShortLines) {
    pz_rng rng;
    pz_rng_seed(rng, 1);
    pz_line_scratch scratch;
    for (int round = 0; round < 4000; ++round) {
        const int n = 1 + static_cast<int>(pz_rng_below(rng, 12));
        // A clue from a random line, or now and then from another line, so that some
        // known cells contradict it.
        std::vector<uint8_t> picture(n), other(n);
        for (int i = 0; i < n; ++i) {
            picture[i] = pz_rng_below(rng, 100) < 45;
            other[i] = pz_rng_below(rng, 2);
        }
        const bool foreign = pz_rng_below(rng, 4) == 0;
        const pz_clue clue = pz_line_runs(foreign ? other.data() : picture.data(), n, 1);
        std::vector<pz_cell> cells(n, pz_unknown);
        const uint32_t known_share = pz_rng_below(rng, 100);
        for (int i = 0; i < n; ++i)
            if (pz_rng_below(rng, 100) < known_share)
                cells[i] = picture[i] ? pz_filled : pz_empty;

        std::vector<pz_cell> expected;
        const bool solvable = brute_line(clue, cells, &expected);
        std::vector<pz_cell> got = cells;
        const int settled = pz_solve_line(clue.data(), static_cast<int>(clue.size()), got.data(), n, scratch);
        const std::string what = "line " + show(cells.data(), n) + " clue of " + std::to_string(clue.size());
        if (!solvable) {
            EXPECT_EQ(settled, -1) << what;
            EXPECT_EQ(got, cells) << what << ": a contradiction leaves the cells alone";
            continue;
        }
        ASSERT_EQ(show(got.data(), n), show(expected.data(), n)) << what;
        std::vector<pz_cell> table = cells;
        EXPECT_EQ(pz_solve_line_table(clue.data(), static_cast<int>(clue.size()), table.data(), n, scratch), settled);
        EXPECT_EQ(table, got) << what;
        int newly = 0;
        for (int i = 0; i < n; ++i)
            newly += cells[i] == pz_unknown && got[i] != pz_unknown;
        EXPECT_EQ(settled, newly) << what;
        if (!foreign) { // the picture itself is a placement, so it must survive
            for (int i = 0; i < n; ++i)
                EXPECT_TRUE(got[i] & (picture[i] ? pz_filled : pz_empty)) << what;
        }
    }
}

// Lines up to 62 cells are solved on machine words, longer ones with tables: both
// must agree on lines too long to enumerate.
TEST(PuzzleLineSolver, WordsAndTablesAgreeOnLongLines) {
    pz_rng rng;
    pz_rng_seed(rng, 3);
    pz_line_scratch scratch;
    for (int round = 0; round < 3000; ++round) {
        const int n = 13 + static_cast<int>(pz_rng_below(rng, 50));
        std::vector<uint8_t> picture(n);
        const uint32_t density = 20 + pz_rng_below(rng, 60);
        for (uint8_t &c : picture)
            c = pz_rng_below(rng, 100) < density;
        const pz_clue clue = pz_line_runs(picture.data(), n, 1);
        std::vector<pz_cell> cells(n, pz_unknown);
        const uint32_t known_share = pz_rng_below(rng, 60);
        for (int i = 0; i < n; ++i)
            if (pz_rng_below(rng, 100) < known_share)
                cells[i] = (picture[i] ^ (pz_rng_below(rng, 100) < 3)) ? pz_filled : pz_empty;
        std::vector<pz_cell> words = cells, table = cells;
        const int k = static_cast<int>(clue.size());
        ASSERT_EQ(pz_solve_line(clue.data(), k, words.data(), n, scratch),
                  pz_solve_line_table(clue.data(), k, table.data(), n, scratch))
            << show(cells.data(), n);
        ASSERT_EQ(show(words.data(), n), show(table.data(), n)) << show(cells.data(), n);
    }
}

// Lines over one word: the word form of two and four words against the tables, at every
// length a puzzle's line may have.
template <int words> void wide_words_agree_with_tables(int longest, uint64_t seed) {
    pz_rng rng;
    pz_rng_seed(rng, seed);
    pz_line_scratch scratch;
    for (int round = 0; round < 1500; ++round) {
        const int n = 1 + static_cast<int>(pz_rng_below(rng, static_cast<uint32_t>(longest)));
        std::vector<uint8_t> picture(n);
        const uint32_t density = 20 + pz_rng_below(rng, 60);
        for (uint8_t &c : picture)
            c = pz_rng_below(rng, 100) < density;
        const pz_clue clue = pz_line_runs(picture.data(), n, 1);
        std::vector<pz_cell> cells(n, pz_unknown);
        const uint32_t known_share = pz_rng_below(rng, 60);
        for (int i = 0; i < n; ++i)
            if (pz_rng_below(rng, 100) < known_share)
                cells[i] = (picture[i] ^ (pz_rng_below(rng, 100) < 3)) ? pz_filled : pz_empty;
        std::vector<pz_cell> table = cells;
        const int k = static_cast<int>(clue.size());
        const bool holds = pz_solve_line_table(clue.data(), k, table.data(), n, scratch) >= 0;
        pz_bits<words> can_empty, can_fill;
        for (int i = 0; i < n; ++i) {
            if (cells[i] & pz_empty)
                pz_bit_set(can_empty, i);
            if (cells[i] & pz_filled)
                pz_bit_set(can_fill, i);
        }
        ASSERT_EQ(pz_solve_line_bits(clue.data(), k, n, &can_empty, &can_fill), holds) << show(cells.data(), n);
        if (!holds)
            continue;
        std::vector<pz_cell> words_out(n);
        for (int i = 0; i < n; ++i)
            words_out[i] =
                static_cast<pz_cell>((pz_bit(can_empty, i) ? pz_empty : 0) | (pz_bit(can_fill, i) ? pz_filled : 0));
        ASSERT_EQ(show(words_out.data(), n), show(table.data(), n)) << show(cells.data(), n);
        // Nothing is set beyond the line.
        for (int i = n; i < 64 * words; ++i)
            ASSERT_FALSE(pz_bit(can_empty, i) || pz_bit(can_fill, i)) << n << " cells, bit " << i;
    }
}

TEST(PuzzleLineSolver, SeveralWordsAgreeWithTablesOnLinesOfAnyLength) {
    wide_words_agree_with_tables<2>(126, 31);
    wide_words_agree_with_tables<4>(pz_max_size, 32);
}

// The multi-word operations the line form leans on: shifts across words, the carry.
TEST(PuzzleLineSolver, WideWordsShiftAndCarryAcrossWords) {
    pz_bits<4> x;
    pz_bit_set(x, 63);
    EXPECT_TRUE(pz_bit(x << 1, 64));
    EXPECT_TRUE(pz_bit(x << 130, 193));
    EXPECT_FALSE(x << 200); // off the top
    EXPECT_TRUE(pz_bit(x >> 63, 0));
    EXPECT_TRUE(pz_bit(pz_reverse(x), 192));
    pz_bits<4> ones = pz_low_bits<pz_bits<4>>(130), one(1);
    const pz_bits<4> sum = ones + one; // the carry runs through two whole words
    EXPECT_TRUE(pz_bit(sum, 130));
    EXPECT_TRUE(sum == (one << 130));
    int bits = 0, last = -1;
    pz_each_bit(ones, [&](int i) {
        EXPECT_GT(i, last);
        last = i;
        ++bits;
    });
    EXPECT_EQ(bits, 130);
}

TEST(PuzzleLineSolver, SettlesBeyondTheOverlapOfExtremePlacements) {
    // Clue 1 1 in 5 cells, with the middle cell known filled: the leftmost and rightmost
    // placements do not overlap, but every placement leaves cells 1 and 3 empty.
    pz_line_scratch scratch;
    const int runs[] = {1, 1};
    pz_cell cells[5] = {pz_unknown, pz_unknown, pz_filled, pz_unknown, pz_unknown};
    EXPECT_EQ(pz_solve_line(runs, 2, cells, 5, scratch), 2);
    EXPECT_EQ(show(cells, 5), "?.#.?");
}

// The table form's scratch grows for each line it meets; a long line of few runs after
// a shorter one of many still needs room for every cell's placements.
TEST(PuzzleLineSolver, ScratchGrownForOneLineServesTheNext) {
    pz_line_scratch scratch;
    const std::vector<int> ones(32, 1); // 32 runs of one fill 63 cells exactly
    std::vector<pz_cell> full(63, pz_unknown);
    EXPECT_EQ(pz_solve_line_table(ones.data(), 32, full.data(), 63, scratch), 63);
    const int one_run[] = {90};
    std::vector<pz_cell> line(100, pz_unknown);
    EXPECT_EQ(pz_solve_line_table(one_run, 1, line.data(), 100, scratch), 80);
    EXPECT_EQ(show(line.data(), 100), std::string(10, '?') + std::string(80, '#') + std::string(10, '?'));
}

#ifdef NDEBUG
constexpr bool checks_stop = false; // release builds refuse the call and go on
#else
constexpr bool checks_stop = true; // builds with debugging checks stop at the broken bound
#endif

// Calls outside the bounds the puzzle layer's arrays rely on: stopped by pz_assert where
// debugging checks are on, refused without writing anything where they are off.
TEST(PuzzleBoundsDeathTest, CallsOutsideTheArraysAreRefused) {
    const char *stop = "puzzle bound broken";
    // The word form holds lines of up to pz_max_word_line cells.
    const int runs[] = {1};
    uint64_t empty = ~uint64_t{0}, fill = ~uint64_t{0};
    bool holds = true;
    EXPECT_DEBUG_DEATH(holds = pz_solve_line_bits(runs, 1, pz_max_word_line + 1, &empty, &fill), stop);
    if (!checks_stop) {
        EXPECT_FALSE(holds);
        EXPECT_EQ(empty, ~uint64_t{0});
    }
    // More runs than such a line has room for: no placement, in every build.
    const std::vector<int> ones(40, 1);
    empty = fill = (uint64_t{1} << pz_max_word_line) - 1;
    EXPECT_FALSE(pz_solve_line_bits(ones.data(), 40, pz_max_word_line, &empty, &fill));

    const uint8_t picture[] = {1, 0, 1, 1, 1, 0};
    const pz_puzzle p = pz_from_picture(3, 2, picture);
    pz_engine e(p);
    EXPECT_DEBUG_DEATH(e.set(e.cells, pz_filled), stop);
    EXPECT_DEBUG_DEATH(e.set(-1, pz_filled), stop);
    EXPECT_DEBUG_DEATH(e.push(e.width + e.height), stop);
    int settled = 0;
    EXPECT_DEBUG_DEATH(settled = e.solve_line(-1), stop);
    if (!checks_stop) {
        EXPECT_EQ(settled, -1);
        EXPECT_EQ(e.unknown, e.cells);
        EXPECT_TRUE(e.trail.empty());
        EXPECT_EQ(e.propagate(), pz_engine::ok); // nothing was queued
        EXPECT_EQ(e.unknown, e.cells);
    }

    const std::vector<pz_cell> grid(6, pz_unknown);
    pz_probe probe;
    probe.filled_breaks = true;
    EXPECT_DEBUG_DEATH(probe = pz_probe_cell(p, grid.data(), 3, 0), stop);
    pz_cell line[3] = {};
    EXPECT_DEBUG_DEATH(settled = pz_deduce_line(p, grid.data(), pz_line_ref{false, 2}, line), stop);
    if (!checks_stop) {
        EXPECT_FALSE(probe.filled_breaks || probe.empty_breaks);
        EXPECT_EQ(settled, -1);
    }

    // The learning search takes grids of up to pz_sat_max_side (every size a puzzle has) a side.
    pz_puzzle wide;
    wide.width = pz_sat_max_side + 1;
    wide.height = 1;
    wide.rows.assign(1, pz_clue{wide.width});
    wide.columns.assign(static_cast<size_t>(wide.width), pz_clue{1});
    pz_engine limits(wide);
    std::vector<std::vector<uint8_t>> found;
    pz_verdict verdict = pz_verdict::none;
    EXPECT_DEBUG_DEATH(verdict = pz_sat_search(wide, nullptr, limits, 1, &found), stop);
    if (!checks_stop) {
        EXPECT_EQ(verdict, pz_verdict::stopped);
        EXPECT_TRUE(found.empty());
    }
}

// Counts the solutions (up to 2) by filling rows with every line their clue allows,
// checking each column's runs as they grow; known (may be empty) constrains cells.
struct enumerator {
    const pz_puzzle &p;
    const std::vector<pz_cell> &known;
    std::vector<std::vector<std::vector<uint8_t>>> row_lines;
    std::vector<uint8_t> grid;
    int count = 0;

    enumerator(const pz_puzzle &puzzle, const std::vector<pz_cell> &k) : p(puzzle), known(k) {
        const int w = p.width;
        row_lines.resize(p.height);
        std::vector<uint8_t> line(w);
        for (int r = 0; r < p.height; ++r)
            for (uint32_t bits = 0; bits < (1u << w); ++bits) {
                bool agrees = true;
                for (int c = 0; c < w; ++c) {
                    line[c] = (bits >> c) & 1;
                    if (!known.empty())
                        agrees = agrees && (known[r * w + c] & (line[c] ? pz_filled : pz_empty));
                }
                if (agrees && pz_line_runs(line.data(), w, 1) == p.rows[r])
                    row_lines[r].push_back(line);
            }
        grid.resize(static_cast<size_t>(p.width) * p.height);
    }

    // Whether column c's first rows can still grow into its clue.
    bool column_prefix_fits(int c, int rows) const {
        const pz_clue runs = pz_line_runs(&grid[c], rows, p.width);
        const pz_clue &clue = p.columns[c];
        if (runs.size() > clue.size())
            return false;
        for (size_t i = 0; i < runs.size(); ++i) {
            const bool open = i + 1 == runs.size() && grid[(rows - 1) * p.width + c];
            if (open ? runs[i] > clue[i] : runs[i] != clue[i])
                return false;
        }
        return rows < p.height || runs == clue;
    }

    void fill(int r) {
        if (count >= 2)
            return;
        if (r == p.height) {
            ++count;
            return;
        }
        for (const std::vector<uint8_t> &line : row_lines[r]) {
            std::copy(line.begin(), line.end(), grid.begin() + r * p.width);
            bool fits = true;
            for (int c = 0; c < p.width && fits; ++c)
                fits = column_prefix_fits(c, r + 1);
            if (fits)
                fill(r + 1);
        }
    }
};

// A solution must satisfy every clue and every known cell.
bool satisfies(const pz_puzzle &p, const std::vector<uint8_t> &s, const std::vector<pz_cell> &known) {
    pz_puzzle q = pz_from_picture(p.width, p.height, s.data());
    for (size_t i = 0; i < known.size(); ++i)
        if (!(known[i] & (s[i] ? pz_filled : pz_empty)))
            return false;
    return q.rows == p.rows && q.columns == p.columns;
}

TEST(PuzzleSolver, CountEqualsEnumerationOnRandomSmallPuzzles) {
    pz_rng rng;
    pz_rng_seed(rng, 2);
    int seen[3] = {};
    for (int round = 0; round < 600; ++round) {
        const int w = 2 + static_cast<int>(pz_rng_below(rng, 7));
        const int h = 2 + static_cast<int>(pz_rng_below(rng, 7));
        const uint32_t density = 25 + pz_rng_below(rng, 50);
        std::vector<uint8_t> picture(static_cast<size_t>(w) * h);
        for (uint8_t &c : picture)
            c = pz_rng_below(rng, 100) < density;
        pz_puzzle p = pz_from_picture(w, h, picture.data());
        p.goal.clear();
        // Some puzzles get one row's clue from another picture: often no solution.
        if (pz_rng_below(rng, 5) == 0) {
            std::vector<uint8_t> row(w);
            for (uint8_t &c : row)
                c = pz_rng_below(rng, 2);
            p.rows[pz_rng_below(rng, h)] = pz_line_runs(row.data(), w, 1);
        }
        // Some start from known cells, a few of them possibly wrong.
        std::vector<pz_cell> known;
        if (pz_rng_below(rng, 3) == 0) {
            known.assign(picture.size(), pz_unknown);
            for (size_t i = 0; i < known.size(); ++i)
                if (pz_rng_below(rng, 100) < 20)
                    known[i] = (picture[i] ^ (pz_rng_below(rng, 100) < 5)) ? pz_filled : pz_empty;
        }
        enumerator count(p, known);
        count.fill(0);
        const pz_solution s = pz_solve(p, known.empty() ? nullptr : known.data(), pz_limits{}, true);
        const std::string what = "round " + std::to_string(round) + ", " + std::to_string(w) + "x" + std::to_string(h);
        const pz_verdict expected = count.count == 0   ? pz_verdict::none
                                    : count.count == 1 ? pz_verdict::unique
                                                       : pz_verdict::multiple;
        ASSERT_EQ(pz_verdict_name(s.verdict), std::string(pz_verdict_name(expected))) << what;
        ++seen[count.count];
        if (s.verdict != pz_verdict::none) {
            EXPECT_TRUE(satisfies(p, s.first, known)) << what;
        }
        if (s.verdict == pz_verdict::multiple) {
            EXPECT_TRUE(satisfies(p, s.second, known)) << what;
            EXPECT_NE(s.first, s.second) << what;
        }
        // Asked for one solution only, it finds one whenever there is any.
        const pz_solution one = pz_solve(p, known.empty() ? nullptr : known.data(), pz_limits{}, false);
        EXPECT_EQ(one.verdict, count.count ? pz_verdict::found : pz_verdict::none) << what;
        // The clause-learning search, which pz_solve turns to on long searches alone, on its own.
        pz_engine limits(p);
        std::vector<std::vector<uint8_t>> found;
        const pz_verdict learnt = pz_sat_search(p, known.empty() ? nullptr : known.data(), limits, 2, &found);
        EXPECT_EQ(learnt, count.count == 2 ? pz_verdict::found : pz_verdict::none) << what;
        EXPECT_EQ(found.size(), static_cast<size_t>(count.count)) << what;
        for (const std::vector<uint8_t> &f : found)
            EXPECT_TRUE(satisfies(p, f, known)) << what;
        if (found.size() == 2) {
            EXPECT_NE(found[0], found[1]) << what;
        }
    }
    // The random mix covers every answer often.
    EXPECT_GT(seen[0], 30);
    EXPECT_GT(seen[1], 30);
    EXPECT_GT(seen[2], 30);
}

// With room for only a few learnt clauses, the learning search drops clauses deep in its
// guesses (keeping those behind the values set): its count must still equal enumeration's.
TEST(PuzzleSolver, LearningCountHoldsWhenLearntClausesAreCutBackMidSearch) {
    pz_rng rng;
    pz_rng_seed(rng, 23);
    int seen[3] = {};
    for (int round = 0; round < 300; ++round) {
        const int w = 6 + static_cast<int>(pz_rng_below(rng, 5));
        const int h = 6 + static_cast<int>(pz_rng_below(rng, 5));
        std::vector<uint8_t> picture(static_cast<size_t>(w) * h);
        const uint32_t density = 40 + pz_rng_below(rng, 25);
        for (uint8_t &c : picture)
            c = pz_rng_below(rng, 100) < density;
        pz_puzzle p = pz_from_picture(w, h, picture.data());
        if (pz_rng_below(rng, 4) == 0) {
            std::vector<uint8_t> row(w);
            for (uint8_t &c : row)
                c = pz_rng_below(rng, 2);
            p.rows[pz_rng_below(rng, h)] = pz_line_runs(row.data(), w, 1);
        }
        enumerator count(p, {});
        count.fill(0);
        ++seen[count.count];
        const std::string what = "round " + std::to_string(round) + ", " + std::to_string(w) + "x" + std::to_string(h);
        for (const size_t room : {size_t{24}, size_t{60}}) {
            pz_engine limits(p);
            std::vector<std::vector<uint8_t>> found;
            const pz_verdict v = pz_sat_search(p, nullptr, limits, 2, &found, room);
            EXPECT_EQ(v, count.count == 2 ? pz_verdict::found : pz_verdict::none) << what;
            ASSERT_EQ(found.size(), static_cast<size_t>(count.count)) << what << ", room " << room;
            for (const std::vector<uint8_t> &f : found)
                EXPECT_TRUE(satisfies(p, f, {})) << what;
        }
    }
    EXPECT_GT(seen[0], 20);
    EXPECT_GT(seen[2], 20);
}

// A random 25x25 picture whose clues admit many pictures, none of them easy to reach:
// the search alone meets dead ends for over half a minute, so it takes turns with the
// clause-learning search, which finds the two; they must still be solutions.
TEST(PuzzleSolver, ALongSearchTakesTurnsAndFindsTwoSolutions) {
    pz_rng rng;
    pz_rng_seed(rng, 0x7c0de000u + 456);
    std::vector<uint8_t> picture(25 * 25);
    for (uint8_t &c : picture)
        c = pz_rng_below(rng, 10000) < 5000 - 1500 * 456 / 999;
    const pz_puzzle p = pz_from_picture(25, 25, picture.data());
    const pz_solution s = pz_solve(p, nullptr, pz_limits{}, true);
    ASSERT_EQ(s.verdict, pz_verdict::multiple);
    EXPECT_GT(s.steps, 500000u) << "the learner's turn comes after half a million line solves";
    EXPECT_TRUE(satisfies(p, s.first, {}));
    EXPECT_TRUE(satisfies(p, s.second, {}));
    EXPECT_NE(s.first, s.second);
}

// The puzzle turned a quarter: rows become columns. Its solutions are the original's turned.
pz_puzzle transposed(const pz_puzzle &p) {
    pz_puzzle t;
    t.width = p.height;
    t.height = p.width;
    t.rows = p.columns;
    t.columns = p.rows;
    return t;
}

// The learning search keeps lines over 32 cells in wider words (one up to 62, then two,
// then four): on narrow grids of every such height, and their turned copies, its count
// (0, 1, 2+) must equal enumeration's (done on the 3-wide form) and its solutions meet
// the clues and the known cells.
TEST(PuzzleSolver, LearningCountEqualsEnumerationOnGridsOverAWord) {
    pz_rng rng;
    pz_rng_seed(rng, 11);
    int seen[3] = {};
    for (int round = 0; round < 120; ++round) {
        const int w = 2 + static_cast<int>(pz_rng_below(rng, 2));
        const int h = 33 + static_cast<int>(pz_rng_below(rng, 2 * 100)) % 168; // 33..200
        std::vector<uint8_t> picture(static_cast<size_t>(w) * h);
        const uint32_t density = 30 + pz_rng_below(rng, 40);
        for (uint8_t &c : picture)
            c = pz_rng_below(rng, 100) < density;
        pz_puzzle narrow = pz_from_picture(w, h, picture.data());
        narrow.goal.clear();
        if (pz_rng_below(rng, 5) == 0) { // one column's clue from elsewhere: often no solution
            std::vector<uint8_t> column(h);
            for (uint8_t &c : column)
                c = pz_rng_below(rng, 2);
            narrow.columns[pz_rng_below(rng, w)] = pz_line_runs(column.data(), h, 1);
        }
        std::vector<pz_cell> known;
        if (pz_rng_below(rng, 3) == 0) {
            known.assign(picture.size(), pz_unknown);
            for (size_t i = 0; i < known.size(); ++i)
                if (pz_rng_below(rng, 100) < 30)
                    known[i] = (picture[i] ^ (pz_rng_below(rng, 100) < 3)) ? pz_filled : pz_empty;
        }
        enumerator count(narrow, known);
        count.fill(0);
        ++seen[count.count];
        const bool turn = round % 2 == 1; // half are h wide and w tall
        const pz_puzzle p = turn ? transposed(narrow) : narrow;
        std::vector<pz_cell> p_known(known.size());
        for (int y = 0; y < h && !known.empty(); ++y)
            for (int x = 0; x < w; ++x)
                p_known[turn ? x * h + y : y * w + x] = known[y * w + x];
        const std::string what = "round " + std::to_string(round) + ", " + std::to_string(p.width) + "x" +
                                 std::to_string(p.height) + ", " + std::to_string(count.count) + " solutions";
        pz_engine limits(p);
        std::vector<std::vector<uint8_t>> found;
        const pz_verdict learnt = pz_sat_search(p, p_known.empty() ? nullptr : p_known.data(), limits, 2, &found);
        EXPECT_EQ(learnt, count.count == 2 ? pz_verdict::found : pz_verdict::none) << what;
        ASSERT_EQ(found.size(), static_cast<size_t>(count.count)) << what;
        for (const std::vector<uint8_t> &f : found)
            EXPECT_TRUE(satisfies(p, f, p_known)) << what;
        if (found.size() == 2) {
            EXPECT_NE(found[0], found[1]) << what;
        }
        // The whole solver agrees.
        const pz_solution s = pz_solve(p, p_known.empty() ? nullptr : p_known.data(), pz_limits{}, true);
        EXPECT_EQ(s.verdict, count.count == 0   ? pz_verdict::none
                             : count.count == 1 ? pz_verdict::unique
                                                : pz_verdict::multiple)
            << what;
    }
    EXPECT_GT(seen[0], 10);
    EXPECT_GT(seen[1], 5);
    EXPECT_GT(seen[2], 10);
}

// A large picture that line logic finishes: the learning search alone, in four-word lines,
// finds it, proves it the only one, and finds it again from a few known cells.
TEST(PuzzleSolver, LearningSearchSolvesALargeLineSolvablePicture) {
    const int w = 190, h = 170;
    std::vector<uint8_t> picture(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - 80, dy = y - 90;
            const bool disc = dx * dx + dy * dy < 60 * 60;
            const bool bar = y >= 10 && y < 20 && x >= 5;
            const bool post = x >= 170 && x < 180 && y >= 30;
            picture[static_cast<size_t>(y) * w + x] = disc || bar || post;
        }
    const pz_puzzle p = pz_from_picture(w, h, picture.data());
    std::vector<pz_cell> grid(picture.size(), pz_unknown);
    ASSERT_TRUE(pz_propagate(p, grid.data()).solved) << "the picture is line-solvable";

    pz_engine limits(p);
    std::vector<std::vector<uint8_t>> found;
    EXPECT_EQ(pz_sat_search(p, nullptr, limits, 2, &found), pz_verdict::none);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], picture);

    // A known cell against the picture leaves no solution.
    std::vector<pz_cell> known(picture.size(), pz_unknown);
    known[90 * w + 80] = pz_empty; // the disc's centre
    found.clear();
    pz_engine again(p);
    EXPECT_EQ(pz_sat_search(p, known.data(), again, 1, &found), pz_verdict::none);
    EXPECT_TRUE(found.empty());
    const pz_solution s = pz_solve(p, known.data(), pz_limits{}, true);
    EXPECT_EQ(s.verdict, pz_verdict::none);
}

// The engine keeps lines up to 32 cells as words with their results remembered, up to
// 62 as words alone, longer ones in tables: at each size the solver's solution must meet
// the clues, and line logic must settle only cells that agree with it.
TEST(PuzzleSolver, FindsSolutionsAtEverySizeOfLine) {
    pz_rng rng;
    pz_rng_seed(rng, 5);
    for (const int size : {24, 31, 40, 62, 70}) {
        for (int round = 0; round < 3; ++round) {
            const int w = size, h = size - round;
            std::vector<uint8_t> cells(static_cast<size_t>(w) * h);
            for (uint8_t &c : cells)
                c = pz_rng_below(rng, 100) < 72;
            const pz_puzzle p = pz_from_picture(w, h, cells.data());
            const std::string what = std::to_string(w) + "x" + std::to_string(h);
            const pz_solution s = pz_solve(p, nullptr, pz_limits{}, false);
            ASSERT_EQ(s.verdict, pz_verdict::found) << what;
            EXPECT_TRUE(satisfies(p, s.first, {})) << what;
            std::vector<pz_cell> grid(cells.size(), pz_unknown);
            ASSERT_FALSE(pz_propagate(p, grid.data()).contradiction) << what;
            for (size_t i = 0; i < grid.size(); ++i)
                ASSERT_TRUE(grid[i] & (s.first[i] ? pz_filled : pz_empty)) << what << ", cell " << i;
        }
    }
}

} // namespace

namespace {

pz_puzzle picture(int w, int h, const char *rows) {
    std::vector<uint8_t> cells;
    for (const char *c = rows; *c; ++c)
        if (*c == '#' || *c == '.')
            cells.push_back(*c == '#');
    return pz_from_picture(w, h, cells.data());
}

TEST(PuzzleSolver, ReportsTheLineThatBreaksAndStopsWhenAsked) {
    // A ring with a dot inside: line logic finishes it.
    const pz_puzzle ring = picture(5, 5,
                                   "#####"
                                   "#...#"
                                   "#.#.#"
                                   "#...#"
                                   "#####");
    std::vector<pz_cell> grid(25, pz_unknown);
    const pz_propagation done = pz_propagate(ring, grid.data());
    EXPECT_TRUE(done.solved);
    EXPECT_EQ(done.settled, 25);

    // A wrong mark in row 3 (the centre left empty): propagation names a line that breaks,
    // a probe of a cell shows which value breaks, and no solution agrees with the mark.
    std::vector<pz_cell> marked(25, pz_unknown);
    marked[12] = pz_empty;
    std::vector<pz_cell> copy = marked;
    const pz_propagation broken = pz_propagate(ring, copy.data());
    EXPECT_TRUE(broken.contradiction);
    EXPECT_GE(broken.broken.index, 0);
    const pz_probe probe = pz_probe_cell(ring, std::vector<pz_cell>(25, pz_unknown).data(), 2, 2);
    EXPECT_FALSE(probe.filled_breaks);
    EXPECT_TRUE(probe.empty_breaks);
    EXPECT_GE(probe.empty_line.index, 0);
    EXPECT_EQ(pz_solve(ring, marked.data(), pz_limits{}, false).verdict, pz_verdict::none);

    // One line's deduction: row 1 (all filled) settles its five cells.
    pz_cell line[5];
    EXPECT_EQ(pz_deduce_line(ring, grid.data(), pz_line_ref{false, 0}, line), 0); // already settled
    EXPECT_EQ(pz_deduce_line(ring, std::vector<pz_cell>(25, pz_unknown).data(), pz_line_ref{true, 0}, line), 5);

    // A random 30x30 picture needs search: a small step limit and a raised cancel flag
    // both stop it, and say which.
    const pz_puzzle noise = [] {
        pz_rng rng;
        pz_rng_seed(rng, 9);
        std::vector<uint8_t> cells(900);
        for (uint8_t &c : cells)
            c = pz_rng_below(rng, 100) < 40;
        return pz_from_picture(30, 30, cells.data());
    }();
    pz_limits few;
    few.max_steps = 500;
    const pz_solution limited = pz_solve(noise, nullptr, few, true);
    EXPECT_EQ(limited.verdict, pz_verdict::stopped);
    EXPECT_FALSE(limited.cancelled);
    EXPECT_LE(limited.steps, 501u);
    std::atomic<bool> cancel{true};
    pz_limits cancelled;
    cancelled.cancel = &cancel;
    const pz_solution c = pz_solve(noise, nullptr, cancelled, true);
    EXPECT_EQ(c.verdict, pz_verdict::stopped);
    EXPECT_TRUE(c.cancelled);
}

TEST(PuzzleGrade, NamesTheReasoningEachPuzzleNeeds) {
    const pz_puzzle ring = picture(5, 5,
                                   "#####"
                                   "#...#"
                                   "#.#.#"
                                   "#...#"
                                   "#####");
    const pz_grading easy = pz_grade_puzzle(ring, pz_limits{});
    EXPECT_EQ(easy.grade, pz_grade::easy);
    EXPECT_EQ(easy.verdict, pz_verdict::unique);
    EXPECT_TRUE(easy.line_solvable);

    // Two diagonals: no line settles anything, and both pictures fit the clues.
    const pz_puzzle diagonal = picture(2, 2,
                                       "#."
                                       ".#");
    const pz_grading twin = pz_grade_puzzle(diagonal, pz_limits{});
    EXPECT_EQ(twin.grade, pz_grade::search);
    EXPECT_EQ(twin.verdict, pz_verdict::multiple);
    EXPECT_EQ(twin.settled_by_lines, 0);
    EXPECT_GT(twin.score, easy.score);

    // A full top row against a full left column: no picture fits.
    pz_puzzle corner;
    corner.width = corner.height = 2;
    corner.rows = corner.columns = {{2}, {}};
    const pz_grading none = pz_grade_puzzle(corner, pz_limits{});
    EXPECT_EQ(none.grade, pz_grade::none);
    EXPECT_EQ(none.verdict, pz_verdict::none);
    EXPECT_STREQ(pz_grade_name(pz_grade::none), "none");

    pz_grade g = pz_grade::search;
    EXPECT_TRUE(pz_grade_from_name("medium", &g));
    EXPECT_EQ(g, pz_grade::medium);
    EXPECT_FALSE(pz_grade_from_name("fiendish", &g));
    EXPECT_EQ(g, pz_grade::medium);
    EXPECT_TRUE(pz_grade_from_name("none", &g));
    EXPECT_EQ(g, pz_grade::none);
}

// FNV-1a over a puzzle's picture: a fingerprint that must not change between builds,
// or the numbers players share would name other puzzles.
uint32_t fingerprint(const pz_puzzle &p) {
    uint32_t h = 2166136261u;
    for (uint8_t c : p.goal)
        h = (h ^ c) * 16777619u;
    return h;
}

TEST(PuzzleGenerator, MakesUniquePuzzlesOfTheGradeAskedForTheSameEveryTime) {
    const struct { int w, h; } sizes[] = {{5, 5}, {8, 6}, {6, 8}, {10, 10}, {15, 15}, {20, 12}};
    for (const auto &size : sizes)
        for (pz_grade grade : {pz_grade::easy, pz_grade::medium, pz_grade::hard})
            for (uint32_t number : {0u, 7u, 4000000000u}) {
                const std::string what = std::to_string(size.w) + "x" + std::to_string(size.h) + " " +
                                         pz_grade_name(grade) + " no. " + std::to_string(number);
                pz_puzzle p;
                std::string why;
                ASSERT_TRUE(pz_generate(size.w, size.h, grade, number, &p, &why)) << what << ": " << why;
                ASSERT_TRUE(pz_check(p, &why)) << what << ": " << why;
                // The complete solver, with no help from the generator, finds the picture alone.
                pz_puzzle clues_only = p;
                clues_only.goal.clear();
                const pz_solution s = pz_solve(clues_only, nullptr, pz_limits{}, true);
                ASSERT_EQ(s.verdict, pz_verdict::unique) << what;
                EXPECT_EQ(s.first, p.goal) << what;
                if (size.w * size.h <= 64) {
                    const std::vector<pz_cell> nothing_known;
                    enumerator count(clues_only, nothing_known);
                    count.fill(0);
                    EXPECT_EQ(count.count, 1) << what;
                }
                EXPECT_EQ(pz_grade_puzzle(clues_only, pz_limits{}).grade, grade) << what;
                if (std::min(size.w, size.h) <= pz_generate_full_lines) { // no line given away
                    for (const std::vector<pz_clue> *lines : {&p.rows, &p.columns})
                        for (const pz_clue &clue : *lines)
                            EXPECT_FALSE(clue.empty()) << what;
                }
                pz_puzzle again;
                ASSERT_TRUE(pz_generate(size.w, size.h, grade, number, &again, nullptr));
                EXPECT_EQ(again.goal, p.goal) << what;
                EXPECT_EQ(again.title, p.title) << what;
            }

    pz_puzzle p;
    std::string why;
    EXPECT_FALSE(pz_generate(4, 10, pz_grade::easy, 1, &p, &why));
    EXPECT_EQ(why, "the size 4x10 is outside 5x5 to 30x30");
    EXPECT_FALSE(pz_generate(10, 31, pz_grade::easy, 1, &p, &why));
    for (pz_grade grade : {pz_grade::search, pz_grade::none}) {
        EXPECT_FALSE(pz_generate(10, 10, grade, 1, &p, &why));
        EXPECT_EQ(why, "puzzles are made easy, medium or hard");
    }
}

TEST(PuzzleGenerator, KeepsItsNumbersFromBuildToBuild) {
    const struct {
        int w, h;
        pz_grade grade;
        uint32_t number;
        uint32_t fingerprint;
    } known[] = {
        {15, 15, pz_grade::easy, 1, 1232462334u},
        {15, 15, pz_grade::medium, 1, 3182684104u},
        {15, 15, pz_grade::hard, 1, 950505751u},
        {25, 20, pz_grade::hard, 123456789, 1728867688u},
    };
    for (const auto &k : known) {
        pz_puzzle p;
        ASSERT_TRUE(pz_generate(k.w, k.h, k.grade, k.number, &p, nullptr));
        EXPECT_EQ(fingerprint(p), k.fingerprint) << p.title;
    }
}

} // namespace
