// test_workshop_verdict.cpp -- the Workshop's picture tools and history, the verdict on drawn pictures, Suggest's fixes
#include "engine/ec_fileio.h"
#include "game/workshop/g_workshop_files.h"
#include "game/workshop/g_workshop_picture.h"
#include "game/workshop/g_workshop_verdict.h"
#include "puzzle/pz_fair.h"
#include "puzzle/pz_generate.h"
#include "puzzle/pz_solve.h"

#include "tw_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A picture from rows of '#' (filled) and '.' (empty).
workshop_picture picture(const std::vector<std::string> &rows) {
    workshop_picture p;
    p.width = (int)rows[0].size();
    p.height = (int)rows.size();
    p.cells.clear();
    for (const std::string &r : rows)
        for (char c : r)
            p.cells.push_back(c == '#');
    return p;
}

std::vector<std::string> rows_of(const workshop_picture &p) {
    std::vector<std::string> rows;
    for (int y = 0; y < p.height; ++y) {
        rows.emplace_back();
        for (int x = 0; x < p.width; ++x)
            rows.back() += workshop_at(p, x, y) ? '#' : '.';
    }
    return rows;
}

// The cells set in a width * height mask, as "(column, row)" in reading order.
std::vector<std::string> cells_named(const std::vector<uint8_t> &mask, int width) {
    std::vector<std::string> names;
    for (size_t i = 0; i < mask.size(); ++i)
        if (mask[i])
            names.push_back("(" + std::to_string(i % width) + ", " + std::to_string(i / width) + ")");
    return names;
}

pz_fair_report judged(const workshop_picture &p) { return pz_judge_picture(p.width, p.height, p.cells.data(), {}); }

// A frame with a dot in its middle: every line is settled by line logic.
const workshop_picture frame = picture({"#####", "#...#", "#.#.#", "#...#", "#####"});
// Two cells on a diagonal: the other diagonal has the same clues.
const workshop_picture diagonal = picture({"#....", ".#...", ".....", ".....", "....."});
// A picture whose clues have only it as a solution, yet line logic and look-ahead stop
// short: the cells they leave open need a guess.
const workshop_picture needs_guess = picture({
    "...##....#",
    "####..#...",
    "#....##.#.",
    "......#.##",
    "#..#.#.#..",
    "..........",
    ".........#",
    "..#.##....",
    ".....##.#.",
    ".###.##.##",
});

TEST(WorkshopPicture, ToolsDrawWithTheirMirrorsAndKeepTheSize) {
    workshop_picture p = workshop_blank(7, 5);
    EXPECT_TRUE(workshop_line(&p, 0, 0, 3, 3, 1, workshop_mirror_none));
    EXPECT_EQ(rows_of(p), (std::vector<std::string>{"#......", ".#.....", "..#....", "...#...", "......."}));
    EXPECT_FALSE(workshop_line(&p, 0, 0, 3, 3, 1, workshop_mirror_none)) << "nothing new: no change";
    p = workshop_blank(7, 5);
    workshop_rect(&p, 1, 1, 0, 0, 1, workshop_mirror_left_right | workshop_mirror_top_bottom);
    EXPECT_EQ(rows_of(p), (std::vector<std::string>{"##...##", "##...##", ".......", "##...##", "##...##"}));
    workshop_paint(&p, 3, 2, 1, workshop_mirror_left_right); // the middle column is its own mirror
    EXPECT_EQ(workshop_filled_count(p), 17);
    workshop_invert(&p);
    EXPECT_EQ(workshop_filled_count(p), 35 - 17);

    // Shifting wraps round, so four steps right and three left give the picture back.
    const workshop_picture before = p;
    workshop_shift(&p, 1, 0);
    EXPECT_EQ(workshop_at(p, 0, 0), workshop_at(before, 6, 0));
    workshop_shift(&p, 0, -1);
    EXPECT_EQ(workshop_at(p, 1, 4), workshop_at(before, 0, 0));
    workshop_shift(&p, -1, 1);
    EXPECT_EQ(p, before);

    EXPECT_TRUE(workshop_resize(&p, 40, 2));
    EXPECT_EQ(p.width, workshop_max_size);
    EXPECT_EQ(p.height, workshop_min_size);
    EXPECT_EQ(workshop_at(p, 6, 4), workshop_at(before, 6, 4));
    EXPECT_EQ(workshop_at(p, 7, 0), 0);
}

