// Free play's progress file: records and the unfinished board kept across runs, a damaged
// file set aside, a failed write told once, and the story's save never touched.
#include "engine/ec_fileio.h"
#include "game/board/g_board_client.h"
#include "game/freeplay/g_freeplay.h"
#include "game/freeplay/g_freeplay_records.h"
#include "puzzle/pz_format.h"
#include "puzzle/pz_generate.h"
#include "tw_test.h"
#include "ui/app_modes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

class FreeplayFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", scratch.root.c_str(), 1);
        save_file_init_path();
        freeplay_progress_forget_told();
    }
    void TearDown() override {
        platform_file_fail_writes_after(-1);
        // Free play never makes or changes the story's save.
        EXPECT_FALSE(fs::exists(folder() / "nonogram.sav"));
    }
    fs::path folder() const { return scratch.root / "Oakhollow Works"; }
    fs::path file() const { return folder() / freeplay_file_name; }

    temp_folder scratch{"tw-freeplay"};
    dialog_recorder rec;
};

freeplay_puzzle generated(int size, int grade, u32 number) {
    freeplay_puzzle p;
    EXPECT_TRUE(pz_generate(size, size, (pz_grade)grade, number, &p.puzzle, nullptr));
    p.grade = grade;
    p.number = number;
    return p;
}

// Keys name a generated puzzle by its choices, a file's puzzle by its clues alone; a
// solve keeps the best time (a tie: fewer hints) and moves the record to the front of
// the recent ones; everything, the board's path with a tab in it included, comes back.
TEST_F(FreeplayFile, RecordsAndTheKeptBoardComeBackAsWritten) {
    EXPECT_EQ(freeplay_puzzle_key(generated(20, 2, 48213)), "20x20 hard 48213");
    freeplay_puzzle a = generated(5, 0, 7), b = a;
    a.origin = b.origin = freeplay_origin_file;
    a.path = "/x/one.non", b.path = "/y/two.xml", b.puzzle.title = "Other";
    EXPECT_EQ(freeplay_puzzle_key(a), freeplay_puzzle_key(b));
    EXPECT_EQ(freeplay_puzzle_key(a).rfind("clues ", 0), 0u);
    b.puzzle.rows[0].push_back(1);
    EXPECT_NE(freeplay_puzzle_key(a), freeplay_puzzle_key(b));

    freeplay_progress p;
    EXPECT_TRUE(freeplay_record_solved(&p, "5x5 easy 1", "5x5 easy 1", 90, 3));
    EXPECT_TRUE(freeplay_record_solved(&p, "clues 1", "birds.non: Heron\tand\nmore", 30, 0));
    EXPECT_FALSE(freeplay_record_solved(&p, "5x5 easy 1", "5x5 easy 1", 95, 0));
    EXPECT_TRUE(freeplay_record_solved(&p, "5x5 easy 1", "5x5 easy 1", 90, 1));
    p.have_board = true;
    p.board = {.key = "clues 2",
               .origin = freeplay_origin_file,
               .width = 3,
               .height = 2,
               .grade = 0,
               .number = 0,
               .path = "/tmp/a\tb.non",
               .index_in_file = 4,
               .seconds = 61,
               .hints = 2,
               .cells = "#x..#."};
    ASSERT_TRUE(freeplay_progress_write(p));

    const freeplay_progress q = freeplay_progress_read();
    ASSERT_EQ(q.records.size(), 2u);
    const std::vector<freeplay_record> recent = freeplay_records_recent(q, 5);
    EXPECT_EQ(recent[0].key, "5x5 easy 1");
    EXPECT_EQ(recent[0].seconds, 90);
    EXPECT_EQ(recent[0].hints, 1);
    EXPECT_EQ(recent[1].name, "birds.non: Heron and more");
    EXPECT_TRUE(q.have_board);
    EXPECT_EQ(q.board.path, "/tmp/a\tb.non");
    EXPECT_EQ(q.board.cells, "#x..#.");
    EXPECT_EQ(q.board.index_in_file, 4);
    EXPECT_EQ(q.board.seconds, 61);
    EXPECT_EQ(freeplay_time_text(187), "3:07");
    EXPECT_EQ(freeplay_time_text(3723), "1:02:03");
    EXPECT_EQ(rec.count(), 0u);
}

