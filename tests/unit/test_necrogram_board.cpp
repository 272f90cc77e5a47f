// test_necrogram_board.cpp -- undo and redo of strokes, the history's bounds, the per-line test, the keyboard cursor
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

TEST(NecrogramBoard, AStrokeIsOneStepAndSolvedFollowsUndoAndRedo) {
    auto owner = make_board();
    necrogram_board *b = owner.get();
    EXPECT_FALSE(necrogram_undo(b)); // nothing yet, either way
    EXPECT_FALSE(necrogram_redo(b));

    stroke(b, necrogram_press_right, 1, {0, 1, 2}); // crosses, one of them on a picture cell
    stroke(b, necrogram_press_left, 1, {2, 3, 4, 5}); // the fill paints over that cross: solved
    ASSERT_TRUE(b->solved);
    const std::vector<u8> solved_row = row_marks(b, 1);

    EXPECT_TRUE(necrogram_undo(b)); // the whole fill stroke, and the cross under it comes back
    EXPECT_FALSE(b->solved);
    EXPECT_EQ(row_marks(b, 1), (std::vector<u8>{2, 2, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(necrogram_undo(b));
    EXPECT_EQ(row_marks(b, 1), std::vector<u8>(10, mark_empty));
    EXPECT_FALSE(necrogram_undo(b));
    EXPECT_FALSE(necrogram_can_undo(b));

    EXPECT_TRUE(necrogram_redo(b));
    EXPECT_TRUE(necrogram_redo(b));
    EXPECT_TRUE(b->solved);
    EXPECT_EQ(row_marks(b, 1), solved_row);
    EXPECT_FALSE(necrogram_redo(b));

    // A new stroke after an undo forgets what could have been redone.
    necrogram_undo(b);
    stroke(b, necrogram_press_left, 5, {5});
    EXPECT_FALSE(necrogram_can_redo(b));
    necrogram_undo(b);
    EXPECT_EQ(necrogram_mark_at(b, 5, 5), mark_empty);
    EXPECT_EQ(row_marks(b, 1), (std::vector<u8>{2, 2, 2, 0, 0, 0, 0, 0, 0, 0}));

    // A drag begun off the grid (no press) is a step too, ended by the release.
    b->paint_mark = mark_full;
    b->hover_row = 7;
    for (int c : {0, 1}) {
        b->hover_column = c;
        necrogram_paint_hovered(b);
    }
    necrogram_stroke_end(b);
    necrogram_undo(b);
    EXPECT_EQ(row_marks(b, 7), std::vector<u8>(10, mark_empty));

    // Loading (a new visit) starts an empty history.
    const u8 empty[100] = {};
    necrogram_load(b, 10, empty);
    EXPECT_FALSE(necrogram_can_undo(b));
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

TEST(NecrogramBoard, LinesAreSatisfiedByTheirFullMarksAlone) {
    auto owner = make_board();
    necrogram_board *b = owner.get();
    EXPECT_TRUE(necrogram_row_satisfied(b, 0)); // an empty line's clue 0 holds from the start
    EXPECT_FALSE(necrogram_row_satisfied(b, 1));
    EXPECT_FALSE(necrogram_column_satisfied(b, 2));
    stroke(b, necrogram_press_right, 1, {0, 9}); // crosses count as empty
    stroke(b, necrogram_press_left, 1, {2, 3, 4, 5});
    EXPECT_TRUE(necrogram_row_satisfied(b, 1));
    EXPECT_TRUE(necrogram_column_satisfied(b, 2));
    stroke(b, necrogram_press_left, 1, {7}); // a run too many
    EXPECT_FALSE(necrogram_row_satisfied(b, 1));
    EXPECT_FALSE(necrogram_column_satisfied(b, 7));
    EXPECT_FALSE(necrogram_row_satisfied(b, -1));
    EXPECT_FALSE(necrogram_column_satisfied(b, 10));
}

TEST(NecrogramBoard, TheKeyboardCursorStartsTopLeftAndStopsAtTheEdges) {
    auto owner = make_board();
    necrogram_board *b = owner.get();
    EXPECT_TRUE(necrogram_move_hover(b, 1, 0)); // none hovered: only shows the cursor
    EXPECT_EQ(std::pair(b->hover_column, b->hover_row), std::pair(0, 0));
    necrogram_move_hover(b, -1, -1);
    EXPECT_EQ(std::pair(b->hover_column, b->hover_row), std::pair(0, 0));
    for (int i = 0; i < 12; ++i)
        necrogram_move_hover(b, 1, 1);
    EXPECT_EQ(std::pair(b->hover_column, b->hover_row), std::pair(9, 9));
    necrogram_load(b, 0, nullptr);
    EXPECT_FALSE(necrogram_move_hover(b, 1, 0));
}

} // namespace
