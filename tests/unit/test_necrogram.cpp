// test_necrogram.cpp -- the board's clues, press and drag rules, completion test, history and hints, over a
// board record, boards of any shape and their layouts; the player record's guards and save sizes, and the
// guarded active puzzle
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "game/board/g_necrogram.h"
#include "game/board/g_necrogram_board.h"
#include "game/board/g_necrogram_hints.h"
#include "game/story/g_player.h"
#include "game/story/g_puzzles.h"
#include "puzzle/pz_generate.h"
#include "puzzle/pz_grade.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
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
    // A line's clue as the board shows it: an empty line's is {0}.
    static std::vector<int> shown(const pz_clue &clue) { return clue.empty() ? std::vector<int>{0} : clue; }
    std::vector<int> row_clues(int r) { return shown(b->puzzle.rows[(size_t)r]); }
    std::vector<int> column_clues(int c) { return shown(b->puzzle.columns[(size_t)c]); }
    void load_cells(int size, const u8 *cells) { necrogram_load(b, size, size, cells); }
    void load_puzzle(u32 index) {
        int size = 0;
        const u8 *cells = puzzle_get_info(index, &size, nullptr);
        load_cells(size, cells);
    }
    u8 mark(int row, int column) { return necrogram_mark_at(b, row, column); }
    std::vector<u8> marks() { return std::vector<u8>(b->marks, b->marks + sizeof b->marks); }
    // One stroke: a press on the first cell, paints over the rest, the release.
    void stroke(necrogram_effect (*press)(necrogram_board *), std::vector<std::pair<int, int>> cells) {
        hover(cells[0].first, cells[0].second);
        press(b);
        for (size_t i = 1; i < cells.size(); ++i) {
            hover(cells[i].first, cells[i].second);
            necrogram_paint_hovered(b);
        }
        necrogram_stroke_end(b);
    }
};

TEST_F(Necrogram, CluesOfRunsEmptyAndFullLinesUpToTheLargestBoard) {
    // Row 3: empty full full empty full full full empty full full -> 2 3 2; the last column full.
    std::vector<u8> cells(100, 0);
    for (int i : {31, 32, 34, 35, 36, 38, 9, 19, 29, 39, 49, 59, 69, 79, 89, 99})
        cells[i] = 1;
    load_cells(10, cells.data());
    EXPECT_EQ(row_clues(3), (std::vector<int>{2, 3, 2}));
    EXPECT_EQ(row_clues(0), (std::vector<int>{1}));
    EXPECT_EQ(column_clues(9), (std::vector<int>{10}));
    // An empty column's list is the single number 0: count 1, not 0.
    EXPECT_EQ(column_clues(0), (std::vector<int>{0}));
    EXPECT_EQ(rec.count(), 0u);

    // Out of range: refused, the board left empty. The largest board's full line is 32.
    std::vector<u8> full(33 * 33, 1);
    necrogram_load(b, 33, 33, full.data());
    EXPECT_TRUE(rec.asserted("width <= max_necrogram_size"));
    EXPECT_EQ(b->width, 0);
    necrogram_load(b, 10, 10, nullptr);
    EXPECT_TRUE(rec.asserted("cells"));
    load_cells(32, full.data());
    EXPECT_EQ(row_clues(31), (std::vector<int>{32}));
    EXPECT_EQ(column_clues(31), (std::vector<int>{32}));
}