// A record whose order is already the largest a line holds: the next solve numbers the
// records again in the same order, and the file still reads back whole.
TEST_F(FreeplayFile, TheLargestRecordOrderStillTakesTheNextSolve) {
    freeplay_progress p;
    freeplay_record_solved(&p, "5x5 easy 1", "5x5 easy 1", 90, 0);
    freeplay_record_solved(&p, "5x5 easy 2", "5x5 easy 2", 80, 0);
    p.records[1].order = 2147483647;
    freeplay_record_solved(&p, "5x5 easy 3", "5x5 easy 3", 70, 0);
    ASSERT_TRUE(freeplay_progress_write(p));
    const freeplay_progress q = freeplay_progress_read();
    ASSERT_EQ(q.records.size(), 3u);
    const std::vector<freeplay_record> recent = freeplay_records_recent(q, 5);
    EXPECT_EQ(recent[0].key, "5x5 easy 3");
    EXPECT_EQ(recent[1].key, "5x5 easy 2");
    EXPECT_EQ(recent[2].key, "5x5 easy 1");
    EXPECT_EQ(rec.count(), 0u);
}

// The board's calls: marks, time and hints kept on leaving and put back for the same
// puzzle only; a capture records the time and forgets the board.
TEST_F(FreeplayFile, TheBoardKeptRestoredAndCaptured) {
    freeplay_set_current(generated(5, 0, 11));
    auto board = std::make_unique<necrogram_board>();
    necrogram_load(board.get(), 5, 5, freeplay_current()->puzzle.goal.data());
    board->marks[0] = mark_full;
    board->marks[5 + 4] = mark_cross;
    board->hints_used = 2;
    freeplay_board_keep(board.get(), 42.7);
    EXPECT_TRUE(fs::exists(file()));

    necrogram_load(board.get(), 5, 5, freeplay_current()->puzzle.goal.data());
    double seconds = 0;
    ASSERT_TRUE(freeplay_board_restore(board.get(), &seconds));
    EXPECT_EQ(seconds, 42);
    EXPECT_EQ(board->hints_used, 2);
    EXPECT_EQ(board->marks[0], mark_full);
    EXPECT_EQ(board->marks[5 + 4], mark_cross);
    EXPECT_EQ(board->marks[1], mark_empty);

    freeplay_set_current(generated(5, 0, 12)); // another puzzle: nothing to restore, its empty board keeps nothing
    necrogram_load(board.get(), 5, 5, freeplay_current()->puzzle.goal.data());
    EXPECT_FALSE(freeplay_board_restore(board.get(), &seconds));
    freeplay_board_keep(board.get(), 3);
    EXPECT_EQ(freeplay_progress_read().board.key, "5x5 easy 11");

    freeplay_set_current(generated(5, 0, 11));
    freeplay_board_captured(75.2, 4);
    const freeplay_progress p = freeplay_progress_read();
    EXPECT_FALSE(p.have_board);
    const freeplay_record *r = freeplay_record_find(p, "5x5 easy 11");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->seconds, 75);
    EXPECT_EQ(r->hints, 4);
    necrogram_client_set(nullptr);

    // A puzzle that cannot be made is refused in a box, and the screen stays.
    const int mode = current_app_mode_get();
    EXPECT_FALSE(freeplay_start_generated(20, 20, 3, 1));
    EXPECT_FALSE(freeplay_start_generated(31, 31, 0, 1));
    EXPECT_EQ(current_app_mode_get(), mode);
    ASSERT_EQ(rec.count(), 2u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Free Play");
}

// Text that is not ours (garbage, a wrong version, a bad number, a line cut short, a
// file too big) is moved aside and the player told once; the next write starts afresh.
TEST_F(FreeplayFile, ADamagedFileIsMovedAsideAndToldOnce) {
    const std::string good = "tombweaver free play 1\nrecord\t1\t10\t0\t5x5 easy 1\t5x5 easy 1\n";
    const std::string damaged[] = {
        "garbage\n",
        "tombweaver free play 2\n",
        "tombweaver free play 1\nrecord\t1\t-10\t0\tk\tn\n",
        good.substr(0, good.size() - 1),
        "tombweaver free play 1\nboard\t0\t31\t1\t0\t1\t0\t0\t0\t" + std::string(31, '.') + "\tk\t\n",
        good + std::string(freeplay_max_file_size, '#'),
    };
    for (const std::string &text : damaged) {
        std::ofstream(file(), std::ios::binary) << text;
        const freeplay_progress p = freeplay_progress_read();
        EXPECT_TRUE(p.records.empty() && !p.have_board);
        EXPECT_FALSE(fs::exists(file()));
        EXPECT_EQ(file_text(file().string() + ".damaged"), text);
    }
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Free Play Progress Not Read");
    EXPECT_NE(rec.dialogs()[0].text.find(file().string()), std::string::npos);
    EXPECT_NE(rec.dialogs()[0].text.find("freeplay.txt.damaged"), std::string::npos);

    std::ofstream(file(), std::ios::binary) << good;
    EXPECT_EQ(freeplay_progress_read().records.size(), 1u);
}

