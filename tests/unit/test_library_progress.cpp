// test_library_progress.cpp -- the picture library's progress file (solves and unfinished boards kept,
// a damaged file set aside, a failed write told once) and its chapters read from a pack
#include "engine/ec_fileio.h"
#include "game/library/g_library.h"
#include "game/library/g_library_progress.h"
#include "test_pack.h"
#include "tw_test.h"
#include "ui/app_modes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class LibraryFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", scratch.root.c_str(), 1);
        save_file_init_path();
        library_progress_forget_told();
    }
    void TearDown() override {
        platform_file_fail_writes_after(-1);
        EXPECT_FALSE(fs::exists(folder() / "nonogram.sav")); // the story's save is never made
    }
    fs::path folder() const { return scratch.root / "Oakhollow Works"; }
    fs::path file() const { return folder() / library_file_name; }

    temp_folder scratch{"tw-library"};
    dialog_recorder rec;
};

// A solve keeps the best time (a tie: fewer hints) and forgets the picture's kept board; a
// kept board replaces the one before; names with spaces and quotes come back as written.
TEST_F(LibraryFile, SolvesAndKeptBoardsComeBackAsWritten) {
    library_progress p;
    library_board_keep(
        &p, {.key = "Ghost", .width = 5, .height = 5, .seconds = 9, .hints = 1, .cells = std::string(25, '.')});
    library_board_keep(&p,
                       {.key = "Witch's Hat", .width = 3, .height = 2, .seconds = 61, .hints = 2, .cells = "#x..#."});
    EXPECT_TRUE(library_record_solved(&p, "Ghost", 90, 3));
    EXPECT_EQ(library_board_find(p, "Ghost"), nullptr);
    EXPECT_FALSE(library_record_solved(&p, "Ghost", 95, 0));
    EXPECT_FALSE(library_record_solved(&p, "Ghost", 90, 3));
    EXPECT_TRUE(library_record_solved(&p, "Ghost", 90, 1));
    EXPECT_TRUE(library_record_solved(&p, "Black Cat by the Fire", 30, 0));
    library_board_keep(&p,
                       {.key = "Witch's Hat", .width = 3, .height = 2, .seconds = 70, .hints = 2, .cells = "##..#."});
    ASSERT_TRUE(library_progress_write(p));

    const library_progress q = library_progress_read();
    EXPECT_EQ(q.solved, p.solved);
    EXPECT_EQ(q.boards, p.boards);
    ASSERT_EQ(q.boards.size(), 1u);
    EXPECT_EQ(q.boards[0].cells, "##..#.");
    EXPECT_EQ(library_record_find(q, "Ghost")->hints, 1);
    EXPECT_EQ(rec.count(), 0u);
}

// Text that is not ours (garbage, a wrong version, a bad number, a key twice, cells that do not
// fit, a line cut short, a file too big) is moved aside and the player told once.
TEST_F(LibraryFile, ADamagedFileIsMovedAsideAndToldOnce) {
    const std::string good = "tombweaver library 1\nsolved\t10\t0\tGhost\n";
    const std::string damaged[] = {
        "garbage\n",
        "tombweaver library 2\n",
        "tombweaver library 1\nsolved\t-10\t0\tGhost\n",
        good + "solved\t12\t0\tGhost\n",
        "tombweaver library 1\nboard\t3\t2\t0\t0\t#x..#\tGhost\n",
        "tombweaver library 1\nboard\t31\t1\t0\t0\t" + std::string(31, '.') + "\tGhost\n",
        good.substr(0, good.size() - 1),
        good + std::string(library_max_file_size, '#'),
    };
    for (const std::string &text : damaged) {
        std::ofstream(file(), std::ios::binary) << text;
        const library_progress p = library_progress_read();
        EXPECT_TRUE(p.solved.empty() && p.boards.empty()) << text;
        EXPECT_FALSE(fs::exists(file()));
        EXPECT_EQ(file_text(file().string() + ".damaged"), text);
    }
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Library Progress Not Read");
    EXPECT_NE(rec.dialogs()[0].text.find(file().string()), std::string::npos);
    EXPECT_NE(rec.dialogs()[0].text.find("library.txt.damaged"), std::string::npos);

    std::ofstream(file(), std::ios::binary) << good;
    EXPECT_EQ(library_progress_read().solved.size(), 1u);
}