TEST_F(Necrogram, APressSetsTheStrokesMarkAndTheStrokePaintsIt) {
    // The first cell's mark and the press on it, what the press does, the mark of a cell
    // the stroke passes over, and what the stroke does there.
    const struct {
        u8 pressed;
        necrogram_effect (*press)(necrogram_board *);
        necrogram_effect press_effect;
        u8 over;
        necrogram_effect effect;
        u8 after;
    } rows[] = {
        // A stroke begun on an empty cell marks empty cells only.
        {mark_empty, necrogram_press_left, necrogram_effect_full, mark_empty, necrogram_effect_full, mark_full},
        {mark_empty, necrogram_press_left, necrogram_effect_full, mark_cross, necrogram_effect_none, mark_cross},
        {mark_empty, necrogram_press_left, necrogram_effect_full, mark_full, necrogram_effect_none, mark_full},
        {mark_empty, necrogram_press_right, necrogram_effect_cross, mark_full, necrogram_effect_none, mark_full},
        // One begun on a filled cell, by either button, empties filled cells only.
        {mark_full, necrogram_press_left, necrogram_effect_pave, mark_full, necrogram_effect_pave, mark_empty},
        {mark_full, necrogram_press_left, necrogram_effect_pave, mark_cross, necrogram_effect_none, mark_cross},
        {mark_full, necrogram_press_right, necrogram_effect_pave, mark_full, necrogram_effect_pave, mark_empty},
        // One begun on a cross empties crosses only.
        {mark_cross, necrogram_press_left, necrogram_effect_pave, mark_cross, necrogram_effect_pave, mark_empty},
        {mark_cross, necrogram_press_left, necrogram_effect_pave, mark_full, necrogram_effect_none, mark_full},
        {mark_cross, necrogram_press_right, necrogram_effect_pave, mark_cross, necrogram_effect_pave, mark_empty},
        {mark_empty, necrogram_press_right, necrogram_effect_cross, mark_empty, necrogram_effect_cross, mark_cross},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(std::to_string(r.pressed) + " pressed, over " + std::to_string(r.over));
        load_puzzle(0);
        for (auto [column, m] : {std::pair(0, r.pressed), std::pair(1, r.over)})
            if (m != mark_empty)
                stroke(m == mark_full ? necrogram_press_left : necrogram_press_right, {{0, column}});
        hover(0, 0);
        EXPECT_EQ(r.press(b), r.press_effect);
        hover(0, 1);
        EXPECT_EQ(necrogram_paint_hovered(b), r.effect);
        EXPECT_EQ(mark(0, 1), r.after);
    }
    // Nothing hovered: no press or paint lands. The stroke's marks outlive even the board.
    hover(-1, -1);
    EXPECT_EQ(necrogram_press_left(b), necrogram_effect_none);
    EXPECT_EQ(necrogram_press_right(b), necrogram_effect_none);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_none);
    load_puzzle(1);
    hover(5, 5);
    EXPECT_EQ(necrogram_paint_hovered(b), necrogram_effect_cross);
}

// Solving, breaking a solved board with a wrong fill and taking it back, and a cross that
// must count as empty are played in the new player's run; leaving a broken board records
// nothing in the comforts run.
TEST_F(Necrogram, AnyPictureThatFitsTheCluesSolvesIt) {
    // Two pictures with exactly the same clues (rows as hex, left cell high): location 3's
    // before it was mended to one solution, and the other picture that fits its clues.
    auto cells = [](const char *p) {
        std::vector<u8> out;
        for (int r = 0; r < 15; ++r) {
            char *end = nullptr;
            const unsigned long bits = std::strtoul(p, &end, 16);
            p = end;
            for (int c = 0; c < 15; ++c)
                out.push_back((bits >> (14 - c)) & 1);
        }
        return out;
    };
    const std::vector<u8> goal = cells("1CC2 60C4 04C8 1EF2 3DA4 7B53 63AF 077A 0F9F 4F92 5901 7307 2235 4E7D 36B8");
    const std::vector<u8> picture = cells("1CC4 60C2 04C4 1EF2 3DA8 7B53 63AF 077A 0F9F 4F92 5901 7307 2235 4E7D 36B8");
    load_cells(15, goal.data());
    ASSERT_NE(0, std::memcmp(picture.data(), goal.data(), 225));
    for (int i = 0; i < 225; ++i)
        if (picture[i]) {
            hover(i / 15, i % 15);
            necrogram_press_left(b);
        }
    EXPECT_TRUE(b->solved);
}

// A diagonal of two cells has a second solution, the other diagonal: no mark of either is
// wrong, two fills of one row do not fit together, hints from the other diagonal's fill
// finish that one, and from nothing a cell of the stored picture is revealed.
TEST_F(Necrogram, HintsOnAPictureWithTwoSolutionsFollowTheMarks) {
    const u8 diagonal[4] = {1, 0, 0, 1};
    load_cells(2, diagonal);
    necrogram_analysis a;
    necrogram_analysis_begin(&a, b);
    ASSERT_TRUE(necrogram_analysis_run(&a, 10.0));
    necrogram_hint_search s;
    auto hint = [&] {
        necrogram_hint_begin(&s, b);
        EXPECT_TRUE(necrogram_hint_run(&s, &a, b, 10.0));
        return s.hint;
    };
    hover(0, 0);
    necrogram_press_left(b);
    hover(0, 1);
    necrogram_press_left(b);
    EXPECT_FALSE(necrogram_mark_wrong(&a, b, 0, 0) || necrogram_mark_wrong(&a, b, 0, 1));
    necrogram_hint h = hint();
    EXPECT_EQ(h.kind, necrogram_hint_wrong_mark);
    EXPECT_EQ(h.cells[0], 1); // the later of the two
    necrogram_hint_apply(b, &h);
    necrogram_undo(b); // both fills again; then the first taken away leaves the other diagonal's
    hover(0, 0);
    necrogram_press_left(b);
    h = hint(); // line logic now settles the rest: row 0 keeps one cell
    EXPECT_EQ(h.kind, necrogram_hint_line);
    necrogram_hint_apply(b, &h);
    for (int i = 0; i < 10 && !b->solved; ++i) {
        h = hint();
        necrogram_hint_apply(b, &h);
    }
    EXPECT_TRUE(b->solved);
    EXPECT_EQ(mark(0, 1), mark_full);
    EXPECT_EQ(mark(1, 0), mark_full);
    // From an empty board nothing is forced: a cell of the stored picture is revealed.
    load_cells(2, diagonal);
    h = hint();
    EXPECT_EQ(h.kind, necrogram_hint_reveal);
    EXPECT_EQ(h.cells[0], 0);
    EXPECT_EQ(h.marks[0], mark_full);
}