// A write that fails part-way keeps the old file whole; the player is told once, with
// the file and the reason, and the game goes on.
TEST_F(FreeplayFile, AFailedWriteKeepsTheOldFileAndIsToldOnce) {
    freeplay_progress p;
    freeplay_record_solved(&p, "5x5 easy 1", "5x5 easy 1", 10, 0);
    ASSERT_TRUE(freeplay_progress_write(p));
    const std::string before = file_text(file());
    freeplay_record_solved(&p, "5x5 easy 2", "5x5 easy 2", 20, 0);
    platform_file_fail_writes_after(10);
    EXPECT_FALSE(freeplay_progress_write(p));
    EXPECT_FALSE(freeplay_progress_write(p));
    EXPECT_EQ(file_text(file()), before);
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Free Play Progress Not Saved");
    for (const std::string &part : {file().string(), std::string("No space left on device")})
        EXPECT_NE(rec.dialogs()[0].text.find(part), std::string::npos) << rec.dialogs()[0].text;
}

// The largest file the game can make (every record at its longest, cut inside a UTF-8
// name at a character's edge; the board at 30 x 30 with the longest path the system opens)
// reads back as written; a board whose path is longer is left out, and the records stay.
TEST_F(FreeplayFile, TheLargestFileTheGameWritesReadsBack) {
    freeplay_progress p;
    std::string long_name = "x"; // cut at 200 bytes: within an 'é', so at 199
    for (int i = 0; i < 120; ++i)
        long_name += "\xC3\xA9";
    for (int i = 0; i < freeplay_max_records; ++i) {
        const std::string key = std::to_string(i) + std::string(freeplay_max_name, 'k');
        freeplay_record_solved(&p, key.substr(0, freeplay_max_name), long_name, freeplay_max_seconds,
                               freeplay_max_hints);
        p.records.back().order = 2147483647 - i;
    }
    p.have_board = true;
    p.board = {.key = std::string(freeplay_max_name, 'c'),
               .origin = freeplay_origin_file,
               .width = 30,
               .height = 30,
               .grade = 2,
               .number = 0xFFFFFFFFu,
               .path = "/" + std::string(freeplay_max_path - 1, 'p'),
               .index_in_file = (int)pz_max_puzzles,
               .seconds = freeplay_max_seconds,
               .hints = freeplay_max_hints,
               .cells = std::string(900, 'x')};
    ASSERT_TRUE(freeplay_progress_write(p));
    const freeplay_progress q = freeplay_progress_read();
    ASSERT_EQ(rec.count(), 0u) << rec.dialogs()[0].text;
    ASSERT_EQ(q.records.size(), p.records.size());
    EXPECT_EQ(q.records[0].name, long_name.substr(0, freeplay_max_name - 1));
    EXPECT_EQ(q.records[0].seconds, freeplay_max_seconds);
    EXPECT_EQ(q.board, p.board);

    p.board.path += "p"; // past what the system opens
    ASSERT_TRUE(freeplay_progress_write(p));
    const freeplay_progress r = freeplay_progress_read();
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(r.have_board);
    EXPECT_EQ(r.records.size(), p.records.size());
}

// A kept board whose file is gone: Continue says why and offers to forget it; No keeps it
// for when the file is back, Yes drops it (the records stay).
TEST_F(FreeplayFile, AKeptBoardWhoseFileIsGoneCanBeForgotten) {
    const fs::path puzzle = scratch.root / "gone.non";
    freeplay_puzzle p = generated(5, 0, 3);
    std::ofstream(puzzle) << pz_write_non(p.puzzle);
    p.origin = freeplay_origin_file;
    p.path = puzzle.string();
    freeplay_set_current(p);
    auto board = std::make_unique<necrogram_board>();
    necrogram_load(board.get(), 5, 5, p.puzzle.goal.data());
    board->marks[0] = mark_cross;
    freeplay_board_keep(board.get(), 12);
    freeplay_set_current(generated(5, 0, 4)); // another puzzle's record stands beside it
    freeplay_board_captured(40, 0);
    fs::remove(puzzle);

    rec.answer_no(true);
    EXPECT_FALSE(freeplay_continue());
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].buttons, platform_mb_yes_no);
    EXPECT_NE(rec.dialogs()[0].text.find(puzzle.string()), std::string::npos) << rec.dialogs()[0].text;
    EXPECT_TRUE(freeplay_progress_read().have_board);

    rec.answer_no(false);
    EXPECT_FALSE(freeplay_continue());
    const freeplay_progress after = freeplay_progress_read();
    EXPECT_FALSE(after.have_board);
    EXPECT_EQ(after.records.size(), 1u);
    necrogram_client_set(nullptr);
}

} // namespace
