// test_puzzles.cpp -- the catalogue's sizes and tags, and the guarded active puzzle
// (the pictures themselves are played in test_necrogram and the end-to-end runs)
#include "game/g_puzzles.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(Puzzles, ThreeSmallBoardsThenLargeOnesWithTagsZeroTo24) {
    dialog_recorder rec;
    std::set<unsigned long> tags;
    for (u32 i = 0; i < num_puzzles; ++i) {
        int size = -1;
        unsigned long tag = 999;
        ASSERT_NE(puzzle_get_info(i, &size, &tag), nullptr) << i;
        EXPECT_EQ(size, i < 3 ? 10 : 15) << i;
        tags.insert(tag);
    }
    EXPECT_EQ(tags.size(), 25u);
    EXPECT_EQ(*tags.rbegin(), 24u);
    EXPECT_EQ(rec.count(), 0u);
}

TEST(Puzzles, ABadActiveIndexKeepsThePuzzleThatWasActive) {
    dialog_recorder rec;
    puzzle_reset_for_test();
    int size = 0;
    unsigned long tag = 0;
    EXPECT_EQ(puzzle_get_active_info(&size, &tag), nullptr); // nothing chosen yet
    puzzle_set_active(4);
    puzzle_set_active(25);
    EXPECT_EQ(rec.assertions(),
              (std::vector<std::string>{"current_puzzle < num_puzzles", "puzzle_id < num_puzzles"}));
    EXPECT_EQ(puzzle_get_active(), 4u);
    EXPECT_EQ(puzzle_get_active_info(&size, &tag), puzzle_get_info(4, nullptr, nullptr));
    EXPECT_EQ(std::pair(size, tag), std::pair(15, 15ul));
    puzzle_reset_for_test();
}

} // namespace
