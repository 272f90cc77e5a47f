// test_sound_convert.cpp -- sounds converted block by block match the mixer's own loader, sample for sample
#include "platform/pf_audio.h"
#include "test_sound_util.h"

#include <cstdint>
#include <vector>

namespace {

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
