// Sound store: kzs checks, the table of 16, one-shot and looped play, volume.
// (What the mixer actually outputs: test_sound_output; no device at start-up: test_sound_songs.)
#include "platform/pf_audio.h"
#include "sound/direct_sound.h"
#include "test_sound_util.h"

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

// (The level of 85 % is measured in the mixed output in test_sound_output.)
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
