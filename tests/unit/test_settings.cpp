// Settings: what the player switched survives a restart; a bad file never stops the game.
#include "engine/ec_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <tuple>

namespace fs = std::filesystem;

namespace {

fs::path settings_file() { return fs::path(std::getenv("XDG_CONFIG_HOME")) / "tombweaver" / "settings.ini"; }

} // namespace

TEST(settings, round_trip_through_the_file_and_run_only_overrides) {
    fs::remove_all(settings_file().parent_path());
    settings_load();
    game_settings s;
    s.fullscreen = true;
    s.music = false;
    settings_set(s);
    game_settings run = s;
    run.fullscreen = false;
    settings_set_for_run(run); // a command-line override is not written...
    run.sounds = false;
    settings_set(run); // ...not even when another switch is saved
    settings_load();
    const game_settings &g = settings_get();
    EXPECT_EQ(std::tuple(g.sounds, g.fullscreen, g.music, g.clue_marks), std::tuple(false, true, false, true));
}

// (Binary junk and a file far too long to be ours: the comforts run starts from one.)
TEST(settings, damaged_files_mean_defaults_line_by_line) {
    fs::create_directories(settings_file().parent_path());
    // Lines without a usable key = value, and a bad value, leave their keys alone.
    std::ofstream(settings_file(), std::ios::binary) << "garbage\nmusic=0\r\nsounds = maybe\n= on\nfullscreen on\n";
    settings_load();
    EXPECT_FALSE(settings_get().music);
    EXPECT_TRUE(settings_get().sounds && !settings_get().fullscreen);
    fs::remove(settings_file());
    // There but unreadable (a named pipe, which must not hang the start either): the
    // defaults, and the file is left alone for the session.
    ASSERT_EQ(mkfifo(settings_file().c_str(), 0644), 0);
    settings_load();
    EXPECT_TRUE(settings_get().music && settings_get().sounds && !settings_get().fullscreen);
    game_settings s;
    s.sounds = false;
    settings_set(s); // kept for the run, nothing else happens
    EXPECT_TRUE(!settings_get().sounds && fs::is_fifo(settings_file()));
    // A link planted at a temporary file's name is not followed.
    fs::remove(settings_file());
    fs::create_symlink("/dev/null", settings_file().string() + ".tmp");
    settings_load();
    settings_set(s);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(settings_file())));
}
