// test_sound_util.h -- kzs bytes and a sound-device fixture shared by the sound tests
#pragma once

#include "engine/ec_strings.h"
#include "sound/direct_sound.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// Header fields in file order, then the samples.
inline std::vector<u8> kzs_bytes(u32 channels, u32 rate, u32 block_align, u32 bits,
                                 const std::vector<u8> &samples) {
    std::vector<u8> out;
    for (u32 v : {channels, rate, block_align, bits})
        for (int i = 0; i < 4; i++)
            out.push_back((u8)(v >> (8 * i)));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// A 16-bit sine of frames frames at 44,100 Hz (period in frames), on every channel.
inline std::vector<u8> kzs_sine(u32 channels, u32 frames, double period, double amplitude) {
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
inline std::vector<u8> kzs_silence_ms(u32 ms) {
    return kzs_bytes(2, 44100, 4, 16, std::vector<u8>((size_t)44100 * 4 * ms / 1000, 0));
}

// Strings 15 and 16 for the fatal start-up boxes.
inline const string_definition *sound_test_strings() {
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
