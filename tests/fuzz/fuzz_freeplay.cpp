// fuzz_freeplay.cpp -- libFuzzer target: free play's progress file read, written and read again
#include "game/freeplay/g_freeplay_records.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    freeplay_progress read;
    if (!freeplay_progress_parse(std::string_view(reinterpret_cast<const char *>(data), size), &read))
        return 0;
    // Whatever is taken is written back as it was read.
    freeplay_progress again;
    if (!freeplay_progress_parse(freeplay_progress_text(read), &again) || again.records != read.records ||
        again.have_board != read.have_board || (read.have_board && !(again.board == read.board)))
        __builtin_trap();
    return 0;
}
