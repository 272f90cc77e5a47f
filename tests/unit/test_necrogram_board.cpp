// test_necrogram_board.cpp -- undo and redo of strokes over a board record, the history's bounds
#include "game/g_necrogram_board.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A 10 x 10 board whose picture is row 1 filled from column 2 to 5.
std::unique_ptr<necrogram_board> make_board() {
    auto b = std::make_unique<necrogram_board>();
    u8 cells[100] = {};
    for (int c = 2; c <= 5; ++c)
        cells[10 + c] = 1;
    necrogram_load(b.get(), 10, cells);
    necrogram_make_row_clues(b.get());
    necrogram_make_column_clues(b.get());
    return b;
}

// One stroke: a press on the first cell, paints over the rest, the release.
void stroke(necrogram_board *b, necrogram_effect (*press)(necrogram_board *), int row, std::vector<int> columns) {
    b->hover_row = row;
    b->hover_column = columns[0];
    press(b);
    for (size_t i = 1; i < columns.size(); ++i) {
        b->hover_column = columns[i];
        necrogram_paint_hovered(b);
    }
    necrogram_stroke_end(b);
}

std::vector<u8> row_marks(const necrogram_board *b, int row) {
    std::vector<u8> marks;
    for (int c = 0; c < 10; ++c)
        marks.push_back(necrogram_mark_at(b, row, c));
    return marks;
}

// (Undo and redo of a drag and across solving, at the empty ends, run end to end.)
TEST(NecrogramBoard, UndoRestoresWhatAStrokePaintedOverAndANewStrokeEndsRedo) {
    auto owner = make_board();
    necrogram_board *b = owner.get();
    stroke(b, necrogram_press_right, 1, {0, 1, 2});
    stroke(b, necrogram_press_left, 1, {2, 3, 4, 5}); // fills over the cross at column 2: solved
    EXPECT_TRUE(necrogram_undo(b));
    EXPECT_FALSE(b->solved);
    EXPECT_EQ(row_marks(b, 1), (std::vector<u8>{2, 2, 2, 0, 0, 0, 0, 0, 0, 0}));
    stroke(b, necrogram_press_left, 5, {5});
    EXPECT_FALSE(necrogram_redo(b));
    necrogram_undo(b);
    EXPECT_EQ(necrogram_mark_at(b, 5, 5), mark_empty);
    EXPECT_EQ(row_marks(b, 1), (std::vector<u8>{2, 2, 2, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(NecrogramBoard, TheHistoryDropsItsOldestStepsWhenFull) {
    // Whole-board strokes (100 changes each) overflow the change table; single clicks the step table.
    for (const int cells_per_stroke : {100, 1}) {
        SCOPED_TRACE(cells_per_stroke);
        auto owner = make_board();
        necrogram_board *b = owner.get();
        const int strokes = cells_per_stroke == 1 ? max_history_steps + 50 : 100;
        std::vector<std::vector<u8>> after; // the marks after each stroke
        for (int s = 0; s < strokes; ++s) {
            b->hover_row = b->hover_column = 0;
            necrogram_press_left(b); // toggles (0, 0) every stroke
            for (int i = 1; i < cells_per_stroke; ++i) {
                b->hover_row = i / 10;
                b->hover_column = i % 10;
                necrogram_paint_hovered(b);
            }
            necrogram_stroke_end(b);
            after.emplace_back(b->marks, b->marks + sizeof b->marks);
        }
        int undone = 0;
        while (necrogram_undo(b)) {
            ++undone;
            ASSERT_LT(undone, strokes);
            ASSERT_EQ(0, std::memcmp(b->marks, after[strokes - 1 - undone].data(), sizeof b->marks)) << undone;
        }
        EXPECT_GT(undone, 0);
        EXPECT_LT(undone, strokes);
        EXPECT_LE(b->history.num_changes, max_history_changes);
    }
}

} // namespace
