// fuzz_xml.cpp -- libFuzzer target: the puzzle-site XML reader on any text
#include "fuzz_puzzle.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::vector<pz_puzzle> puzzles;
    pz_error err;
    std::string_view text(reinterpret_cast<const char *>(data), size);
    if (pz_read_xml(text, "fuzz.xml", &puzzles, &err)) {
        if (puzzles.empty())
            __builtin_trap();
        for (const pz_puzzle &p : puzzles)
            fuzz_check_puzzle(p);
    } else if (err.reason.empty() || !puzzles.empty()) {
        __builtin_trap();
    }
    return 0;
}
