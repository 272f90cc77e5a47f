// fuzz_gameid.cpp -- libFuzzer target: a text of game ids, and any text through format detection
#include "fuzz_puzzle.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<pz_puzzle> puzzles;
    pz_error err;
    if (pz_read_ids(text, "fuzz.txt", &puzzles, &err)) {
        for (const pz_puzzle &p : puzzles) {
            fuzz_check_puzzle(p);
            if (!p.goal.empty())
                __builtin_trap();
        }
    } else if (err.reason.empty() || !puzzles.empty()) {
        __builtin_trap();
    }
    // Whichever reader the content picks, it answers without a fault.
    std::vector<pz_puzzle> any;
    if (pz_read_text(text, size % 2 ? "fuzz.xml" : "fuzz", &any, &err))
        for (const pz_puzzle &p : any)
            fuzz_check_puzzle(p);
    return 0;
}
