// What the mixer writes, read back from SDL's disk driver: levels, seamless loops, silence after stop.
// (The songs of the built pack are loaded and played in test_sound_songs and the end-to-end runs.)
#include "platform/pf_audio.h"
#include "test_sound_util.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

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

// Runs of sound separated by at least min_gap silent frames: (first, last) frame of each.
std::vector<std::pair<size_t, size_t>> bursts(const std::vector<int16_t> &s, size_t min_gap) {
    std::vector<std::pair<size_t, size_t>> out;
    for (size_t i = 0; i < s.size(); i++) {
        if (s[i] == 0)
            continue;
        if (out.empty() || i - out.back().second > min_gap)
            out.push_back({i, i});
        else
            out.back().second = i;
    }
    return out;
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

} // namespace

TEST(SoundOutput, Volume85IsAbout11DecibelsBelow100) {
    dialog_recorder rec;
    // 0.2 s of a 441 Hz sine.
    std::vector<u8> sine = kzs_sine(2, 8820, 100, 20000);
    std::vector<int16_t> full = mix_at_volume(sine, 100, "full");
    std::vector<int16_t> lower = mix_at_volume(sine, 85, "lower");

    for (auto *out : {&full, &lower}) { // both played whole: one burst of the sound's length
        auto b = bursts(*out, 64);
        ASSERT_EQ(1u, b.size());
        EXPECT_NEAR(8819.0, (double)(b[0].second - b[0].first), 2.0);
    }

    // -1125 hundredths of a decibel is a gain of 10^(-1125/2000) = 0.2738.
    double ratio = std::sqrt(energy(lower) / energy(full));
    EXPECT_NEAR(0.2738, ratio, 0.2738 * 0.02);
    EXPECT_TRUE(rec.assertions().empty());
}

TEST(SoundOutput, LoopHasNoGapOrClickAndStopSilencesIt) {
    dialog_recorder rec;
    disk_capture disk("loop");
    ASSERT_TRUE(disk.ok());
    // 44 whole periods of a 441 Hz sine: the loop point continues the wave.
    const double amplitude = 16000;
    std::vector<u8> sine = kzs_sine(2, 4400, 100, amplitude);
    dword id = sound_create_from_memory(sine.data(), (u32)sine.size());
    sound_play(id, true);
    wait_ms(500); // five times round the loop
    EXPECT_TRUE(platform_sound_playing((int)id));
    sound_stop(id);
    EXPECT_FALSE(platform_sound_playing((int)id));
    wait_ms(200);
    std::vector<int16_t> out = disk.close();

    auto runs = bursts(out, 2);
    ASSERT_EQ(1u, runs.size());
    size_t first = runs[0].first, last = runs[0].second;
    EXPECT_GT(last - first, 4u * 4400u);
    // A sine of period 100 changes by at most 2 pi / 100 of its amplitude per frame.
    int largest_step = 0;
    for (size_t i = first; i < last; i++)
        largest_step = std::max(largest_step, std::abs(out[i + 1] - out[i]));
    EXPECT_LE(largest_step, (int)(amplitude * 0.07));
    // After the stop the stream is silent to its end.
    EXPECT_GT(out.size() - last, 2048u);
    EXPECT_TRUE(rec.assertions().empty());
}
