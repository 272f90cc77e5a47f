// bench_lzw.cpp -- LZW decoding of the built pack's compressed entries, against a memcpy floor
#include "data/data_check.h"
#include "engine/ec_lzw.h"
#include "engine/ec_memory.h"
#include "engine/ec_pack.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct compressed_entry {
    std::vector<u8> codes;
    u32 size;
};

std::vector<u8> read_pack() {
    std::vector<u8> data;
    FILE *f = std::fopen(TW_TEST_PACK, "rb");
    if (!f)
        return data;
    u8 buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    std::fclose(f);
    return data;
}

// Opens the pack from its bytes with the game's reader.
bool open_pack(const std::vector<u8> &file) {
    u8 *image = (u8 *)ZEL_MALLOC(file.size(), "bench");
    if (!image)
        return false;
    std::memcpy(image, file.data(), file.size());
    return packfile_load_image(image, (u32)file.size());
}

// The compressed entries' code streams, copied out of the pack's directory.
const std::vector<compressed_entry> &compressed_entries() {
    static std::vector<compressed_entry> entries = [] {
        std::vector<compressed_entry> out;
        std::vector<u8> file = read_pack();
        if (file.size() < 4)
            return out;
        u32 count;
        std::memcpy(&count, file.data(), 4);
        size_t record = 4, data = 4;
        for (u32 i = 0; i < count; ++i)
            data += 16 + file[data + 12];
        for (u32 i = 0; i < count; ++i) {
            u32 stored, size;
            std::memcpy(&stored, &file[record], 4);
            std::memcpy(&size, &file[record + 4], 4);
            if (stored != size)
                out.push_back({std::vector<u8>(file.begin() + (long)data, file.begin() + (long)(data + stored)), size});
            record += 16 + file[record + 12];
            data += stored;
        }
        return out;
    }();
    return entries;
}

void BM_lzw_decode_pack_entries(benchmark::State &state) {
    const auto &entries = compressed_entries();
    if (entries.empty()) {
        state.SkipWithError("no compressed entries in " TW_TEST_PACK);
        return;
    }
    size_t total = 0;
    for (const auto &e : entries)
        total += e.size;
    std::vector<u8> out(total);
    for (auto _ : state) {
        u8 *at = out.data();
        for (const auto &e : entries) {
            u32 written = 0;
            lzw_decompress(e.codes.data(), (u32)(e.codes.size() / 2), at, e.size, &written);
            at += written;
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * total));
    state.counters["entries"] = (double)entries.size();
}
BENCHMARK(BM_lzw_decode_pack_entries)->Unit(benchmark::kMillisecond);

// The floor: copying the same number of output bytes.
void BM_memcpy_same_bytes(benchmark::State &state) {
    size_t total = 0;
    for (const auto &e : compressed_entries())
        total += e.size;
    std::vector<u8> from(total ? total : 1, 1), to(total ? total : 1);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), total);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * total));
}
BENCHMARK(BM_memcpy_same_bytes)->Unit(benchmark::kMillisecond);

// Start-up's share: opening the pack from its bytes and loading every entry once.
void BM_open_pack_and_load_every_entry(benchmark::State &state) {
    memory_system_init();
    std::vector<u8> file = read_pack();
    size_t total = 0;
    for (auto _ : state) {
        if (!open_pack(file)) {
            state.SkipWithError("the pack does not open");
            return;
        }
        total = 0;
        for (u32 i = 0; i < pack_file_count(); ++i) {
            const char *name;
            pack_file_info(i, &name, nullptr, nullptr);
            u32 size = 0;
            u8 *data = pack_file_load(name, &size);
            benchmark::DoNotOptimize(data);
            total += size;
            pack_file_close(data);
        }
        packfile_close();
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * total));
}
BENCHMARK(BM_open_pack_and_load_every_entry)->Unit(benchmark::kMillisecond);

// The start-up check on the open pack: every entry decoded and read by its reader.
void BM_data_check_pack(benchmark::State &state) {
    memory_system_init();
    std::vector<u8> file = read_pack();
    if (!open_pack(file)) {
        state.SkipWithError("the pack does not open");
        return;
    }
    for (auto _ : state) {
        u32 bad = 0;
        char why[320];
        if (!data_check_pack(&bad, why, sizeof why)) {
            state.SkipWithError(why);
            break;
        }
    }
    packfile_close();
}
BENCHMARK(BM_data_check_pack)->Unit(benchmark::kMillisecond);

} // namespace
