// test_necrogram.cpp -- the board's clues, press and drag rules and completion test, over a board record
#include "game/g_necrogram_board.h"
#include "game/g_puzzles.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A board record, as the screen holds one.
class Necrogram : public ::testing::Test {
protected:
    std::unique_ptr<necrogram_board> board = std::make_unique<necrogram_board>();
    necrogram_board *b = board.get();
    dialog_recorder rec;

    void hover(int row, int column) {
        b->hover_row = row;
        b->hover_column = column;
    }
    std::vector<int> row_clues(int row) {
        return std::vector<int>(b->row_clues[row], b->row_clues[row] + b->row_clue_count[row]);
    }
    std::vector<int> column_clues(int column) {
        return std::vector<int>(b->column_clues[column], b->column_clues[column] + b->column_clue_count[column]);
    }
    void load_cells(int size, const u8 *cells) {
        necrogram_load(b, size, cells);
        necrogram_make_row_clues(b);
        necrogram_make_column_clues(b);
    }
    void load_puzzle(u32 index) {
        int size = 0;
        const u8 *cells = puzzle_get_info(index, &size, nullptr);
        load_cells(size, cells);
    }
    // Fills every cell that is 1 in picture (size x size) with left presses.
    void fill_picture(const u8 *picture, int size) {
        for (int i = 0; i < size * size; ++i)
            if (picture[i]) {
                hover(i / size, i % size);
                necrogram_press_left(b);
            }
    }
    u8 mark(int row, int column) { return necrogram_mark_at(b, row, column); }
};

TEST_F(Necrogram, CluesOfRunsEmptyAndFullLinesUpToTheLargestBoard) {
    // Row 3: empty full full empty full full full empty full full -> 2 3 2.
    std::vector<u8> cells(100, 0);
    const u8 row[10] = {0, 1, 1, 0, 1, 1, 1, 0, 1, 0};
    std::copy(row, row + 10, cells.begin() + 30);
    for (int r = 0; r < 10; ++r)
        cells[r * 10 + 9] = 1; // last column full
    load_cells(10, cells.data());
    EXPECT_EQ(row_clues(3), (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(row_clues(0), (std::vector<int>{1}));
    EXPECT_EQ(column_clues(9), (std::vector<int>{10}));
    // An empty column's list is the single number 0: count 1, not 0.
    EXPECT_EQ(column_clues(0), (std::vector<int>{0}));
    EXPECT_EQ(rec.count(), 0u);

    // Out of range: refused, the board left empty. The largest board's full line is 32.
    std::vector<u8> full(33 * 33, 1);
    necrogram_load(b, 33, full.data());
    EXPECT_TRUE(rec.asserted("size <= max_necrogram_size"));
    EXPECT_EQ(b->size, 0);
    necrogram_load(b, 10, nullptr);
    EXPECT_TRUE(rec.asserted("cells"));
    load_cells(32, full.data());
    EXPECT_EQ(row_clues(31), (std::vector<int>{32}));
    EXPECT_EQ(column_clues(31), (std::vector<int>{32}));
}

TEST_F(Necrogram, PressCyclesOfBothButtons) {
    load_puzzle(0);
    hover(0, 0);
    // Left: empty -> full -> empty; right: empty -> cross -> empty; then cross -> full -> cross.
    const struct {
        necrogram_effect (*press)(necrogram_board *);
        necrogram_effect effect;
        u8 mark;
    } steps[] = {
        {necrogram_press_left, necrogram_effect_full, mark_full},
        {necrogram_press_left, necrogram_effect_pave, mark_empty},
        {necrogram_press_right, necrogram_effect_cross, mark_cross},
        {necrogram_press_right, necrogram_effect_pave, mark_empty},
        {necrogram_press_right, necrogram_effect_cross, mark_cross},
        {necrogram_press_left, necrogram_effect_full, mark_full},
        {necrogram_press_right, necrogram_effect_cross, mark_cross},
    };
    for (const auto &s : steps) {
        EXPECT_EQ(s.press(b), s.effect);
        EXPECT_EQ(mark(0, 0), s.mark);
    }
    // Nothing hovered: no press or paint lands, and the stroke keeps its mark.
    hover(-1, -1);
    EXPECT_EQ(necrogram_press_left(b), necrogram_effect_none);
    EXPECT_EQ(necrogram_press_right(b), necrogram_effect_none);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_none);
    EXPECT_EQ(mark(0, 0), mark_cross);
    EXPECT_EQ(b->paint_mark, mark_cross);
}

TEST_F(Necrogram, StrokesPaintThePressMark) {
    load_puzzle(0);
    // A stroke with nothing pressed since the start paints empty.
    hover(0, 0);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_none);
    // Fill stroke across row 0: crosses become full too; a cell already full is silent.
    hover(0, 2);
    necrogram_press_right(b);
    hover(0, 0);
    necrogram_press_left(b);
    for (int c = 1; c < 5; ++c) {
        hover(0, c);
        EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_full) << c;
    }
    hover(0, 3);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_none);
    // A stroke begun on a full cell clears every cell it passes, full or crossed.
    hover(1, 0);
    necrogram_press_right(b);
    hover(0, 4);
    EXPECT_EQ(necrogram_press_left(b), necrogram_effect_pave);
    for (auto [r, c] : {std::pair(0, 3), std::pair(1, 0)}) {
        hover(r, c);
        EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_pave);
        EXPECT_EQ(mark(r, c), mark_empty);
    }
    // A cross stroke crosses full cells. The stroke's mark outlives the board.
    hover(2, 2);
    necrogram_press_left(b);
    hover(2, 3);
    necrogram_press_right(b);
    hover(2, 2);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_cross);
    load_puzzle(1);
    hover(5, 5);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_cross);
    EXPECT_EQ(mark(5, 5), mark_cross);
}

// Solving, breaking a solved board with a wrong fill and taking it back, and a cross that
// must count as empty are played in the new player's run; leaving a broken board records
// nothing in the comforts run.
TEST_F(Necrogram, AnyPictureThatFitsTheCluesSolvesIt) {
    // Puzzles 3, 5 and 6 have other pictures with exactly the same clues (rows as hex, left cell high).
    const struct {
        u32 puzzle;
        const char *rows;
    } others[] = {
        {3, "1CC4 60C2 04C4 1EF2 3DA8 7B53 63AF 077A 0F9F 4F92 5901 7307 2235 4E7D 36B8"},
        {5, "7FFF 639F 0D0F 303F 027F 28F5 41E0 5BF8 0FBD 2760 0E00 1B00 4603 0404 4400"},
        {6, "007E 07FC 3FC8 2A82 1894 5E40 50A0 1947 32D3 6588 0B2C 131F 4603 2E30 0C26"},
    };
    for (const auto &other : others) {
        SCOPED_TRACE("puzzle " + std::to_string(other.puzzle));
        load_puzzle(other.puzzle);
        std::vector<u8> picture;
        const char *p = other.rows;
        for (int r = 0; r < 15; ++r) {
            char *end = nullptr;
            const unsigned long bits = std::strtoul(p, &end, 16);
            p = end;
            for (int c = 0; c < 15; ++c)
                picture.push_back((bits >> (14 - c)) & 1);
        }
        ASSERT_NE(0, std::memcmp(picture.data(), puzzle_get_info(other.puzzle, nullptr, nullptr), 225));
        fill_picture(picture.data(), 15);
        EXPECT_TRUE(b->solved);
    }
}

} // namespace
