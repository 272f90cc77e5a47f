// test_player.cpp -- the player record: completions, new game, and loading saves of every size;
// the guarded active puzzle (sizes, tags and pictures are played in test_necrogram, the map and the
// end-to-end runs)
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "game/g_player.h"
#include "game/g_puzzles.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

class Player : public ::testing::Test {
protected:
    void SetUp() override {
        memory_system_init();
        save_file_init_path();
        std::remove(save_file_path());
        player_reset();
    }
    void TearDown() override {
        std::remove(save_file_path());
        player_reset();
        EXPECT_EQ(memory_num_allocations(), 0);
    }
    static std::vector<u8> saved() {
        u32 size = 0;
        u8 *bytes = save_file_load(&size);
        std::vector<u8> out(bytes, bytes + (bytes ? size : 0));
        if (bytes)
            zel_free(bytes);
        return out;
    }
    dialog_recorder rec;
};

// (Completing, new game and continue are played with their saves in the end-to-end runs.)
TEST_F(Player, ABadIndexChangesAndSavesNothing) {
    player_complete_puzzle(3);
    player_complete_puzzle(25);
    EXPECT_FALSE(player_has_completed(25));
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"puzzle_id < num_puzzles", "puzzle_id < num_puzzles"}));
    std::vector<u8> expected(25, 0);
    expected[3] = 1;
    EXPECT_EQ(saved(), expected);
}

TEST_F(Player, OnlyASaveOfExactly25BytesLoads) {
    std::vector<u8> bytes(25, 0);
    bytes[7] = 2; // any non-zero byte counts as completed
    ASSERT_TRUE(save_file_save(bytes.data(), 25));
    player_continue();
    EXPECT_TRUE(player_has_completed(7));
    EXPECT_EQ(rec.count(), 0u);

    // One byte short (one too many: the lost-progress run, which also keeps the file aside).
    const std::vector<u8> wrong(24, 1);
    std::remove(save_file_path());
    ASSERT_TRUE(save_file_save(wrong.data(), 24));
    player_continue();
    EXPECT_TRUE(rec.asserted("save_size == sizeof( player_data )"));
    EXPECT_FALSE(player_has_completed(7)); // the record held progress before
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
