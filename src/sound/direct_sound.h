// direct_sound.h -- the sound store: up to 16 kzs sounds from the pack, played once or looped
#pragma once

#include "engine/ec_types.h"

constexpr s32 max_sounds = 16;

// Result of making a sound buffer: DS_OK, or why a kzs file was refused.
constexpr s32 DS_OK = 0;
enum : s32 {
    kzs_err_too_short = 1,     // fewer than 16 bytes: no whole header
    kzs_err_no_channels,       // channel count 0
    kzs_err_too_many_channels, // more than 8 channels, or a count with its upper bytes set
    kzs_err_bad_rate,          // samples per second outside 100..200,000
    kzs_err_bad_bits,          // bits per sample other than 8 or 16
    kzs_err_bad_block_align,   // block alignment is not channels x bits / 8
    kzs_err_no_samples,        // no sample bytes after the header
    kzs_err_partial_frame,     // sample bytes are not whole frames
    kzs_err_too_long,          // more sample bytes than a sound buffer holds
    kzs_err_device,            // the mixer could not make the buffer
};

constexpr u32 kzs_header_size = 16;
// Largest sample data a sound buffer takes (bytes).
constexpr u32 kzs_max_sample_bytes = 0x0FFFFFFFu;

// A kzs file's header (little-endian u32 fields) and where its samples are.
struct kzs_sound {
    u32 channels;
    u32 samples_per_second;
    u32 block_align;
    u32 bits_per_sample;
    const u8 *samples; // points into the parsed bytes
    u32 sample_bytes;
    u32 duration_ms;
};

// Reads and checks a kzs file of size bytes. Returns DS_OK and fills *out, or a
// kzs_err_ code and leaves *out unspecified. Reads nothing outside data[0..size).
s32 kzs_parse(const u8 *data, u32 size, kzs_sound *out);
// A short description of a kzs_parse result, for the assertion's info text.
const char *kzs_result_text(s32 result);
// Length in milliseconds, rounded to the nearest: sample_bytes / bytes-per-second
// (integer, truncating) x 1000 + 0.5 in single precision, then rounded down.
u32 kzs_duration_ms(u32 sample_bytes, u32 bits_per_sample, u32 channels, u32 samples_per_second);

// Empties the table and opens the audio device with 16 channels. Without a device (or
// when its mixer cannot be set up) the game runs silently: one line on stderr says so,
// and sounds are still made, played and timed, with nothing heard. Always true.
bool sound_system_init();
// True when sound_system_init found no usable device and the game plays silently.
bool sound_system_silent();
// Releases the device (after sounds_free_all at shutdown); sounds still held are released too.
void sound_system_close();

// Loads the pack asset filename (a kzs file) into the first empty entry. Returns its
// id, or invalid_id after an assertion (table full, no such asset, bad file).
dword sound_create(const char *filename);
// The same from kzs bytes in memory (copied; the caller keeps them).
dword sound_create_from_memory(const u8 *data, u32 size);

// Starts a stopped sound, once or looped; a sound already playing is not restarted.
void sound_play(dword id, bool loop);
// Stops a playing sound and rewinds it to its start.
void sound_stop(dword id);
// Sets the volume in percent: 100 is full level, 0 is -75 dB; outside 0..100 clamps
// to the device's range.
void sound_set_volume(dword id, int volume);
// True while the sound plays once (until sound_update has seen its time pass) or loops.
bool sound_is_playing(dword id);
// Ends one-shot plays whose time is up (by the tick count). Once per main-loop pass.
void sound_update();
// Releases a sound; its entry becomes empty and is the first reused.
void sound_free(dword id);
// Releases every sound still loaded.
void sounds_free_all();

// Hundredths of a decibel for a volume in percent: (volume - 100) x 75, clamped to -10000..0.
s32 sound_volume_to_level(int volume);
// Read-only views for the diagnostics and tests: loaded sounds, a sound's length
// and its volume in percent (0 for an id that holds no sound).
int sound_count();
u32 sound_duration_ms(dword id);
int sound_volume_get(dword id);
