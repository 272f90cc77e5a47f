// test_long_paths.cpp -- the save folder, the data folder and the current folder up to PATH_MAX, and no
// home (a save that cannot be written, and what the player is told: test_savefile)
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "kz_formats.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A fresh folder whose path is exactly length characters, in parts of at most 201.
struct long_folder : temp_folder {
    std::string path = root.string();
    explicit long_folder(size_t length) : temp_folder("tw-long") {
        while (path.size() + 1 < length)
            path += "/" + std::string(std::min<size_t>(200, length - path.size() - 1), 'x');
        if (path.size() < length)
            path += "y"; // one character left: the last part grows by one
        fs::create_directories(path);
    }
};

// No folder for the save: the player is told once, and the game goes on without saving.
void expect_told_once_and_no_save(const dialog_recorder &rec) {
    u8 record[25] = {};
    EXPECT_FALSE(save_file_save(record, sizeof record));
    EXPECT_FALSE(save_file_save(record, sizeof record));
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_EQ(rec.dialogs()[0].caption, "Progress Not Saved");
}

TEST(LongPaths, TheSaveFolderUpToAndPastPathMax) {
    memory_system_init();
    for (size_t length : {255, 256, 4000, 4080}) { // 4080 + "/Oakhollow Works/nonogram.sav" is past 4095
        SCOPED_TRACE(length);
        long_folder home(length);
        ASSERT_EQ(home.path.size(), length);
        setenv("XDG_DATA_HOME", home.path.c_str(), 1);
        dialog_recorder rec;
        save_file_init_path();
        if (length > 4000) {
            expect_told_once_and_no_save(rec);
            continue;
        }
        EXPECT_EQ(std::string(save_file_path()), home.path + "/Oakhollow Works/nonogram.sav");
        u8 record[25] = {1};
        EXPECT_TRUE(save_file_save(record, sizeof record));
        EXPECT_EQ(fs::file_size(save_file_path()), 25u);
        EXPECT_EQ(rec.count(), 0u);
    }
    EXPECT_EQ(memory_num_allocations(), 0);
}

TEST(LongPaths, TheDataFolderByVariableAndAsTheCurrentFolder) {
    memory_system_init();
    const std::vector<u8> pack = test_pack_image({{"a.txt", {1, 2, 3}}});
    const std::string test_base = std::getenv("TOMBWEAVER_PATH");
    const fs::path old_cwd = fs::current_path();
    for (bool by_variable : {true, false}) {
        for (size_t length : {255, 256, 4000}) {
            SCOPED_TRACE((by_variable ? "TOMBWEAVER_PATH " : "current folder ") + std::to_string(length));
            long_folder base(length);
            fs::create_directories(base.path + "/data");
            ASSERT_TRUE(kz::file_write(base.path + "/data/tombweaver.kzp", pack));
            if (by_variable) {
                setenv("TOMBWEAVER_PATH", base.path.c_str(), 1);
            } else {
                unsetenv("TOMBWEAVER_PATH");
                fs::current_path(base.path);
            }
            dialog_recorder rec;
            ASSERT_TRUE(base_path_init() && packfile_load());
            EXPECT_EQ(std::string(base_path_get()), base.path);
            u32 size = 0;
            EXPECT_TRUE(pack_file_load("a.txt", &size) && size == 3);
            packfile_close();
            fs::current_path(old_cwd);
            EXPECT_EQ(rec.count(), 0u);
        }
    }
    setenv("TOMBWEAVER_PATH", test_base.c_str(), 1);
    EXPECT_EQ(memory_num_allocations(), 0);
}

TEST(LongPaths, NoHomeAtAllIsToldOnce) {
    // Only a user without a passwd entry has no home at all: run as one, in a child.
    const uid_t stranger = 54321;
    if (getuid() != 0 || getpwuid(stranger))
        GTEST_SKIP() << "needs root and a uid without a passwd entry";
    EXPECT_EXIT(
        {
            unsetenv("HOME");
            unsetenv("XDG_DATA_HOME");
            if (setuid(stranger) != 0)
                std::exit(2);
            dialog_recorder rec;
            save_file_init_path();
            expect_told_once_and_no_save(rec);
            std::exit(testing::Test::HasFailure() ? 3 : 0);
        },
        testing::ExitedWithCode(0), "progress not saved: No folder was found");
}

} // namespace
