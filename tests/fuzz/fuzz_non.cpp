// fuzz_non.cpp -- libFuzzer target: the .non reader on any text
#include "fuzz_puzzle.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::vector<pz_puzzle> puzzles;
    pz_error err;
    std::string_view text(reinterpret_cast<const char *>(data), size);
    if (pz_read_non(text, "fuzz.non", &puzzles, &err))
        for (const pz_puzzle &p : puzzles)
            fuzz_check_puzzle(p);
    else if (err.reason.empty() || err.file != "fuzz.non")
        __builtin_trap();
    return 0;
}
