// Sound: kzs checks, the table of 16, one-shot and looped play, volume; conversion against the
// mixer's own loader; damaged songs; and the silent store when there is no audio device.
// (What the mixer writes, read back from SDL's disk driver, and which song plays where: the
// comforts and new-player runs.)
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

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Silence of 16-bit stereo at 44,100 Hz lasting ms milliseconds.
std::vector<u8> kzs_silence_ms(u32 ms) {
    return test_kzs_bytes(2, 44100, 16, std::vector<u8>((size_t)44100 * 4 * ms / 1000, 0));
}

// The sound system open (on the dummy driver the test environment sets), with the dialogs recorded.
class sound_test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sound_system_init()); }
    void TearDown() override {
        sounds_free_all();
        sound_system_close();
    }
    dialog_recorder rec;
};

const char *game_name = "audio\\gamejam_final.kzs";

struct format_case {
    const char *name;
    int channels, rate, bits;
};

class sound_convert : public ::testing::TestWithParam<format_case> {};

// Over several conversion blocks and a partial last one, full-scale extremes included.
TEST_P(sound_convert, same_samples_as_the_mixer_loader) {
    const format_case &c = GetParam();
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

TEST(KzsParse, RefusesDamagedHeaders) {
    const std::vector<u8> four(4), three(3);
    std::vector<u8> block_2 = test_kzs_bytes(2, 44100, 16, four);
    block_2[8] = 2; // the block alignment field
    struct bad_case {
        const char *what;
        std::vector<u8> bytes;
        s32 result;
    } cases[] = {
        {"cut header", std::vector<u8>(15), kzs_err_too_short},
        {"9 channels", test_kzs_bytes(9, 44100, 16, std::vector<u8>(18)), kzs_err_too_many_channels},
        {"rate 0", test_kzs_bytes(2, 0, 16, four), kzs_err_bad_rate},
        {"12 bits", test_kzs_bytes(2, 44100, 12, std::vector<u8>(6)), kzs_err_bad_bits},
        {"block 2 for stereo 16", block_2, kzs_err_bad_block_align},
        {"partial frame", test_kzs_bytes(2, 44100, 16, three), kzs_err_partial_frame},
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
    std::vector<u8> bad = test_kzs_bytes(2, 0, 16, std::vector<u8>(4));
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

TEST_F(sound_test, VolumeIsClampedAndScaledAndAFreedEntryStartsAtFullLevel) {
    std::vector<u8> s = kzs_silence_ms(10);
    dword id = sound_create_from_memory(s.data(), (u32)s.size());
    sound_set_volume(id, -34);
    EXPECT_EQ(0, platform_sound_mixer_volume((int)id));
    sound_set_volume(id, 85); // -11.25 dB: a gain of 0.2738 of the mixer's 128
    EXPECT_EQ(35, platform_sound_mixer_volume((int)id));
    sound_free(id);
    id = sound_create_from_memory(s.data(), (u32)s.size());
    EXPECT_EQ(128, platform_sound_mixer_volume((int)id));
}

TEST_F(sound_test, EightBitMonoAndOtherRatesAreConverted) {
    std::vector<u8> mono8 = test_kzs_bytes(1, 11025, 8, std::vector<u8>(1102, 128));
    std::vector<u8> quad = test_kzs_bytes(4, 48000, 16, std::vector<u8>(800));
    dword a = sound_create_from_memory(mono8.data(), (u32)mono8.size());
    dword b = sound_create_from_memory(quad.data(), (u32)quad.size());
    EXPECT_EQ(100u, sound_duration_ms(a));
    EXPECT_EQ(2u, sound_duration_ms(b));
    sound_play(a, false);
    EXPECT_TRUE(platform_sound_playing((int)a));
    EXPECT_TRUE(rec.assertions().empty());
}

TEST_F(sound_test, MissingOrDamagedSongsStayInvalidAndEveryUseAsserts) {
    memory_system_init();
    scoped_test_pack pack({{game_name, test_kzs_bytes(2, 0, 16, std::vector<u8>(400)), true}});
    ASSERT_TRUE(pack.ok());
    int blocks = memory_num_allocations();
    main_menu_load_song();
    game_load_song();
    for (const char *a : {"sound_file", "title_song != invalid_id", "result == DS_OK", "game_song != invalid_id"})
        EXPECT_TRUE(rec.asserted(a)) << a;
    EXPECT_EQ(std::pair(title_song_get(), game_song_get()), std::pair(invalid_id, invalid_id));
    EXPECT_EQ(0, sound_count());
    EXPECT_EQ(blocks, memory_num_allocations());
    songs_free();
}

// Without a device the store still makes, plays, times and frees sounds, silently.
TEST(SoundStartUp, WithoutAnAudioDeviceSoundsArePlayedSilently) {
    dialog_recorder rec;
    manual_clock clock(5000);
    setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
    testing::internal::CaptureStderr();
    const bool ready = sound_system_init();
    const std::string said = testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(ready);
    EXPECT_TRUE(sound_system_silent());
    EXPECT_FALSE(platform_audio_is_open());
    EXPECT_NE(said.find("playing without sound"), std::string::npos) << said;

    const dword id = sound_create_from_memory(kzs_silence_ms(100).data(), (u32)kzs_silence_ms(100).size());
    ASSERT_NE(id, invalid_id);
    sound_set_volume(id, 40);
    EXPECT_EQ(sound_volume_get(id), 40);
    sound_play(id, false);
    EXPECT_TRUE(sound_is_playing(id));
    clock.advance(101);
    sound_update();
    EXPECT_FALSE(sound_is_playing(id));
    sound_play(id, true);
    sound_stop(id);
    EXPECT_FALSE(sound_is_playing(id));
    sounds_free_all();
    sound_system_close();
    EXPECT_FALSE(sound_system_silent());
    EXPECT_EQ(rec.count(), 0u) << (rec.count() ? rec.dialogs()[0].text : "");
}
