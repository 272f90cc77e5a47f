// direct_sound.cpp -- the sound store: a table of 16 sounds over the platform's mixer channels
#include "sound/direct_sound.h"

#include "engine/ec_assert.h"
#include "engine/ec_pack.h"
#include "platform/pf_audio.h"
#include "platform/pf_system.h"

#include <cstddef>
#include <cstdio>

namespace {

enum : u32 {
    sound_state_empty = 0,
    sound_state_stopped = 1,
    sound_state_playing = 2,
    sound_state_looping = 3,
};

// The device's limits on a buffer's level, in hundredths of a decibel.
constexpr s32 level_min = -10000;
constexpr s32 level_max = 0;

struct sound_entry {
    platform_sound *dsbuffer; // the sound's buffer; null in an empty entry
    u32 state;
    u32 play_start_time; // tick count when a one-shot play began
    u32 duration_ms;
    s32 volume;         // percent, as last set
    u32 start_position; // where sound_stop rewinds to: a mixer chunk always starts at its first frame
};

sound_entry sounds[max_sounds];
s32 num_sounds = 0;
bool sound_system_ready = false;
// No device could be opened: sounds are kept and their plays timed as usual, but
// nothing reaches a mixer (entries hold no buffer).
bool sound_silent = false;

u32 read_u32(const u8 *p) { return (u32)p[0] | ((u32)p[1] << 8) | ((u32)p[2] << 16) | ((u32)p[3] << 24); }

// The id checks every operation makes first, in this order.
bool sound_check_id(dword id) {
    if (!ec_assert(id != invalid_id))
        return false;
    if (!ec_assert(id < max_sounds))
        return false;
    if (!ec_assert(sounds[id].state != sound_state_empty))
        return false;
    return true;
}

// The first empty entry, or invalid_id after an assertion.
dword sound_find_entry() {
    if (!ec_assert(num_sounds < max_sounds))
        return invalid_id;
    dword sound_id = 0;
    while (sound_id < max_sounds && sounds[sound_id].state != sound_state_empty)
        sound_id++;
    if (!ec_assert(sound_id < max_sounds))
        return invalid_id;
    if (!ec_assert(sounds[sound_id].dsbuffer == NULL))
        return invalid_id;
    return sound_id;
}

// Makes entry sound_id's buffer from kzs bytes. On failure nothing is kept.
dword sound_fill_entry(dword sound_id, const u8 *data, u32 size) {
    kzs_sound kzs;
    s32 result = kzs_parse(data, size, &kzs);
    if (!ec_assert_info(result == DS_OK, kzs_result_text(result)))
        return invalid_id;

    sound_entry &s = sounds[sound_id];
    if (!sound_silent) {
        s.dsbuffer = platform_sound_create(kzs.samples, kzs.sample_bytes, (int)kzs.channels,
                                           (int)kzs.samples_per_second, (int)kzs.block_align, (int)kzs.bits_per_sample);
        result = s.dsbuffer ? DS_OK : kzs_err_device;
        if (!ec_assert_info(result == DS_OK, kzs_result_text(result)))
            return invalid_id;
        platform_sound_set_level((int)sound_id, level_max);
    }
    s.volume = 100;
    s.state = sound_state_stopped;
    s.duration_ms = kzs.duration_ms;
    s.play_start_time = 0;
    s.start_position = 0;
    num_sounds += 1;
    return sound_id;
}

// Releases every buffer without the checks of sound_free (start-up and close).
void sound_release_all_buffers() {
    for (sound_entry &s : sounds) {
        platform_sound_free(s.dsbuffer);
        s = sound_entry{};
    }
    num_sounds = 0;
}

} // namespace

u32 kzs_duration_ms(u32 sample_bytes, u32 bits_per_sample, u32 channels, u32 samples_per_second) {
    // 64-bit so that no header can overflow the divisor; for real files it is the same value.
    unsigned long long bytes_per_second = ((unsigned long long)bits_per_sample * channels * samples_per_second) / 8u;
    if (bytes_per_second == 0)
        return 0;
    float ms = (float)sample_bytes / (float)bytes_per_second * 1000.0f + 0.5f;
    if (ms >= 4294967295.0f)
        return 0xFFFFFFFFu;
    return (u32)ms;
}

s32 kzs_parse(const u8 *data, u32 size, kzs_sound *out) {
    if (!data || size < kzs_header_size)
        return kzs_err_too_short;
    kzs_sound k;
    k.channels = read_u32(data);
    k.samples_per_second = read_u32(data + 4);
    k.block_align = read_u32(data + 8);
    k.bits_per_sample = read_u32(data + 12);
    k.samples = data + kzs_header_size;
    k.sample_bytes = size - kzs_header_size;

    if (k.channels == 0)
        return kzs_err_no_channels;
    if (k.channels > 8)
        return kzs_err_too_many_channels;
    if (k.samples_per_second < 100 || k.samples_per_second > 200000)
        return kzs_err_bad_rate;
    if (k.bits_per_sample != 8 && k.bits_per_sample != 16)
        return kzs_err_bad_bits;
    if (k.block_align != k.channels * k.bits_per_sample / 8)
        return kzs_err_bad_block_align;
    if (k.sample_bytes == 0)
        return kzs_err_no_samples;
    if (k.sample_bytes % k.block_align != 0)
        return kzs_err_partial_frame;
    if (k.sample_bytes > kzs_max_sample_bytes)
        return kzs_err_too_long;

    k.duration_ms = kzs_duration_ms(k.sample_bytes, k.bits_per_sample, k.channels, k.samples_per_second);
    if (out)
        *out = k;
    return DS_OK;
}

