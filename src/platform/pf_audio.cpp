// pf_audio.cpp -- the sound device over SDL_mixer: one mixer channel per sound id
#include "platform/pf_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

struct platform_sound {
    Mix_Chunk *chunk;
    std::uint8_t *samples; // the chunk's samples when converted here (SDL_malloc), else null
};

namespace {

bool audio_open = false;
bool loader_only = false;
int num_mixer_channels = 0;

// A converted sound larger than this is refused: it would not fit a sound buffer.
constexpr std::uint64_t max_converted_bytes = 256u * 1024u * 1024u;
constexpr int mixer_chunk_frames = 1024;
// Frames converted at a time when a sound's rate is the device's.
constexpr std::uint32_t conversion_block_frames = 16384;

void put_u16(std::uint8_t *p, std::uint32_t v) {
    p[0] = (std::uint8_t)v;
    p[1] = (std::uint8_t)(v >> 8);
}

void put_u32(std::uint8_t *p, std::uint32_t v) {
    put_u16(p, v & 0xFFFF);
    put_u16(p + 2, v >> 16);
}

} // namespace

bool platform_audio_open() {
    if (audio_open)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(platform_audio_rate, AUDIO_S16SYS, platform_audio_channels, mixer_chunk_frames) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audio_open = true;
    num_mixer_channels = 0;
    return true;
}

bool platform_audio_allocate_channels(int num_channels) {
    if (!audio_open)
        return false;
    num_mixer_channels = Mix_AllocateChannels(num_channels);
    return num_mixer_channels == num_channels;
}

void platform_audio_close() {
    if (!audio_open)
        return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_open = false;
    num_mixer_channels = 0;
}

bool platform_audio_is_open() { return audio_open; }

const char *platform_audio_error_text() { return SDL_GetError(); }

platform_sound *platform_sound_create(const void *samples, std::uint32_t size, int channels, int samples_per_second,
                                      int block_align, int bits_per_sample) {
    if (!audio_open || !samples || size == 0 || channels <= 0 || channels > 0xFFFF || samples_per_second <= 0 ||
        block_align <= 0 || block_align > 0xFFFF || bits_per_sample <= 0 || bits_per_sample > 0xFFFF)
        return nullptr;

    // Bound what the conversion to 44.1 kHz 16-bit stereo would allocate.
    std::uint64_t frames = size / (std::uint32_t)block_align;
    std::uint64_t out_bytes =
        frames * (std::uint64_t)platform_audio_rate / (std::uint64_t)samples_per_second * 2u * platform_audio_channels;
    if (out_bytes > max_converted_bytes || size > 0x7FFFFFFFu - 44u)
        return nullptr;

    // At the device's rate the samples are converted here block by block, straight into
    // the chunk's buffer: the mixer's loader would hold a copy of the file, a WAV image
    // and a working buffer several times the sound's size at once. Sample for sample the
    // result is the loader's (the same converter, and no resampling across blocks).
    int device_rate = 0, device_channels = 0;
    Uint16 device_format = 0;
    SDL_AudioFormat format = bits_per_sample == 8 ? AUDIO_U8 : bits_per_sample == 16 ? AUDIO_S16LSB : 0;
    if (!loader_only && Mix_QuerySpec(&device_rate, &device_format, &device_channels) &&
        device_rate == samples_per_second && format != 0 && block_align == channels * bits_per_sample / 8 &&
        channels <= 0xFF) {
        SDL_AudioCVT cvt;
        const int built = SDL_BuildAudioCVT(&cvt, format, (Uint8)channels, samples_per_second, device_format,
                                            (Uint8)device_channels, device_rate);
        const std::uint32_t out_frame = (std::uint32_t)device_channels * (SDL_AUDIO_BITSIZE(device_format) / 8);
        if (built >= 0 && out_frame > 0) {
            const std::uint64_t out_size = frames * out_frame;
            std::uint8_t *out = (std::uint8_t *)SDL_malloc((std::size_t)out_size);
            const std::uint32_t block_bytes = conversion_block_frames * (std::uint32_t)block_align;
            std::uint8_t *work =
                built ? (std::uint8_t *)SDL_malloc((std::size_t)block_bytes * (std::size_t)cvt.len_mult) : nullptr;
            bool ok = out && (built == 0 || work);
            std::uint64_t written = 0;
            // Whole frames only, as the loader reads them.
            const std::uint32_t whole_frames_bytes = (std::uint32_t)frames * (std::uint32_t)block_align;
            for (std::uint32_t at = 0; ok && at < whole_frames_bytes; at += block_bytes) {
                const std::uint32_t n = std::min(block_bytes, whole_frames_bytes - at);
                if (built == 0) {
                    std::memcpy(out + written, (const std::uint8_t *)samples + at, n);
                    written += n;
                    continue;
                }
                std::memcpy(work, (const std::uint8_t *)samples + at, n);
                cvt.buf = work;
                cvt.len = (int)n;
                ok = SDL_ConvertAudio(&cvt) == 0 && written + (std::uint64_t)cvt.len_cvt <= out_size;
                if (ok) {
                    std::memcpy(out + written, work, (std::size_t)cvt.len_cvt);
                    written += (std::uint64_t)cvt.len_cvt;
                }
            }
            SDL_free(work);
            Mix_Chunk *chunk = ok && written == out_size ? Mix_QuickLoad_RAW(out, (Uint32)out_size) : nullptr;
            platform_sound *sound = chunk ? (platform_sound *)SDL_malloc(sizeof(platform_sound)) : nullptr;
            if (!sound) {
                if (chunk)
                    Mix_FreeChunk(chunk);
                SDL_free(out);
                return nullptr;
            }
            sound->chunk = chunk;
            sound->samples = out;
            return sound;
        }
    }

    // The mixer loads WAV files: put a 44-byte RIFF header in front of the samples.
    std::size_t wav_size = 44u + (std::size_t)size;
    std::uint8_t *wav = (std::uint8_t *)SDL_malloc(wav_size);
    if (!wav)
        return nullptr;
    std::memcpy(wav, "RIFF", 4);
    put_u32(wav + 4, 36u + size);
    std::memcpy(wav + 8, "WAVEfmt ", 8);
    put_u32(wav + 16, 16);
    put_u16(wav + 20, 1); // PCM
    put_u16(wav + 22, (std::uint32_t)channels);
    put_u32(wav + 24, (std::uint32_t)samples_per_second);
    put_u32(wav + 28, (std::uint32_t)block_align * (std::uint32_t)samples_per_second);
    put_u16(wav + 32, (std::uint32_t)block_align);
    put_u16(wav + 34, (std::uint32_t)bits_per_sample);
    std::memcpy(wav + 36, "data", 4);
    put_u32(wav + 40, size);
    std::memcpy(wav + 44, samples, size);

    SDL_RWops *rw = SDL_RWFromConstMem(wav, (int)wav_size);
    Mix_Chunk *chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    SDL_free(wav);
    if (!chunk)
        return nullptr;
    platform_sound *sound = (platform_sound *)SDL_malloc(sizeof(platform_sound));
    if (!sound) {
        Mix_FreeChunk(chunk);
        return nullptr;
    }
    sound->chunk = chunk;
    sound->samples = nullptr;
    return sound;
}

