// The title and game songs: loading from the pack, starting and stopping, freeing, and
// what start-up does without an audio device.
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "game/g_game.h"
#include "main.h"
#include "platform/pf_audio.h"
#include "test_pack.h"
#include "test_sound_util.h"

namespace {

const char *title_name = "audio\\gamejam_title.kzs";
const char *game_name = "audio\\gamejam_final.kzs";

class songs_test : public sound_test {
protected:
    void SetUp() override {
        memory_system_init();
        sound_test::SetUp();
    }
    void TearDown() override {
        songs_free();
        sound_test::TearDown();
    }
    // A short sine, stored compressed so that loading it allocates a buffer.
    static test_pack_entry song(const char *name) { return {name, kzs_sine(2, 4410, 100, 8000), true}; }
};

} // namespace

TEST_F(songs_test, SongsLoadLoopAtTheirVolumesAndAreFreed) {
    manual_clock clock(0);
    scoped_test_pack pack({song(title_name), song(game_name)});
    ASSERT_TRUE(pack.ok());
    int blocks = memory_num_allocations();
    main_menu_load_song();
    game_load_song();
    dword title = title_song_get(), game = game_song_get();
    EXPECT_EQ(std::pair(title, game), std::pair(0u, 1u));
    EXPECT_EQ(blocks, memory_num_allocations()); // the pack's buffers were given back

    // Looped at 85 and 75 %. (Which song plays where: the new player's run.)
    rec.clear();
    main_menu_start_song();
    game_start_song();
    clock.advance(10000);
    sound_update();
    EXPECT_TRUE(sound_is_playing(title));
    EXPECT_EQ(std::pair(85, 75), std::pair(sound_volume_get(title), sound_volume_get(game)));

    songs_free();
    EXPECT_EQ(std::pair(title_song_get(), game_song_get()), std::pair(invalid_id, invalid_id));
    EXPECT_EQ(0, sound_count());
    EXPECT_TRUE(rec.assertions().empty());
}

TEST_F(songs_test, MissingOrDamagedSongsStayInvalidAndEveryUseAsserts) {
    scoped_test_pack pack({{game_name, kzs_bytes(2, 0, 4, 16, std::vector<u8>(400)), true}});
    ASSERT_TRUE(pack.ok());
    int blocks = memory_num_allocations();
    main_menu_load_song();
    game_load_song();
    for (const char *a : {"sound_file", "title_song != invalid_id", "result == DS_OK", "game_song != invalid_id"})
        EXPECT_TRUE(rec.asserted(a)) << a;
    EXPECT_EQ(std::pair(title_song_get(), game_song_get()), std::pair(invalid_id, invalid_id));
    EXPECT_EQ(0, sound_count());
    EXPECT_EQ(blocks, memory_num_allocations());
}

TEST(SoundStartUp, WithoutAnAudioDeviceTheGameShowsError15AndExits1) {
    dialog_recorder rec;
    scoped_env base("TOMBWEAVER_PATH", TW_BUILD_DIR);
    scoped_env video("SDL_VIDEODRIVER", "dummy");
    scoped_env render("SDL_RENDER_DRIVER", "software");
    scoped_env home("XDG_DATA_HOME", TW_BUILD_DIR "/test-home");

    // The text the built pack gives string 15.
    memory_system_init();
    ASSERT_TRUE(base_path_init());
    ASSERT_TRUE(packfile_load());
    string_table_read();
    const safestring *text = safestring_get_from_id(15);
    ASSERT_NE(nullptr, text);
    std::string expected = text->text;
    string_table_free();
    packfile_close();
    EXPECT_FALSE(expected.empty());

    scoped_env audio("SDL_AUDIODRIVER", "no_such_driver");
    EXPECT_EQ(1, tombweaver_main());
    ASSERT_EQ(1u, rec.count()) << rec.dialogs().back().caption << ": " << rec.dialogs().back().text;
    EXPECT_EQ("Fatal Error", rec.dialogs()[0].caption);
    EXPECT_EQ(expected, rec.dialogs()[0].text);
    EXPECT_FALSE(platform_audio_is_open());
}
