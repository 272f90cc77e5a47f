// pf_audio.h -- the sound device: SDL_mixer channels stand in for the sound card and its buffers
#pragma once

#include <cstdint>

// The device's mixing format: 44,100 Hz, signed 16-bit, stereo.
constexpr int platform_audio_rate = 44100;
constexpr int platform_audio_channels = 2;

// Opens the default audio device. False when no device can be opened.
bool platform_audio_open();
// Gives the mixer num_channels channels, one per sound id. False when it cannot.
bool platform_audio_allocate_channels(int num_channels);
// Halts every channel and closes the device; does nothing when it is not open.
void platform_audio_close();
// Why the last platform_audio_open or _allocate_channels failed, in the system's words.
const char *platform_audio_error_text();
// True between a successful platform_audio_open and platform_audio_close.
bool platform_audio_is_open();

// A sound held in the device's format, played on a mixer channel.
struct platform_sound;

// Makes a sound from interleaved PCM (8-bit unsigned or 16-bit signed, little-endian),
// converted to the device's format (at another rate than the device's: wrapped as a
// WAV file in memory for the mixer's loader). The samples
// are copied; the caller keeps them. Null when the device is not open, the format
// cannot be converted, or the converted sound would exceed 256 MB.
platform_sound *platform_sound_create(const void *samples, std::uint32_t size, int channels, int samples_per_second,
                                      int block_align, int bits_per_sample);
// The sound's samples as the mixer plays them; *bytes is set to their size.
const std::uint8_t *platform_sound_samples(const platform_sound *sound, std::uint32_t *bytes);
// Tests: make every sound with the mixer's own WAV loader (true), or as the game does (false).
void platform_sound_use_loader_for_test(bool loader);
// Releases a sound; any channel playing it is halted first. Null is ignored.
void platform_sound_free(platform_sound *sound);

// Plays sound on channel from its first frame, once or looped without a gap. False when
// the mixer refuses (device closed, channel out of range).
bool platform_sound_play(int channel, platform_sound *sound, bool loop);
// Silences a channel at once; its sound starts from its first frame when played again.
void platform_sound_halt(int channel);
// True while the mixer is still playing something on channel.
bool platform_sound_playing(int channel);

// Sets a channel's level in hundredths of a decibel (0 is full level, -10000 the
// quietest); values outside are clamped. False when the channel does not exist.
bool platform_sound_set_level(int channel, std::int32_t level_cb);
// The mixer volume (0..128) a level maps to: round(128 x 10^(level / 2000)).
int platform_audio_volume_from_level(std::int32_t level_cb);
// A channel's current mixer volume (0..128), or -1 when the device is not open.
int platform_sound_mixer_volume(int channel);