TEST(WorkshopPicture, HistoryUndoesAndRedoesAndForgetsTheUndoneOnAChange) {
    workshop_history h;
    workshop_picture p = workshop_blank(5, 5);
    std::vector<workshop_picture> states = {p};
    for (int i = 0; i < 3; ++i) {
        workshop_history_push(&h, p);
        workshop_paint(&p, i, i, 1, workshop_mirror_none);
        states.push_back(p);
    }
    EXPECT_TRUE(workshop_undo(&h, &p));
    EXPECT_TRUE(workshop_undo(&h, &p));
    EXPECT_EQ(p, states[1]);
    EXPECT_TRUE(workshop_redo(&h, &p));
    EXPECT_EQ(p, states[2]);
    workshop_history_push(&h, p); // a new change: the step undone is gone
    workshop_invert(&p);
    EXPECT_FALSE(workshop_redo(&h, &p));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(workshop_undo(&h, &p));
    EXPECT_EQ(p, states[0]);
    EXPECT_FALSE(workshop_undo(&h, &p));

    for (int i = 0; i < workshop_max_history + 10; ++i)
        workshop_history_push(&h, p);
    EXPECT_EQ((int)h.undo.size(), workshop_max_history);
}

TEST(WorkshopVerdict, NamesEachKindWithItsCells) {
    const pz_fair_report fair = judged(frame);
    EXPECT_EQ(fair.kind, pz_fairness::fair);
    EXPECT_EQ(fair.grading.grade, pz_grade::easy);
    EXPECT_EQ(fair.open_count, 0);

    const pz_fair_report several = judged(diagonal);
    ASSERT_EQ(several.kind, pz_fairness::several);
    EXPECT_EQ(cells_named(several.differ, 5), (std::vector<std::string>{"(0, 0)", "(1, 0)", "(0, 1)", "(1, 1)"}));
    EXPECT_EQ(several.differ_count, 4);
    EXPECT_EQ(cells_named(several.other, 5), (std::vector<std::string>{"(1, 0)", "(0, 1)"}));
    EXPECT_EQ(cells_named(several.open, 5), cells_named(several.differ, 5));

    const pz_fair_report guess = judged(needs_guess);
    ASSERT_EQ(guess.kind, pz_fairness::guess);
    EXPECT_GT(guess.open_count, 0);
    EXPECT_EQ((int)cells_named(guess.open, 10).size(), guess.open_count);
    // The open cells are the ones reasoning cannot settle: propagating and probing each leaves them.
    pz_puzzle p = pz_from_picture(10, 10, needs_guess.cells.data());
    p.goal.clear();
    std::vector<pz_cell> grid(100, pz_unknown);
    pz_propagate(p, grid.data());
    for (int i = 0; i < 100; ++i)
        if (guess.open[i]) {
            EXPECT_EQ(grid[i], pz_unknown);
            const pz_probe probe = pz_probe_cell(p, grid.data(), i % 10, i / 10);
            EXPECT_FALSE(probe.filled_breaks || probe.empty_breaks) << "cell " << i;
        }
    const pz_grading g = pz_grade_puzzle(p, {});
    EXPECT_EQ(g.grade, pz_grade::search);
    EXPECT_EQ(g.verdict, pz_verdict::unique);
}

TEST(WorkshopVerdict, ACancelledJudgeSaysStopped) {
    std::atomic<bool> cancel{true};
    const pz_fair_report r = pz_judge_picture(10, 10, needs_guess.cells.data(), {.cancel = &cancel});
    EXPECT_EQ(r.kind, pz_fairness::stopped);
}

// Suggest's change, checked by the complete solver: one solution, and reasoning alone finds it.
void expect_fixed(workshop_picture p, const pz_fix &fix) {
    ASSERT_TRUE(fix.found);
    ASSERT_FALSE(fix.cells.empty());
    EXPECT_LE(fix.cells.size(), 2u);
    for (int c : fix.cells)
        p.cells[(size_t)c] ^= 1;
    EXPECT_EQ(judged(p).kind, pz_fairness::fair);
    pz_puzzle clues = pz_from_picture(p.width, p.height, p.cells.data());
    clues.goal.clear();
    EXPECT_EQ(pz_solve(clues, nullptr, {}, true).verdict, pz_verdict::unique);
}

