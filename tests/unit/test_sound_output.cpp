// What the mixer writes, read back from SDL's disk driver: the level of a sound at a lower volume.
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

    // -1125 hundredths of a decibel is a gain of 10^(-1125/2000) = 0.2738.
    double ratio = std::sqrt(energy(lower) / energy(full));
    EXPECT_NEAR(0.2738, ratio, 0.2738 * 0.02);
    EXPECT_TRUE(rec.assertions().empty());
}