// The analysis and a hint's search stop, unfinished, once their cancel flag is set (the
// board's thread is then free at once); the analysis goes on from there when run again.
TEST_F(Necrogram, TheAnalysisAndAHintStopWhenCancelled) {
    load_puzzle(6);
    std::atomic<bool> cancel{true};
    necrogram_analysis a;
    necrogram_analysis_begin(&a, b);
    a.cancel = &cancel;
    EXPECT_FALSE(necrogram_analysis_run(&a, 10.0));
    EXPECT_FALSE(a.ready);
    cancel = false;
    EXPECT_TRUE(necrogram_analysis_run(&a, 10.0));
    necrogram_hint_search s;
    necrogram_hint_begin(&s, b);
    s.cancel = &cancel;
    cancel = true;
    EXPECT_FALSE(necrogram_hint_run(&s, &a, b, 10.0));
    EXPECT_EQ(s.hint.kind, necrogram_hint_none);
}

// A clue number is finished once the marks place its run for certain and fill it, worked out
// from the marks alone (the goal never counts), on a row and on the same line as a column.
TEST_F(Necrogram, FinishedNumbersComeFromTheMarksAlone) {
    const struct {
        const char *picture, *marks; // the line's goal (its clue), and its marks
        u32 finished;
    } lines[] = {
        {"##.##.....", "##........", 0b01}, // 2 2: a pair at the start can only be the first run
        {"##.##.....", "....##....", 0},    // either run could lie there
        {"##.##.....", "##.##.....", 0b11},
        {"###.......", "##........", 0}, // placed at the start for certain, not yet filled
        {"###.......", "x...xxxxxx", 0}, // crosses alone place it, nothing filled
        {"#.#.#.....", "#.#.x.....", 0b011},
        {"#.........", ".#........", 0b1}, // not where the goal has it: the marks place it there
        {"###.......", "#x#.......", 0},   // no placement fits these marks
    };
    for (const auto &line : lines) {
        SCOPED_TRACE(std::string(line.picture) + " marked " + line.marks);
        std::vector<u8> cells(10);
        for (int i = 0; i < 10; ++i)
            cells[(size_t)i] = line.picture[i] == '#';
        for (bool column : {false, true}) {
            necrogram_load(b, column ? 1 : 10, column ? 10 : 1, cells.data());
            for (int i = 0; i < 10; ++i)
                b->marks[i] = line.marks[i] == '#' ? mark_full : line.marks[i] == 'x' ? mark_cross : mark_empty;
            EXPECT_EQ(column ? necrogram_column_finished(b, 0) : necrogram_row_finished(b, 0), line.finished);
        }
    }
    EXPECT_EQ(necrogram_row_finished(b, 1), 0u); // past the board
}

// (Undo and redo of a drag, over a cross and across solving, and a new stroke ending redo
// are played in the comforts run.)
TEST_F(Necrogram, TheHistoryDropsItsOldestStepsWhenFull) {
    // Whole-board strokes (100 changes each) overflow the change table; single clicks the step table.
    for (const int cells_per_stroke : {100, 1}) {
        SCOPED_TRACE(cells_per_stroke);
        load_puzzle(0);
        const int strokes = cells_per_stroke == 1 ? max_history_steps + 50 : 100;
        std::vector<std::pair<int, int>> cells;
        for (int i = 0; i < cells_per_stroke; ++i)
            cells.emplace_back(i / 10, i % 10);
        std::vector<std::vector<u8>> after; // the marks after each stroke
        for (int s = 0; s < strokes; ++s) {
            stroke(necrogram_press_left, cells); // toggles (0, 0) every stroke
            after.push_back(marks());
        }
        int undone = 0;
        while (necrogram_undo(b)) {
            ++undone;
            ASSERT_LT(undone, strokes);
            ASSERT_EQ(marks(), after[strokes - 1 - undone]) << undone;
        }
        EXPECT_GT(undone, 0);
        EXPECT_LT(undone, strokes);
        EXPECT_LE(b->history.num_changes, max_history_changes);
    }
}

