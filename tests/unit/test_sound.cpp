// Sound: kzs checks, the table of 16, one-shot and looped play, volume; conversion against the
// mixer's own loader; what the mixer writes (read back from SDL's disk driver); the title and game
// songs; and what start-up does without an audio device.
#include "engine/ec_fileio.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"
#include "engine/ec_strings.h"
#include "game/g_game.h"
#include "main.h"
#include "platform/pf_audio.h"
#include "sound/direct_sound.h"
#include "test_pack.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<u8> kzs_bytes(u32 channels, u32 rate, u32 block_align, u32 bits,
                                 const std::vector<u8> &samples) {
    std::vector<u8> out;
    for (u32 v : {channels, rate, block_align, bits})
        for (int i = 0; i < 4; i++)
            out.push_back((u8)(v >> (8 * i)));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// A 16-bit sine of frames frames at 44,100 Hz (period in frames), on every channel.
std::vector<u8> kzs_sine(u32 channels, u32 frames, double period, double amplitude) {
    std::vector<u8> pcm;
    for (u32 f = 0; f < frames; f++) {
        int16_t v = (int16_t)std::lround(amplitude * std::sin(2.0 * M_PI * f / period));
        for (u32 c = 0; c < channels; c++) {
            pcm.push_back((u8)(v & 0xFF));
            pcm.push_back((u8)((u16)v >> 8));
        }
    }
    return kzs_bytes(channels, 44100, channels * 2, 16, pcm);
}

// Silence of 16-bit stereo at 44,100 Hz lasting ms milliseconds.
std::vector<u8> kzs_silence_ms(u32 ms) {
    return kzs_bytes(2, 44100, 4, 16, std::vector<u8>((size_t)44100 * 4 * ms / 1000, 0));
}

// Strings 15 and 16 for the fatal start-up boxes.
const string_definition *sound_test_strings() {
    static string_definition defs[17] = {};
    safestring_create(&defs[15].string, "No audio device could be opened.");
    safestring_create(&defs[16].string, "The sound mixer could not be set up.");
    return defs;
}

// Sets an environment variable for the life of the object, then restores it.
class scoped_env {
public:
    scoped_env(const char *name, const char *value) : var(name) {
        const char *old = std::getenv(name);
        had = old != nullptr;
        if (had)
            previous = old;
        setenv(name, value, 1);
    }
    ~scoped_env() {
        if (had)
            setenv(var.c_str(), previous.c_str(), 1);
        else
            unsetenv(var.c_str());
    }

private:
    std::string var, previous;
    bool had = false;
};

// The sound system open on the dummy driver, with the dialogs recorded.
class sound_test : public ::testing::Test {
protected:
    void SetUp() override {
        string_table_use_for_test(sound_test_strings(), 17);
        ASSERT_TRUE(sound_system_init());
    }
    void TearDown() override {
        sounds_free_all();
        sound_system_close();
        string_table_use_for_test(nullptr, 0);
    }
    dialog_recorder rec;
    scoped_env driver{"SDL_AUDIODRIVER", "dummy"};
};

void wait_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The sound system on the disk driver; close() returns the left channel of what was mixed.
class disk_capture {
public:
    explicit disk_capture(const std::string &name)
        : path(std::string(TW_BUILD_DIR) + "/test-sound-" + name + ".raw"),
          driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", path.c_str()) {
        std::remove(path.c_str());
        string_table_use_for_test(sound_test_strings(), 17);
        opened = sound_system_init();
    }
    ~disk_capture() {
        if (opened)
            close();
        string_table_use_for_test(nullptr, 0);
        std::remove(path.c_str());
    }
    bool ok() const { return opened; }

    std::vector<int16_t> close() {
        sounds_free_all();
        sound_system_close();
        opened = false;
        std::ifstream in(path, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<int16_t> left;
        for (size_t i = 0; i + 3 < bytes.size(); i += 4)
            left.push_back((int16_t)((u8)bytes[i] | ((u8)bytes[i + 1] << 8)));
        return left;
    }

private:
    std::string path;
    scoped_env driver, file;
    bool opened = false;
};

double energy(const std::vector<int16_t> &s) {
    double e = 0;
    for (int16_t v : s)
        e += (double)v * v;
    return e;
}

// Mixes sine at the given volume and returns what came out.
std::vector<int16_t> mix_at_volume(const std::vector<u8> &sine, int volume, const char *name) {
    disk_capture disk(name);
    EXPECT_TRUE(disk.ok());
    dword id = sound_create_from_memory(sine.data(), (u32)sine.size());
    sound_set_volume(id, volume);
    sound_play(id, false);
    wait_ms(450);
    EXPECT_FALSE(platform_sound_playing((int)id));
    return disk.close();
}

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

struct format_case {
    const char *name;
    int channels, rate, bits;
};

class sound_convert : public ::testing::TestWithParam<format_case> {};

// Over several conversion blocks and a partial last one, full-scale extremes included.
TEST_P(sound_convert, same_samples_as_the_mixer_loader) {
    const format_case &c = GetParam();
    scoped_env driver("SDL_AUDIODRIVER", "dummy");
    ASSERT_TRUE(platform_audio_open());
    const int block_align = c.channels * c.bits / 8;
    std::vector<u8> samples((size_t)(40000 * block_align));
    uint32_t x = 12345;
    for (u8 &b : samples) {
        x = x * 1103515245u + 12345u;
        b = (u8)(x >> 16);
    }
    samples[0] = 0x00, samples[1] = 0x80; // -32768 (or 0 and 128 at 8 bits)
    samples[2] = 0xFF, samples[3] = 0x7F; // 32767
    std::vector<u8> out[2];
    for (int loader = 0; loader < 2; ++loader) {
        platform_sound_use_loader_for_test(loader != 0);
        platform_sound *sound =
            platform_sound_create(samples.data(), (uint32_t)samples.size(), c.channels, c.rate, block_align, c.bits);
        ASSERT_NE(sound, nullptr);
        uint32_t bytes = 0;
        const uint8_t *p = platform_sound_samples(sound, &bytes);
        out[loader].assign(p, p + bytes);
        platform_sound_free(sound);
    }
    platform_sound_use_loader_for_test(false);
    platform_audio_close();
    ASSERT_EQ(out[0].size(), out[1].size());
    EXPECT_TRUE(out[0] == out[1]);
}

INSTANTIATE_TEST_SUITE_P(formats, sound_convert,
                         ::testing::Values(format_case{"mono16", 1, 44100, 16}, format_case{"mono8", 1, 44100, 8},
                                           format_case{"stereo16", 2, 44100, 16}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace

TEST(KzsParse, LengthIsRoundedToTheNearestMillisecond) {
    kzs_sound k;
    std::vector<u8> second = kzs_bytes(2, 44100, 4, 16, std::vector<u8>(176400));
    ASSERT_EQ(DS_OK, kzs_parse(second.data(), (u32)second.size(), &k));
    EXPECT_EQ(1000u, k.duration_ms);
    // 16-bit mono at 44,100 Hz is 88,200 bytes a second: 44 bytes over is 0.499 ms, 88 is 0.998 ms.
    EXPECT_EQ(1000u, kzs_duration_ms(88200 + 44, 16, 1, 44100));
    EXPECT_EQ(1001u, kzs_duration_ms(88200 + 88, 16, 1, 44100));
}

TEST(KzsParse, RefusesDamagedHeaders) {
    const std::vector<u8> four(4), three(3);
    struct bad_case {
        const char *what;
        std::vector<u8> bytes;
        s32 result;
    } cases[] = {
        {"cut header", std::vector<u8>(15), kzs_err_too_short},
        {"9 channels", kzs_bytes(9, 44100, 18, 16, std::vector<u8>(18)), kzs_err_too_many_channels},
        {"rate 0", kzs_bytes(2, 0, 4, 16, four), kzs_err_bad_rate},
        {"12 bits", kzs_bytes(2, 44100, 3, 12, std::vector<u8>(6)), kzs_err_bad_bits},
        {"block 2 for stereo 16", kzs_bytes(2, 44100, 2, 16, four), kzs_err_bad_block_align},
        {"partial frame", kzs_bytes(2, 44100, 4, 16, three), kzs_err_partial_frame},
    };
    for (const bad_case &c : cases) {
        SCOPED_TRACE(c.what);
        kzs_sound k;
        EXPECT_EQ(c.result, kzs_parse(c.bytes.data(), (u32)c.bytes.size(), &k));
        EXPECT_STRNE("unknown kzs error", kzs_result_text(c.result));
    }
    EXPECT_EQ(kzs_err_too_short, kzs_parse(nullptr, 100, nullptr));
}

TEST_F(sound_test, SixteenSoundsFitDamagedOnesAreRefusedAndFreedEntriesAreReusedFirst) {
    std::vector<u8> bad = kzs_bytes(2, 0, 4, 16, std::vector<u8>(4));
    EXPECT_EQ(invalid_id, sound_create_from_memory(bad.data(), (u32)bad.size()));
    EXPECT_TRUE(rec.asserted("result == DS_OK"));
    rec.clear();
    std::vector<u8> s = kzs_silence_ms(10);
    for (dword i = 0; i < (dword)max_sounds; i++)
        ASSERT_EQ(i, sound_create_from_memory(s.data(), (u32)s.size()));
    EXPECT_EQ(invalid_id, sound_create_from_memory(s.data(), (u32)s.size()));
    EXPECT_EQ(rec.assertions(), std::vector<std::string>{"num_sounds < max_sounds"});
    sound_free(9);
    sound_free(5);
    EXPECT_EQ(14, sound_count());
    EXPECT_EQ(5u, sound_create_from_memory(s.data(), (u32)s.size()));
    EXPECT_EQ(9u, sound_create_from_memory(s.data(), (u32)s.size()));
}

// A sound that failed to load leaves its user with invalid_id: every call refuses it.
TEST_F(sound_test, IdsAreCheckedBeforeAnythingHappens) {
    for (auto [id, assertion] : {std::pair<dword, const char *>{invalid_id, "id != invalid_id"},
                                 {(dword)max_sounds, "id < max_sounds"},
                                 {3, "sounds[id].state != sound_state_empty"}}) {
        rec.clear();
        sound_play(id, false);
        sound_stop(id);
        sound_set_volume(id, 50);
        EXPECT_FALSE(sound_is_playing(id));
        sound_free(id);
        EXPECT_EQ(std::vector<std::string>(5, assertion), rec.assertions());
    }
}

TEST_F(sound_test, OneShotIsNotRestartedWithinItsLengthAndALoopPlaysUntilStopped) {
    manual_clock clock(5000);
    std::vector<u8> s = kzs_silence_ms(1000);
    dword id = sound_create_from_memory(s.data(), (u32)s.size());
    sound_play(id, false);
    EXPECT_TRUE(platform_sound_playing((int)id));
    // A second play half-way through changes nothing: the start time stays 5000.
    clock.set(5500);
    sound_play(id, false);
    clock.set(6000);
    sound_update();
    EXPECT_TRUE(sound_is_playing(id)); // 5000 + 1000 is not before 6000
    clock.set(6001);
    sound_update();
    EXPECT_FALSE(sound_is_playing(id));
    sound_play(id, true);
    clock.advance(600000);
    sound_update();
    EXPECT_TRUE(sound_is_playing(id));
    sound_stop(id);
    EXPECT_FALSE(sound_is_playing(id));
    EXPECT_FALSE(platform_sound_playing((int)id));
    EXPECT_TRUE(rec.assertions().empty());
}

TEST_F(sound_test, VolumeIsClampedAndAFreedEntryStartsAtFullLevel) {
    std::vector<u8> s = kzs_silence_ms(10);
    dword id = sound_create_from_memory(s.data(), (u32)s.size());
    sound_set_volume(id, -34);
    EXPECT_EQ(0, platform_sound_mixer_volume((int)id));
    sound_free(id);
    id = sound_create_from_memory(s.data(), (u32)s.size());
    EXPECT_EQ(128, platform_sound_mixer_volume((int)id));
}

TEST_F(sound_test, EightBitMonoAndOtherRatesAreConverted) {
    std::vector<u8> mono8 = kzs_bytes(1, 11025, 1, 8, std::vector<u8>(1102, 128));
    std::vector<u8> quad = kzs_bytes(4, 48000, 8, 16, std::vector<u8>(800));
    dword a = sound_create_from_memory(mono8.data(), (u32)mono8.size());
    dword b = sound_create_from_memory(quad.data(), (u32)quad.size());
    EXPECT_EQ(100u, sound_duration_ms(a));
    EXPECT_EQ(2u, sound_duration_ms(b));
    sound_play(a, false);
    EXPECT_TRUE(platform_sound_playing((int)a));
    EXPECT_TRUE(rec.assertions().empty());
}

TEST(SoundOutput, Volume85IsAbout11DecibelsBelow100) {
    dialog_recorder rec;
    // 0.2 s of a 441 Hz sine.
    std::vector<u8> sine = kzs_sine(2, 8820, 100, 20000);
    std::vector<int16_t> full = mix_at_volume(sine, 100, "full");
    std::vector<int16_t> lower = mix_at_volume(sine, 85, "lower");

    // -1125 hundredths of a decibel is a gain of 10^(-1125/2000) = 0.2738.
    double ratio = std::sqrt(energy(lower) / energy(full));
    EXPECT_NEAR(0.2738, ratio, 0.2738 * 0.02);
    EXPECT_TRUE(rec.assertions().empty());
}

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
