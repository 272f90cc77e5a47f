// The save file: its path, existence, whole reads and crash-safe replacement.
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "game/story/g_board_marks.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class SaveFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        memory_system_init();
        save_file_init_path();
    }
    void TearDown() override {
        platform_file_fail_writes_after(-1);
        EXPECT_EQ(memory_num_allocations(), 0);
    }
    fs::path save() const { return home / "Oakhollow Works" / "nonogram.sav"; }

    temp_folder scratch{"tw-save"};
    const fs::path &home = scratch.root;
    dialog_recorder rec;
};

// The folder is made at start, the file at the first save; a save replaces the whole file,
// and any size comes back with its true size (the record size is the caller's business).
TEST_F(SaveFile, FirstStartMakesTheFolderAndSavingReplacesTheWholeFile) {
    EXPECT_TRUE(fs::is_directory(home / "Oakhollow Works"));
    EXPECT_FALSE(save_file_exists());
    std::vector<u8> first(25, 1), second(3, 7);
    EXPECT_TRUE(save_file_save(first.data(), 25));
    EXPECT_TRUE(save_file_save(second.data(), 3));
    u32 size = 0;
    u8 *data = save_file_load(&size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::vector<u8>(data, data + size), second);
    zel_free(data);
    EXPECT_EQ(rec.count(), 0u);
    EXPECT_FALSE(fs::exists(save().string() + ".tmp"));
}

// The player is told once per session, in plain words: the file and the reason.
TEST_F(SaveFile, AWriteThatFailsPartWayKeepsTheOldSave) {
    std::vector<u8> old(25, 1), next(25, 2);
    ASSERT_TRUE(save_file_save(old.data(), 25));
    platform_file_fail_writes_after(10);
    EXPECT_FALSE(save_file_save(next.data(), 25));
    EXPECT_FALSE(save_file_save(next.data(), 25));
    EXPECT_EQ(rec.assertions(), std::vector<std::string>(2, "byteswritten == out_size"));
    EXPECT_EQ(file_text(save()), std::string(25, '\1'));
    EXPECT_FALSE(fs::exists(save().string() + ".tmp"));
    ASSERT_EQ(rec.count(), 3u);
    EXPECT_EQ(rec.dialogs()[1].caption, "Progress Not Saved");
    for (const std::string &part : {save().string(), std::string("No space left on device"),
                                    std::string("progress of this session is not saved")})
        EXPECT_NE(rec.dialogs()[1].text.find(part), std::string::npos) << rec.dialogs()[1].text;
}

TEST_F(SaveFile, AFolderThatCannotHoldTheFileIsReported) {
    fs::remove_all(home / "Oakhollow Works");
    std::ofstream(home / "Oakhollow Works") << "in the way";
    u8 byte = 1;
    EXPECT_FALSE(save_file_save(&byte, 1));
    EXPECT_TRUE(rec.asserted("file != INVALID_HANDLE_VALUE"));
    EXPECT_FALSE(save_file_exists());
}

// A link planted where a temporary file might go is never followed, and the save stays a
// file of its own; a named pipe in the save's place is refused at once, not waited on.
TEST_F(SaveFile, PlantedLinksArePassedByAPipeIsRefusedAndSizesKeepTheirWidth) {
    std::ofstream(home / "victim") << "keep me";
    fs::create_symlink(home / "victim", save().string() + ".tmp");
    EXPECT_TRUE(save_file_save(std::vector<u8>(25, 3).data(), 25));
    EXPECT_TRUE(file_text(home / "victim") == "keep me" && fs::is_regular_file(fs::symlink_status(save())));
    fs::remove(save());
    ASSERT_EQ(mkfifo(save().c_str(), 0644), 0);
    u32 size = 0;
    EXPECT_TRUE(!save_file_exists() && !save_file_load(&size) && rec.asserted("file != INVALID_HANDLE_VALUE"));
    // A save of 4 GiB + 25 bytes (sparse) is no save of 25 bytes: its size is not cut to 32 bits.
    fs::remove(save());
    std::ofstream(save()).close();
    fs::resize_file(save(), (1ull << 32) + 25);
    zel_free(save_file_load(&size));
    EXPECT_NE(size, 25u);
    fs::remove(save());
}

TEST_F(SaveFile, WithoutXdgDataHomeTheSaveGoesUnderHome) {
    std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", home.c_str(), 1);
    save_file_init_path();
    EXPECT_TRUE(fs::is_directory(home / ".local/share/Oakhollow Works"));
    setenv("HOME", old_home.c_str(), 1);
}

// The kept marks follow the save's rules: the largest file the game writes (every location
// at the board's largest size, the most hints) reads back; a file the game did not write
// (a bad line, one too many fields, a location twice, cut short, too big) is moved aside to
// nonogram.marks.damaged and the player told once; a failed write is told once in a box.
class BoardMarks : public SaveFile {
protected:
    void SetUp() override {
        SaveFile::SetUp();
        board_marks_forget_told();
        board = std::make_unique<necrogram_board>();
    }
    fs::path marks() const { return home / "Oakhollow Works" / board_marks_file_name; }
    // A side x side board with its first cell crossed, and its hints used.
    necrogram_board *crossed(int side, int hints) {
        load(side);
        board->marks[0] = mark_cross;
        board->hints_used = hints;
        return board.get();
    }
    void load(int side) { necrogram_load(board.get(), side, side, std::vector<u8>((size_t)(side * side), 0).data()); }
    std::unique_ptr<necrogram_board> board;
};

TEST_F(BoardMarks, TheLargestFileReadsBackAndADamagedOneIsSetAsideAndTold) {
    for (unsigned long i = 0; i < 25; ++i)
        board_marks_keep(i, crossed(max_necrogram_size, 1000000));
    for (unsigned long i = 0; i < 25; ++i) {
        load(max_necrogram_size);
        ASSERT_TRUE(board_marks_restore(i, board.get())) << i;
        EXPECT_EQ(board->marks[0], mark_cross);
        EXPECT_EQ(board->hints_used, board_marks_max_hints);
    }
    EXPECT_EQ(rec.count(), 0u);

    const std::string line = "3 2 #.x. 4\n";
    const std::string damaged[] = {
        "3 2 #.x.\ngarbage\n",           "3 2 #.x. 4 5\n", line + line,
        line.substr(0, line.size() - 1), "25 2 #.x.\n",    line + std::string(board_marks_max_file_size, 'x'),
    };
    for (const std::string &text : damaged) {
        std::ofstream(marks(), std::ios::binary) << text;
        load(2);
        EXPECT_FALSE(board_marks_restore(3, board.get())) << text;
        EXPECT_FALSE(fs::exists(marks()));
        EXPECT_EQ(file_text(marks().string() + ".damaged"), text);
    }
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Unfinished Boards Not Read");
    EXPECT_NE(rec.dialogs()[0].text.find("nonogram.marks.damaged"), std::string::npos);

    std::ofstream(marks(), std::ios::binary) << line;
    load(2);
    EXPECT_TRUE(board_marks_restore(3, board.get()));
    EXPECT_EQ(board->hints_used, 4);
}

TEST_F(BoardMarks, AFailedWriteIsToldOnceAndTheOldFileStays) {
    board_marks_keep(0, crossed(10, 0));
    const std::string before = file_text(marks());
    platform_file_fail_writes_after(5);
    board_marks_keep(1, crossed(10, 0));
    board_marks_keep(2, crossed(10, 0));
    EXPECT_EQ(file_text(marks()), before);
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Unfinished Boards Not Kept");
    EXPECT_NE(rec.dialogs()[0].text.find(marks().string()), std::string::npos);
}

} // namespace