// A 7 x 13 board from a generated puzzle: its own clues, lines satisfied one way and not the
// other, the keyboard cursor held at each edge; a 30-cell drag on a 30 x 30 board undone and
// redone as one step; a puzzle past the board's limits refused.
TEST_F(Necrogram, RectangularBoardsFromPuzzles) {
    pz_puzzle p;
    ASSERT_TRUE(pz_generate(7, 13, pz_grade::easy, 5, &p, nullptr));
    ASSERT_TRUE(necrogram_load_puzzle(b, p));
    ASSERT_EQ(std::pair(b->width, b->height), std::pair(7, 13));
    for (int r = 0; r < 13; ++r)
        EXPECT_EQ(row_clues(r), p.rows[r].empty() ? std::vector<int>{0} : p.rows[r]) << r;
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(column_clues(c), p.columns[c].empty() ? std::vector<int>{0} : p.columns[c]) << c;
    EXPECT_EQ(b->puzzle, pz_from_picture(7, 13, p.goal.data()));
    // Row 12 and column 6 of the goal marked: those lines hold, the board is not solved
    // until every goal cell is, then it is; nothing lands outside the 7 x 13.
    for (int i = 0; i < 7 * 13; ++i)
        if (p.goal[i] && (i / 7 == 12 || i % 7 == 6))
            hover(i / 7, i % 7), necrogram_press_left(b);
    EXPECT_TRUE(necrogram_row_satisfied(b, 12));
    EXPECT_TRUE(necrogram_column_satisfied(b, 6));
    EXPECT_FALSE(necrogram_row_satisfied(b, 13) || necrogram_column_satisfied(b, 7));
    for (int i = 0; i < 7 * 13; ++i)
        if (p.goal[i] && i / 7 != 12 && i % 7 != 6)
            hover(i / 7, i % 7), necrogram_press_left(b);
    EXPECT_TRUE(b->solved);
    hover(12, 7);
    EXPECT_EQ(necrogram_press_left(b), necrogram_effect_none);
    // The keyboard cursor stops at each edge of the rectangle.
    hover(-1, -1);
    necrogram_move_hover(b, -5, -5);
    EXPECT_EQ(std::pair(b->hover_row, b->hover_column), std::pair(0, 0));
    necrogram_move_hover(b, 100, 100);
    EXPECT_EQ(std::pair(b->hover_row, b->hover_column), std::pair(12, 6));
    necrogram_move_hover(b, -3, 0);
    EXPECT_EQ(std::pair(b->hover_row, b->hover_column), std::pair(12, 3));

    // A drag over a whole row of 30 is one step back and forth.
    std::vector<u8> picture(30 * 30, 1);
    load_cells(30, picture.data());
    hover(29, 0);
    necrogram_press_left(b);
    hover(29, 29);
    necrogram_paint_line(b);
    necrogram_stroke_end(b);
    const std::vector<u8> painted = marks();
    EXPECT_EQ(mark(29, 29), mark_full);
    EXPECT_TRUE(necrogram_row_satisfied(b, 29));
    ASSERT_TRUE(necrogram_undo(b));
    EXPECT_EQ(marks(), std::vector<u8>(sizeof b->marks, mark_empty));
    EXPECT_FALSE(necrogram_can_undo(b));
    ASSERT_TRUE(necrogram_redo(b));
    EXPECT_EQ(marks(), painted);

    // Past the board: 33 wide, 17 runs on a line (33 x 33), no goal. The board is left empty.
    pz_puzzle wide = pz_from_picture(33, 2, std::vector<uint8_t>(66, 1).data());
    std::vector<uint8_t> stripes(32 * 33);
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = (i / 32) % 2 == 0;
    pz_puzzle runs = pz_from_picture(32, 33, stripes.data()), no_goal = p;
    no_goal.goal.clear();
    for (const pz_puzzle *bad : {&wide, &runs, &no_goal}) {
        EXPECT_FALSE(necrogram_load_puzzle(b, *bad));
        EXPECT_EQ(b->width, 0);
    }
    EXPECT_EQ(rec.count(), 0u);
}