const std::uint8_t *platform_sound_samples(const platform_sound *sound, std::uint32_t *bytes) {
    *bytes = sound ? sound->chunk->alen : 0;
    return sound ? sound->chunk->abuf : nullptr;
}

void platform_sound_use_loader_for_test(bool loader) { loader_only = loader; }

void platform_sound_free(platform_sound *sound) {
    if (!sound)
        return;
    // Mix_FreeChunk halts every channel still playing the chunk.
    Mix_FreeChunk(sound->chunk);
    SDL_free(sound->samples);
    SDL_free(sound);
}

bool platform_sound_play(int channel, platform_sound *sound, bool loop) {
    if (!audio_open || !sound || channel < 0 || channel >= num_mixer_channels)
        return false;
    return Mix_PlayChannel(channel, sound->chunk, loop ? -1 : 0) == channel;
}

void platform_sound_halt(int channel) {
    if (audio_open && channel >= 0 && channel < num_mixer_channels)
        Mix_HaltChannel(channel);
}

bool platform_sound_playing(int channel) {
    if (!audio_open || channel < 0 || channel >= num_mixer_channels)
        return false;
    return Mix_Playing(channel) != 0;
}

int platform_audio_volume_from_level(std::int32_t level_cb) {
    if (level_cb > 0)
        level_cb = 0;
    if (level_cb < -10000)
        level_cb = -10000;
    double gain = std::pow(10.0, (double)level_cb / 2000.0);
    return (int)std::lround(gain * MIX_MAX_VOLUME);
}

bool platform_sound_set_level(int channel, std::int32_t level_cb) {
    if (!audio_open || channel < 0 || channel >= num_mixer_channels)
        return false;
    Mix_Volume(channel, platform_audio_volume_from_level(level_cb));
    return true;
}

int platform_sound_mixer_volume(int channel) {
    if (!audio_open || channel < 0 || channel >= num_mixer_channels)
        return -1;
    return Mix_Volume(channel, -1);
}