const char *kzs_result_text(s32 result) {
    switch (result) {
    case DS_OK: return "ok";
    case kzs_err_too_short: return "kzs file shorter than its 16-byte header";
    case kzs_err_no_channels: return "kzs file has 0 channels";
    case kzs_err_too_many_channels: return "kzs file has more than 8 channels";
    case kzs_err_bad_rate: return "kzs sample rate outside 100..200000";
    case kzs_err_bad_bits: return "kzs bits per sample not 8 or 16";
    case kzs_err_bad_block_align: return "kzs block alignment is not channels x bits / 8";
    case kzs_err_no_samples: return "kzs file has no samples";
    case kzs_err_partial_frame: return "kzs sample bytes are not whole frames";
    case kzs_err_too_long: return "kzs file too long for a sound buffer";
    case kzs_err_device: return "the mixer could not make the sound buffer";
    default: return "unknown kzs error";
    }
}

bool sound_system_init() {
    sound_system_ready = false;
    sound_silent = false;
    sound_release_all_buffers();
    const bool opened = platform_audio_open();
    if (!opened || !platform_audio_allocate_channels(max_sounds)) {
        // A game without sound is still a game: play on silently and say so once.
        std::fprintf(stderr, "tombweaver: %s (%s); playing without sound\n",
                     opened ? "the sound mixer could not be set up" : "no sound device could be opened",
                     platform_audio_error_text());
        platform_audio_close();
        sound_silent = true;
    }
    sound_system_ready = true;
    return true;
}

void sound_system_close() {
    sound_release_all_buffers();
    platform_audio_close();
    sound_system_ready = false;
    sound_silent = false;
}

bool sound_system_silent() { return sound_silent; }

dword sound_create(const char *filename) {
    if (!ec_assert(filename))
        return invalid_id;
    dword sound_id = sound_find_entry();
    if (sound_id == invalid_id)
        return invalid_id;
    u32 size = 0;
    u8 *sound_file = pack_file_load(filename, &size);
    if (!ec_assert(sound_file))
        return invalid_id;
    dword id = sound_fill_entry(sound_id, sound_file, size);
    pack_file_close(sound_file);
    return id;
}

dword sound_create_from_memory(const u8 *data, u32 size) {
    dword sound_id = sound_find_entry();
    if (sound_id == invalid_id)
        return invalid_id;
    return sound_fill_entry(sound_id, data, size);
}

void sound_play(dword id, bool loop) {
    if (!sound_check_id(id))
        return;
    sound_entry &s = sounds[id];
    if (s.state != sound_state_stopped)
        return;
    if (loop) {
        s.state = sound_state_looping;
    } else {
        s.state = sound_state_playing;
        s.play_start_time = platform_get_tick_count();
    }
    if (sound_silent)
        return;
    // A play the mixer refuses is not reported as playing.
    s32 result = platform_sound_play((int)id, s.dsbuffer, loop) ? DS_OK : kzs_err_device;
    if (!ec_assert(result == DS_OK))
        s.state = sound_state_stopped;
}

void sound_stop(dword id) {
    if (!sound_check_id(id))
        return;
    sound_entry &s = sounds[id];
    if (s.state == sound_state_stopped)
        return;
    if (!sound_silent)
        platform_sound_halt((int)id);
    s.state = sound_state_stopped;
}

s32 sound_volume_to_level(int volume) {
    long long level = ((long long)volume - 100) * 75;
    if (level < level_min)
        return level_min;
    if (level > level_max)
        return level_max;
    return (s32)level;
}

void sound_set_volume(dword id, int volume) {
    if (!sound_check_id(id))
        return;
    sounds[id].volume = volume;
    if (sound_silent)
        return;
    s32 result = platform_sound_set_level((int)id, sound_volume_to_level(volume)) ? DS_OK : kzs_err_device;
    ec_assert(result == DS_OK);
}

bool sound_is_playing(dword id) {
    if (!sound_check_id(id))
        return false;
    return sounds[id].state == sound_state_playing || sounds[id].state == sound_state_looping;
}

void sound_update() {
    if (!sound_system_ready)
        return;
    u32 now = platform_get_tick_count();
    for (sound_entry &s : sounds) {
        // The mixer has already stopped a one-shot at its end; only the state follows.
        if (s.state == sound_state_playing && s.play_start_time + s.duration_ms < now)
            s.state = sound_state_stopped;
    }
}

void sound_free(dword id) {
    if (!sound_check_id(id))
        return;
    if (!sound_silent && !ec_assert(sounds[id].dsbuffer))
        return;
    platform_sound_halt((int)id);
    platform_sound_free(sounds[id].dsbuffer);
    num_sounds -= 1;
    sounds[id].dsbuffer = nullptr;
    sounds[id].state = sound_state_empty;
}

void sounds_free_all() {
    for (dword id = 0; id < max_sounds; id++) {
        if (sounds[id].state != sound_state_empty)
            sound_free(id);
    }
    ec_assert(num_sounds == 0);
}

int sound_count() { return num_sounds; }

u32 sound_duration_ms(dword id) {
    return id < max_sounds && sounds[id].state != sound_state_empty ? sounds[id].duration_ms : 0;
}

int sound_volume_get(dword id) {
    return id < max_sounds && sounds[id].state != sound_state_empty ? sounds[id].volume : 0;
}