// A write that fails part-way keeps the old file whole; the player is told once, with the
// file and the reason.
TEST_F(LibraryFile, AFailedWriteKeepsTheOldFileAndIsToldOnce) {
    library_progress p;
    library_record_solved(&p, "Ghost", 10, 0);
    ASSERT_TRUE(library_progress_write(p));
    const std::string before = file_text(file());
    library_record_solved(&p, "Beetle", 20, 0);
    platform_file_fail_writes_after(10);
    EXPECT_FALSE(library_progress_write(p));
    EXPECT_FALSE(library_progress_write(p));
    EXPECT_EQ(file_text(file()), before);
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Library Progress Not Saved");
    for (const std::string &part : {file().string(), std::string("No space left on device")})
        EXPECT_NE(rec.dialogs()[0].text.find(part), std::string::npos) << rec.dialogs()[0].text;
}

std::vector<uint8_t> bytes(const std::string &text) { return {text.begin(), text.end()}; }

// The chapters are the pack's "library\" entries in name order. One that cannot be read is
// told in a box naming it and its line, once, and stays without pictures; it neither opens
// nor holds back the chapter after it, which opens once 3 of the 4 before are solved.
TEST(LibraryChapters, ReadFromThePackAndOpenedByTheSolvesBefore) {
    dialog_recorder rec;
    const std::string four =
        "chapter: Small\n\npicture: A\n#.\n\npicture: B\n.#\n\npicture: C\n##\n\n"
        "picture: D\n#\n#\n";
    scoped_test_pack pack({{"library\\03-last.txt", bytes("chapter: Last\n\npicture: E\n###\n")},
                           {"library\\01-small.txt", bytes(four)},
                           {"library\\02-broken.txt", bytes("chapter: Broken\n\npicture: F\n##\n#\n")},
                           {"xls\\other.txt", bytes("x")}});
    ASSERT_TRUE(pack.ok());
    library_chapters_forget();
    const std::vector<library_chapter> &chapters = library_chapters_read();
    ASSERT_EQ(chapters.size(), 3u);
    EXPECT_EQ(chapters[0].name, "Small");
    EXPECT_EQ(chapters[0].pictures.size(), 4u);
    EXPECT_EQ(chapters[0].pictures[3].puzzle.title, "D");
    EXPECT_EQ(chapters[0].pictures[3].grade, pz_grade::easy);
    EXPECT_TRUE(chapters[1].pictures.empty());
    EXPECT_EQ(chapters[1].damage, "line 5: a row of 1 cells in a picture 2 wide");
    EXPECT_EQ(chapters[2].name, "Last");
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Library Damaged");
    EXPECT_NE(rec.dialogs()[0].text.find("library\\02-broken.txt: line 5"), std::string::npos) << rec.dialogs()[0].text;
    library_chapters_read();
    EXPECT_EQ(rec.count(), 1u);
    // No picture to play in the broken chapter, nor past the last: nothing changes.
    const int mode = current_app_mode_get();
    EXPECT_FALSE(library_play(1, 0));
    EXPECT_FALSE(library_play(3, 0));
    EXPECT_EQ(current_app_mode_get(), mode);

    library_progress p;
    EXPECT_EQ(library_solves_to_open(chapters, p), (std::vector<int>{0, 3, 3}));
    library_record_solved(&p, "A", 1, 0);
    library_record_solved(&p, "D", 1, 0);
    EXPECT_EQ(library_solves_to_open(chapters, p), (std::vector<int>{0, 1, 1}));
    library_record_solved(&p, "B", 1, 0);
    EXPECT_EQ(library_solves_to_open(chapters, p), (std::vector<int>{0, 0, 0}));
    library_chapters_forget();
}

} // namespace
