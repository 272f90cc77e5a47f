// fuzz_pack.cpp -- libFuzzer target: a pack image's directory, then loading every entry
#include "engine/ec_pack.h"
#include "fuzz_common.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size > (1u << 24))
        return 0;
    // The image exactly sized, so that any read past it is caught.
    u8 *image = (u8 *)ZEL_MALLOC(size, "fuzz");
    if (size)
        std::memcpy(image, data, size);
    if (packfile_load_image(image, (u32)size)) {
        for (u32 i = 0; i < pack_file_count() && i < 64; ++i) {
            const char *name;
            u32 stored, length;
            pack_file_info(i, &name, &stored, &length);
            // Entries that would decode to more than 16 MiB are skipped: only the allocation grows.
            if (length > (1u << 24))
                continue;
            // A name (cut at its first zero byte) finds the first entry of that name.
            dword first = pack_file_get_index(name);
            if (first > i)
                __builtin_trap();
            pack_file_info(first, nullptr, nullptr, &length);
            if (length > (1u << 24))
                continue;
            u32 got = 0;
            u8 *asset = pack_file_load(name, &got);
            if (asset) {
                if (got != length)
                    __builtin_trap();
                volatile u8 sink = got ? asset[got - 1] : 0;
                (void)sink;
                // Loading again hands out the same buffer.
                if (pack_file_load(name, nullptr) != asset)
                    __builtin_trap();
            }
            pack_file_close(asset);
        }
        packfile_close();
    }
    if (packfile_is_open() || memory_num_allocations() != 0)
        __builtin_trap();
    return 0;
}
