// test_puzzle_explain.cpp -- the reasons behind a line's deduction, on hand-made lines and at random
#include "puzzle/pz_explain.h"
#include "puzzle/pz_generate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A line as text: '?' unknown, '#' filled, 'x' empty.
std::vector<pz_cell> line(const std::string &text) {
    std::vector<pz_cell> cells;
    for (char c : text)
        cells.push_back(c == '#' ? pz_filled : c == 'x' ? pz_empty : pz_unknown);
    return cells;
}

struct told {
    pz_line_explanation e;
    std::string sentence;
};

told explain(const pz_clue &clue, const std::string &text, const std::string &name = "Row 1") {
    const std::vector<pz_cell> cells = line(text);
    told t{pz_explain_line(clue.data(), (int)clue.size(), cells.data(), (int)cells.size()), ""};
    t.sentence = pz_explain_sentence(t.e, clue.data(), (int)clue.size(), name);
    return t;
}

using cells = std::vector<int>;

TEST(PuzzleExplain, NamesEachKindOfReasonWithItsCellsAndTheMarksItRestsOn) {
    told t = explain({}, "?????", "Row 1");
    EXPECT_EQ(t.sentence, "Row 1: the clue is 0, so every cell stays empty");
    EXPECT_EQ(t.e.cells, (cells{0, 1, 2, 3, 4}));
    EXPECT_EQ(t.e.value, pz_empty);
    EXPECT_TRUE(t.e.support.empty());

    t = explain({2, 1}, "?##?#???", "Row 5");
    EXPECT_EQ(t.sentence, "Row 5: every run is placed, so the rest stays empty");
    EXPECT_EQ(t.e.cells, (cells{0, 3, 5, 6, 7}));
    EXPECT_EQ(t.e.support, (cells{1, 2, 4}));

    // The clue alone: a 7 in 10 cells covers the middle four wherever it lies.
    t = explain({7}, "??????????", "Row 8");
    EXPECT_EQ(t.sentence, "Row 8: the 7 must cover cells 4-7 wherever it lies");
    EXPECT_EQ(t.e.cells, (cells{3, 4, 5, 6}));
    EXPECT_EQ(t.e.value, pz_filled);
    EXPECT_TRUE(t.e.support.empty());
    EXPECT_EQ(explain({2, 2}, "?????").sentence, "Row 1: the 2 has only one place: cells 1-2");
    // Crosses narrow the room: only the cross that matters is outlined.
    t = explain({4}, "xx??????", "Column 2");
    EXPECT_EQ(t.sentence, "Column 2: the 4 must cover cells 5-6 wherever it lies");
    EXPECT_EQ(t.e.support, (cells{1}));

    t = explain({2}, "x?x?????", "Column 3");
    EXPECT_EQ(t.sentence, "Column 3: the 2 cannot fit between these crosses");
    EXPECT_EQ(t.e.cells, (cells{1}));
    EXPECT_EQ(t.e.support, (cells{0, 2}));
    t = explain({3}, "??x??????", "Column 4");
    EXPECT_EQ(t.sentence, "Column 4: the 3 cannot fit between the edge and this cross");
    EXPECT_EQ(t.e.support, (cells{2}));

    t = explain({3, 1}, "###?????", "Row 2");
    EXPECT_EQ(t.sentence, "Row 2: the 3 is complete, so the cell beside it stays empty");
    EXPECT_EQ(t.e.cells, (cells{3}));
    EXPECT_EQ(t.e.support, (cells{0, 1, 2}));

    t = explain({3}, "????#?????", "Row 4");
    EXPECT_EQ(t.sentence, "Row 4: the 3 cannot reach these cells");
    EXPECT_EQ(t.e.cells, (cells{0, 1, 7, 8, 9}));
    EXPECT_EQ(t.e.support, (cells{4}));

    // Cell 5 is the first run's or the second's, but filled either way.
    t = explain({2, 2}, "??x#?x??", "Row 6");
    EXPECT_EQ(t.sentence, "Row 6: every way the runs fit fills this cell");
    EXPECT_EQ(t.e.cells, (cells{4}));

    EXPECT_EQ(explain({1, 1}, "?????").e.reason, pz_reason::none);
    EXPECT_EQ(explain({2}, "#x#?").e.reason, pz_reason::broken);
}

TEST(PuzzleExplain, PicksTheLargestGroupAndLeavesTheRestForLater) {
    // The 8 covers cells 4-10 wherever it lies; the 1 before it covers no cell every time.
    const told t = explain({1, 8}, "???????????", "Row 3");
    EXPECT_EQ(t.e.reason, pz_reason::overlap);
    EXPECT_EQ(t.e.cells, (cells{3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(t.sentence, "Row 3: the 8 must cover cells 4-10 wherever it lies");
}

// On random lines: every group is part of what the solver settles, with the solver's
// value, and still follows from the clue with only the marks it rests on.
TEST(PuzzleExplain, EveryReasonFollowsFromItsOwnMarksAlone) {
    pz_rng rng;
    pz_rng_seed(rng, 7);
    pz_line_scratch scratch;
    int explained = 0;
    for (int round = 0; round < 3000; ++round) {
        const int n = 1 + (int)pz_rng_below(rng, 14);
        std::vector<uint8_t> picture((size_t)n);
        std::vector<pz_cell> cells((size_t)n, pz_unknown);
        for (int i = 0; i < n; ++i) {
            picture[(size_t)i] = pz_rng_below(rng, 100) < 55;
            if (pz_rng_below(rng, 100) < 30)
                cells[(size_t)i] = picture[(size_t)i] ? pz_filled : pz_empty;
        }
        const pz_clue clue = pz_line_runs(picture.data(), n, 1);
        const pz_line_explanation e = pz_explain_line(clue.data(), (int)clue.size(), cells.data(), n);
        std::vector<pz_cell> solved = cells;
        const int settled = pz_solve_line(clue.data(), (int)clue.size(), solved.data(), n, scratch);
        ASSERT_GE(settled, 0);
        ASSERT_EQ(e.reason == pz_reason::none, settled == 0);
        if (settled == 0)
            continue;
        ++explained;
        std::vector<pz_cell> alone((size_t)n, pz_unknown);
        for (int i : e.support) {
            ASSERT_NE(cells[(size_t)i], pz_unknown) << "round " << round;
            alone[(size_t)i] = cells[(size_t)i];
        }
        ASSERT_GE(pz_solve_line(clue.data(), (int)clue.size(), alone.data(), n, scratch), 0);
        for (int i : e.cells) {
            EXPECT_EQ(cells[(size_t)i], pz_unknown) << "round " << round;
            EXPECT_EQ(solved[(size_t)i], e.value) << "round " << round << " cell " << i;
            EXPECT_EQ(alone[(size_t)i], e.value) << "round " << round << " cell " << i;
        }
    }
    EXPECT_GT(explained, 1000);
}

} // namespace
