// test_player_messages.cpp -- faults of the environment told in plain words: in the player's
// build one box each and no assertion; the reasons given are the real ones
#include "engine/ec_assert.h"
#include "game_script.h"
#include "test_pack.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The player's build while it lives.
struct players_build {
    players_build() { player_build_set(true); }
    ~players_build() { player_build_set(false); }
};

std::string joined(const dialog_recorder &rec) {
    std::string all;
    for (const recorded_dialog &d : rec.dialogs())
        all += "[" + d.caption + "] " + d.text + "\n";
    return all;
}

TEST(PlayerMessages, AMissingCutShortOrIncompletePackIsOnePlainBoxNamingWhatAndWhere) {
    const std::string built = file_text(TW_TEST_PACK);
    const struct {
        const char *what;
        std::vector<uint8_t> image; // empty: no pack at all
        std::vector<std::string> says;
    } cases[] = {
        {"missing", {}, {"was not found", "/data/tombweaver.kzp", "set TOMBWEAVER_PATH"}},
        {"cut short", {built.begin(), built.begin() + built.size() / 2}, {"is damaged", "cut short", "reinstall"}},
        {"no entries", test_pack_image({}), {"lacks entries the game needs: \"xls\\strings.txt\", \"ui_gfx"}},
        {"one missing", test_pack_image(test_data_set_entries("audio\\intro.kzs")),
         {"lacks an entry the game needs: \"audio\\intro.kzs\".", "reinstall"}},
    };
    players_build player;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        dialog_recorder rec;
        scoped_test_pack pack(test_pack_bytes{c.image});
        pack.close_for_start_up();
        if (c.image.empty())
            std::filesystem::remove(data_file_path("tombweaver.kzp"));
        rec.clear();
        EXPECT_EQ(tombweaver_main(), 1);
        ASSERT_EQ(rec.count(), 1u) << joined(rec);
        EXPECT_EQ(rec.dialogs()[0].caption, "Fatal Error");
        for (const std::string &part : c.says)
            EXPECT_NE(rec.dialogs()[0].text.find(part), std::string::npos) << part << "\n" << joined(rec);
        EXPECT_NE(rec.dialogs()[0].text.find(base_path_get()), std::string::npos);
    }
    // Developers still see the failed checks first.
    player_build_set(false);
    dialog_recorder rec;
    scoped_test_pack pack(test_pack_bytes{{}});
    std::filesystem::remove(data_file_path("tombweaver.kzp"));
    rec.clear();
    EXPECT_EQ(tombweaver_main(), 1);
    EXPECT_EQ(rec.assertions(), (std::vector<std::string>{"file != INVALID_HANDLE_VALUE", "pack_file"}));
    EXPECT_EQ(rec.dialogs().back().caption, "Fatal Error");
}

TEST(PlayerMessages, AFailedSaveIsOnePlainBoxAndAnOverLongHomeIsNamedSo) {
    players_build player;
    save_file_init_path();
    const std::string save = save_file_path();
    platform_file_fail_writes_after(3); // a full disk
    dialog_recorder full;
    EXPECT_FALSE(save_file_save("12345", 5));
    platform_file_fail_writes_after(-1);
    save_file_init_path();
    std::filesystem::create_directories(save); // a folder in the save's place
    dialog_recorder folder;
    EXPECT_FALSE(save_file_save("12345", 5));
    std::filesystem::remove(save);
    for (const dialog_recorder *rec : {&full, &folder}) {
        ASSERT_EQ(rec->count(), 1u) << joined(*rec);
        EXPECT_EQ(rec->dialogs()[0].caption, "Progress Not Saved");
        EXPECT_NE(rec->dialogs()[0].text.find(save), std::string::npos);
    }

    const std::string xdg = std::getenv("XDG_DATA_HOME");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", ("/" + std::string(4088, 'h')).c_str(), 1);
    dialog_recorder rec;
    save_file_init_path();
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    ASSERT_EQ(rec.count(), 1u);
    EXPECT_NE(rec.dialogs()[0].text.find("too long a path"), std::string::npos) << rec.dialogs()[0].text;
}

TEST(PlayerMessages, AWrongSizeSaveIsKeptAsideAndTheGameGoesOnToTheMap) {
    players_build player;
    std::vector<u8> old_save = progress({0, 1});
    old_save.push_back(0);
    save_write(old_save);
    dialog_recorder rec;
    game_script s;
    s.skip_splash().left_click(640, 310).wait_mode(appmode_map).passes(2);
    EXPECT_EQ(s.close().run(), 0);
    ASSERT_EQ(rec.count(), 1u) << joined(rec);
    EXPECT_EQ(rec.dialogs()[0].text, "Your saved game could not be read; it was kept as nonogram.sav.damaged. "
                                     "A new game starts.");
    const std::string damaged = std::string(save_file_path()) + ".damaged";
    EXPECT_EQ(file_text(damaged), std::string(old_save.begin(), old_save.end()));
    std::filesystem::remove(damaged);
}

} // namespace
