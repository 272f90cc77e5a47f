// fuzz_kzs.cpp -- libFuzzer target: the kzs header checks and loading a sound into the mixer
#define FUZZ_OWN_INITIALIZE
#include "fuzz_common.h"
#include "sound/direct_sound.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fuzz_start_quietly();
    if (!sound_system_init())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > 0xFFFFFFFFu)
        return 0;
    kzs_sound k;
    s32 result = kzs_parse(data, (u32)size, &k);
    if (result == DS_OK) {
        // An accepted file describes whole frames that lie inside the input.
        if (k.samples != data + kzs_header_size || k.sample_bytes != size - kzs_header_size ||
            k.block_align != k.channels * k.bits_per_sample / 8 || k.sample_bytes % k.block_align != 0)
            __builtin_trap();
    }

    dword id = sound_create_from_memory(data, (u32)size);
    if (id != invalid_id) {
        if (result != DS_OK)
            __builtin_trap();
        sound_set_volume(id, size > 0 ? (int)data[0] - 20 : 100);
        sound_play(id, size % 2 == 0);
        sound_update();
        sound_stop(id);
        sound_free(id);
    }
    if (sound_count() != 0)
        __builtin_trap();
    return 0;
}
