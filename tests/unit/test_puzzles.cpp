// test_puzzles.cpp -- the catalogue holds the 25 pictures exactly, and the active puzzle is guarded
#include "game/g_puzzles.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

// The catalogue as published: each row an N-bit number, leftmost cell first.
struct catalogue_row {
    int size;
    unsigned long tag;
    const char *rows;
};
const catalogue_row catalogue[25] = {
    {10, 2, "000 078 04C 0C2 086 104 18C 1F8 078 000"},
    {10, 17, "000 070 0F8 1FC 1FE 1FC 0FC 078 0F8 0FC"},
    {10, 22, "01F 01F 03F 03E 078 0F0 3E0 3E0 140 3C0"},
    {15, 16, "1CC2 60C4 04C8 1EF2 3DA4 7B53 63AF 077A 0F9F 4F92 5901 7307 2235 4E7D 36B8"},
    {15, 15, "0002 1F0C 63FC 6DDF 7DEE 7DFB 1DEF 1FB9 1FE0 3F8E 7F6B 7F93 7F07 7FFF 7FFF"},
    {15, 14, "7FFF 639F 0D0F 603F 407F 0AF5 21E0 5BF8 0FBD 1760 0E00 1B00 2603 4400 0404"},
    {15, 18, "007E 07FC 3FC8 2A90 18A2 5E40 50A0 1947 32D3 6584 0B0B 131F 260C 4E30 0C26"},
    {15, 7, "7DDF 7F7F 41FF 011F 13FF 0FFE 1FF8 2FF0 07E0 07D0 0FA4 1E58 3030 4070 01E0"},
    {15, 20, "0000 0000 07C0 0C20 0E20 08E0 5A67 3CF8 5FE0 2B81 5E07 701C 43E4 7C84 6704"},
    {15, 9, "0000 3F80 20C0 4720 6C30 4010 7D50 2150 6298 238C 1286 7807 5C7F 03FE 0000"},
    {15, 23, "0066 00AA 01F4 0344 04E8 05C8 1808 310C 228E 3D3A 1273 1FC1 0783 1C7F 3497"},
    {15, 21, "0380 645C 3F78 1C70 0E60 1FF0 2318 460C 560C 464C 5615 654E 5EB6 6513 4DAC"},
    {15, 19, "0000 0001 0002 67F6 7C1C 67F8 18E1 2030 4218 4014 7F34 3E68 03FB 01D9 000C"},
    {15, 13, "1860 61C0 4240 01CA 706A 402A 4F2A 172F 22E2 6166 5239 7FE9 623E 7266 3E46"},
    {15, 11, "03C1 0423 05E6 0564 6489 3699 1AF3 0EE6 02FE 47EC 5284 3CF4 001C 7634 144C"},
    {15, 3, "383C 4443 0FF1 3030 4018 431C 47FC 61F4 5006 6C02 1F5A 315A 215A 615A 41FE"},
    {15, 4, "0000 03E0 0E18 31C4 3186 4D5A 4362 4092 5082 7C9A 5EBE 269A 188C 06B0 01C0"},
    {15, 0, "02F2 030E 5BFA 356C 6B68 3B68 47E8 0338 3FD8 20B8 2048 1078 1044 1064 1056"},
    {15, 8, "738F 1D78 1088 789E 44A2 4663 2FF5 2BDD 1013 4BD3 4A56 4A53 55A9 2255 7183"},
    {15, 6, "304B 7C99 6FAD 4302 0363 0643 3802 2002 2394 3FBF 7F23 7F66 7EB9 7F23 783F"},
    {15, 24, "030C 0306 1182 0183 5DC1 50C1 4C61 6BB1 26D9 376F 13B6 4BDC 65E0 72E0 7980"},
    {15, 5, "1B80 2560 4618 49F4 4A58 6710 3BB8 37F4 574A 570B 3FF5 1DF5 0835 4839 643A"},
    {15, 12, "0640 3880 2CC0 2620 2290 2150 52A8 57C4 15F4 14FC 5FB0 21C8 0F78 1900 3F00"},
    {15, 10, "41F0 611C 791E 0C9C 075C 01DC 06D8 000E 0006 000A 21E4 781C 6F84 40FC 4000"},
    {15, 1, "0000 2002 2002 2002 2006 23EE 37FA 3C12 2BC2 2422 33C6 180C 0C18 07F0 03E0"},
};

TEST(Puzzles, EveryPictureMatchesTheCatalogue) {
    dialog_recorder rec;
    std::set<unsigned long> tags;
    for (u32 i = 0; i < num_puzzles; ++i) {
        SCOPED_TRACE("puzzle " + std::to_string(i));
        int size = -1;
        unsigned long tag = 999;
        const u8 *cells = puzzle_get_info(i, &size, &tag);
        ASSERT_NE(cells, nullptr);
        EXPECT_EQ(size, catalogue[i].size);
        EXPECT_EQ(tag, catalogue[i].tag);
        tags.insert(tag);
        std::istringstream rows(catalogue[i].rows);
        std::string hex;
        for (int r = 0; r < size; ++r) {
            ASSERT_TRUE(rows >> hex);
            const unsigned long bits = std::stoul(hex, nullptr, 16);
            for (int c = 0; c < size; ++c)
                EXPECT_EQ(cells[r * size + c], (bits >> (size - 1 - c)) & 1) << "row " << r << " column " << c;
        }
    }
    // The tags are a permutation of 0 to 24.
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