// Every square from 5 to 30 and some long shapes, with the most clues a line can have
// (alternate cells) and with long runs (two-digit clues): the grid, its clue lists and the
// strips inside the area above the hint's strip and clear of the column, cells readable.
// The story's boards keep the story's layout; other boards' cells grow up to 48 pixels, a
// small board's to the most.
TEST(NecrogramLayout, EveryShapeFitsTheArea) {
    auto board = std::make_unique<necrogram_board>();
    necrogram_board *b = board.get();
    std::vector<std::pair<int, int>> shapes = {{7, 13}, {25, 10}, {30, 5}, {5, 30}, {13, 29}, {30, 21}, {12, 15}};
    for (int n = 5; n <= 30; ++n)
        shapes.emplace_back(n, n);
    for (auto [w, h] : shapes)
        for (int pattern = 0; pattern < 4; ++pattern) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " pattern " + std::to_string(pattern));
            std::vector<u8> cells((size_t)(w * h));
            for (int i = 0; i < w * h; ++i)
                cells[(size_t)i] = pattern % 2 == 0 ? ((i / w + i % w) % 2 == 0) : (i % w != 11 && i / w != 12);
            necrogram_load(b, w, h, cells.data());
            b->story_layout = pattern >= 2;
            const necrogram_layout l = necrogram_layout_for(b);
            if (b->story_layout && necrogram_story_shape(w, h)) {
                EXPECT_EQ(l.grid_x, necrogram_story_layout(w).grid_x);
                EXPECT_EQ(l.cell, 32);
                continue;
            }
            EXPECT_GE(l.cell, 15);
            EXPECT_LE(l.cell, necrogram_max_cell);
            if (w <= 5 && h <= 5) {
                EXPECT_EQ(l.cell, 48);
            }
            EXPECT_EQ(std::pair(l.grid_width, l.grid_height), std::pair(w * l.cell, h * l.cell));
            EXPECT_GE(l.strip_left, 0);
            EXPECT_GE(l.strip_top, 0);
            EXPECT_LT(l.grid_x + l.grid_width + 1, necrogram_area_width);
            EXPECT_LT(l.grid_y + l.grid_height + 1, necrogram_strip_top);
            for (int r = 0; r < h; ++r) {
                int x = l.grid_x;
                for (int i = 0; i < necrogram_clue_count(b->puzzle.rows[(size_t)r]); ++i)
                    x -= necrogram_row_clue_advance(l, necrogram_clue_at(b->puzzle.rows[(size_t)r], i));
                EXPECT_GE(x, l.strip_left) << "row " << r;
            }
            for (int c = 0; c < w; ++c) {
                const pz_clue &clue = b->puzzle.columns[(size_t)c];
                EXPECT_GE(l.grid_y - l.column_rise * necrogram_clue_count(clue), l.strip_top) << "column " << c;
                for (int i = 0; i < necrogram_clue_count(clue); ++i)
                    EXPECT_LE(necrogram_clue_text_for(l, necrogram_clue_at(clue, i), true).width, l.cell - 2);
            }
        }
}

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
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"current_puzzle < num_puzzles", "puzzle_id < num_puzzles"}));
    EXPECT_EQ(puzzle_get_active(), 4u);
    EXPECT_EQ(puzzle_get_active_info(&size, &tag), puzzle_get_info(4, nullptr, nullptr));
    EXPECT_EQ(std::pair(size, tag), std::pair(15, 15ul));
    puzzle_reset_for_test();
}

// Every location's picture has one solution that line logic and look-ahead reach, so its
// hints never have to reveal a cell (locations 3, 5 and 6 needed a guess before their mend).
TEST(Puzzles, EveryLocationSolvesWithoutAGuess) {
    dialog_recorder rec;
    for (u32 id = 0; id < num_puzzles; ++id) {
        puzzle_set_active(id);
        const pz_puzzle *p = puzzle_get_active_puzzle();
        ASSERT_NE(p, nullptr);
        const pz_grading g = pz_grade_puzzle(*p, pz_limits{.max_steps = 0, .seconds = 10, .cancel = nullptr});
        EXPECT_NE(g.grade, pz_grade::search) << "location " << id;
        EXPECT_FALSE(g.search_needed) << "location " << id;
    }
    puzzle_reset_for_test();
    EXPECT_EQ(rec.count(), 0u);
}

} // namespace
