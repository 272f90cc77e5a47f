// test_save_failures.cpp -- a save that cannot be written is told to the player once, and the old save stays
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(SaveFailures, AreToldOncePerSessionInPlainWordsAndKeepTheOldSave) {
    memory_system_init();
    const fs::path home = fs::temp_directory_path() / ("tw-savefail-" + std::to_string(getpid()));
    const fs::path save = home / "Oakhollow Works" / "nonogram.sav";
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    struct failure {
        const char *what;
        void (*arrange)(const fs::path &save);
        const char *reason;
    };
    const failure failures[] = {
        {"a full disk", [](const fs::path &) { platform_file_fail_writes_after(10); }, "No space left on device"},
        {"a folder in the save's place",
         [](const fs::path &save) {
             fs::remove(save);
             fs::create_directories(save);
         },
         "Is a directory"},
    };
    for (const failure &f : failures) {
        SCOPED_TRACE(f.what);
        fs::remove_all(home);
        save_file_init_path();
        const u8 old_save[25] = {1, 1}, next[25] = {2};
        ASSERT_TRUE(save_file_save(old_save, 25));
        f.arrange(save);
        dialog_recorder rec;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(save_file_save(next, 25));
        EXPECT_FALSE(save_file_save(next, 25));
        const std::string err = testing::internal::GetCapturedStderr();
        platform_file_fail_writes_after(-1);
        // The design's assertion at each failure, and one plain box for the session.
        ASSERT_EQ(rec.count(), 3u);
        EXPECT_EQ(rec.dialogs()[1].caption, "Progress Not Saved");
        for (const std::string &told : {rec.dialogs()[1].text, err}) {
            EXPECT_NE(told.find(save.string()), std::string::npos) << told;
            EXPECT_NE(told.find(f.reason), std::string::npos) << told;
        }
        EXPECT_NE(rec.dialogs()[1].text.find("progress of this session is not saved"), std::string::npos);
        if (fs::is_regular_file(save)) {
            std::ifstream in(save, std::ios::binary);
            EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(in), {}), std::vector<char>(old_save, old_save + 25));
        }
    }
    fs::remove_all(home);
    EXPECT_EQ(memory_num_allocations(), 0);
}

} // namespace
