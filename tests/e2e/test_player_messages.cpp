// test_player_messages.cpp -- faults of the environment told in plain words: in the player's
// build one box each and no assertion, giving the real reason
#include "engine/ec_assert.h"
#include "engine/ec_fileio.h"
#include "main.h"
#include "test_pack.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

// A missing, cut-short or incomplete pack; a failed save write, a home too
// long for a path: each one box that says what failed and where, and no assertion.
// (A full disk, in a developer's build: test_savefile.)
TEST(PlayerMessages, FaultsOfTheEnvironmentAreOnePlainBoxInThePlayersBuild) {
    const std::string built = file_text(TW_TEST_PACK);
    const struct {
        std::vector<uint8_t> image; // empty: no pack at all
        std::vector<std::string> says;
    } cases[] = {
        {{}, {"was not found", "/data/tombweaver.kzp", "set TOMBWEAVER_PATH"}},
        {{built.begin(), built.begin() + built.size() / 2}, {"is damaged", "cut short", "reinstall"}},
        {test_pack_image({}), {"lacks entries the game needs: \"xls\\strings.txt\", \"ui_gfx"}},
        {test_pack_image(test_data_set_entries({"audio\\intro.kzs", {}})),
         {"lacks an entry the game needs: \"audio\\intro.kzs\".", "reinstall"}},
    };
    player_build_set(true);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.says[0]);
        scoped_test_pack pack(test_pack_bytes{c.image}); // says nothing in the player's build
        pack.close_for_start_up();
        if (c.image.empty())
            std::filesystem::remove(data_file_path("tombweaver.kzp"));
        dialog_recorder rec;
        EXPECT_EQ(tombweaver_main(), 1);
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Fatal Error");
        for (const std::string &part : c.says)
            EXPECT_NE(rec.dialogs()[0].text.find(part), std::string::npos) << rec.dialogs()[0].text;
    }
    save_file_init_path();
    const std::string save = save_file_path(), xdg = std::getenv("XDG_DATA_HOME"), home = std::getenv("HOME") ?: "";
    const std::pair<const char *, std::function<void()>> faults[] = {
        {"(Is a directory)", [&] { std::filesystem::create_directories(save); }},
        {"too long a path",
         [] { unsetenv("XDG_DATA_HOME"), setenv("HOME", ("/" + std::string(4088, 'h')).c_str(), 1); }},
    };
    for (const auto &[says, fault] : faults) {
        dialog_recorder rec;
        fault();
        save_file_init_path();
        EXPECT_FALSE(save_file_save("12345", 5));
        ASSERT_EQ(rec.count(), 1u);
        EXPECT_EQ(rec.dialogs()[0].caption, "Progress Not Saved");
        EXPECT_NE(rec.dialogs()[0].text.find(says), std::string::npos) << rec.dialogs()[0].text;
        std::filesystem::remove(save);
    }
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    setenv("HOME", home.c_str(), 1);
    player_build_set(false);
}

} // namespace
