// test_puzzles.cpp -- the guarded active puzzle
// (sizes, tags and pictures are played in test_necrogram, the map and the end-to-end runs)
#include "game/g_puzzles.h"
#include "tw_test.h"

#include <gtest/gtest.h>

namespace {

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
