// Settings: what the player switched survives a restart; a bad file never stops the game.
#include "engine/ec_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path settings_file() { return fs::path(std::getenv("XDG_CONFIG_HOME")) / "tombweaver" / "settings.ini"; }

void write_settings(const std::string &text) {
    fs::create_directories(settings_file().parent_path());
    std::ofstream(settings_file(), std::ios::binary) << text;
}

bool is_default(const game_settings &s) {
    game_settings d;
    return s.fullscreen == d.fullscreen && s.clue_marks == d.clue_marks && s.music == d.music &&
           s.sounds == d.sounds;
}

} // namespace

TEST(settings, round_trip_through_the_file_and_run_only_overrides) {
    fs::remove_all(settings_file().parent_path());
    settings_load();
    EXPECT_TRUE(is_default(settings_get()));

    game_settings s;
    s.fullscreen = true;
    s.music = false;
    settings_set(s);
    EXPECT_FALSE(fs::exists(settings_file().string() + ".tmp"));

    game_settings run = s;
    run.fullscreen = false;
    settings_set_for_run(run); // a command-line override is not written...
    run.sounds = false;
    settings_set(run);         // ...not even when another switch is saved
    settings_load();
    EXPECT_FALSE(settings_get().sounds);
    EXPECT_TRUE(settings_get().fullscreen);
    EXPECT_FALSE(settings_get().music);
    EXPECT_TRUE(settings_get().clue_marks);
}

TEST(settings, damaged_files_mean_defaults_line_by_line) {
    using namespace std::string_literals;
    const struct {
        std::string text;
        bool music;
    } cases[] = {
        {"music = off\n", false},
        {"music=0\r\nsounds = maybe\n", false},  // a bad value leaves that key alone
        {"garbage\nmusic off\n= on\n", true},    // lines without a usable key = value
        {"music = off\0binary"s, true},           // binary junk: all defaults
        {std::string(5000, 'x'), true},            // far too long to be ours
    };
    for (const auto &c : cases) {
        write_settings(c.text);
        settings_load();
        EXPECT_EQ(settings_get().music, c.music) << c.text.substr(0, 40);
        EXPECT_TRUE(settings_get().sounds) << c.text.substr(0, 40);
    }
    fs::remove(settings_file());
    fs::create_directories(settings_file()); // a folder in the file's place: unreadable
    settings_load();
    EXPECT_TRUE(is_default(settings_get()));
    game_settings s;
    s.sounds = false;
    settings_set(s); // cannot be written: kept for the run, nothing else happens
    EXPECT_FALSE(settings_get().sounds);
    fs::remove_all(settings_file().parent_path());
}