TEST(WorkshopSuggest, FixesPicturesWithSeveralSolutionsInOneOrTwoCells) {
    expect_fixed(diagonal, pz_suggest_fix(5, 5, diagonal.cells.data(), 2, {}));
    expect_fixed(needs_guess, pz_suggest_fix(10, 10, needs_guess.cells.data(), 2, {}));
    // A drawing with several solutions: a ring with two notches facing each other.
    const workshop_picture ring = picture({
        "..........",
        "..######..",
        ".#......#.",
        ".#.#..#.#.",
        ".#......#.",
        ".#.#..#.#.",
        ".#..##..#.",
        "..######..",
        "..........",
        "..........",
    });
    ASSERT_EQ(judged(ring).kind, pz_fairness::several);
    expect_fixed(ring, pz_suggest_fix(10, 10, ring.cells.data(), 2, {}));

    const pz_fix none = pz_suggest_fix(5, 5, frame.cells.data(), 2, {});
    EXPECT_TRUE(none.found);
    EXPECT_TRUE(none.cells.empty()) << "a fair picture needs no change";
}

// The judge on its thread: a newer picture makes the older one's work vanish, and the
// verdict and the fix are those of the picture last given.
TEST(WorkshopJudge, GivesResultsOnlyForTheLatestPicture) {
    workshop_judge judge;
    judge.judge(needs_guess, 1);
    judge.judge(diagonal, 2);
    pz_fair_report r;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!judge.verdict(2, &r) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(r.kind, pz_fairness::several);
    EXPECT_FALSE(judge.verdict(1, &r));
    judge.suggest();
    pz_fix f;
    while (!judge.fix(2, &f) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    expect_fixed(diagonal, f);
    EXPECT_FALSE(judge.busy(2));
    judge.judge(frame, 3);
    EXPECT_FALSE(judge.fix(3, &f)) << "no fix asked for the new picture";
}

// A title's file name keeps what every file system takes, and never names a folder.
TEST(WorkshopFiles, FileNamesComeFromTitles) {
    EXPECT_EQ(workshop_file_name("Moon Box"), "Moon Box.non");
    EXPECT_EQ(workshop_file_name("  ../etc/passwd  "), "etcpasswd.non");
    EXPECT_EQ(workshop_file_name("Bat: the  big*one?"), "Bat the bigone.non");
    EXPECT_EQ(workshop_file_name("\xc3\xa9t\xc3\xa9 owl"), "t owl.non");
    EXPECT_EQ(workshop_file_name("..."), "Untitled.non");
    EXPECT_EQ(workshop_file_name(std::string(60, 'x')), std::string(40, 'x') + ".non");
}

// Best times beat only by a faster solve and kept across reads; a file the game does not write
// (a stray word, a negative time, a line cut short) is set aside and told once; a failed write is
// told once and the old file stays whole.
TEST(WorkshopFiles, BestTimesAreKeptAndADamagedFileIsSetAside) {
    temp_folder scratch{"tw-workshop-times"};
    setenv("XDG_DATA_HOME", scratch.root.c_str(), 1);
    save_file_init_path();
    workshop_records_forget_told();
    dialog_recorder rec;
    const std::filesystem::path file = scratch.root / "Oakhollow Works" / workshop_records_name;

    EXPECT_EQ(workshop_best_seconds("id-a"), -1);
    EXPECT_TRUE(workshop_record_solve("id-a", 40));
    EXPECT_FALSE(workshop_record_solve("id-a", 41));
    EXPECT_TRUE(workshop_record_solve("id-a", 30));
    EXPECT_TRUE(workshop_record_solve("id-b", 5));
    EXPECT_EQ(workshop_best_seconds("id-a"), 30);
    EXPECT_EQ(workshop_best_seconds("id-b"), 5);

    for (const std::string text : {"best 30 id-a extra\n", "best -3 id-a\n", "best 30\n", "garbage\n"}) {
        std::ofstream(file, std::ios::binary) << text;
        EXPECT_EQ(workshop_best_seconds("id-a"), -1) << text;
        EXPECT_EQ(file_text(file.string() + ".damaged"), text);
    }
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Workshop Times Not Read");

    EXPECT_TRUE(workshop_record_solve("id-a", 30));
    const std::string before = file_text(file.string());
    platform_file_fail_writes_after(3);
    EXPECT_TRUE(workshop_record_solve("id-a", 20)); // a new best, though it could not be kept
    EXPECT_TRUE(workshop_record_solve("id-a", 10));
    platform_file_fail_writes_after(-1);
    EXPECT_EQ(file_text(file.string()), before);
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[1].caption, "Workshop Times Not Saved");
}

} // namespace
