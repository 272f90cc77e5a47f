// fuzz_common.h -- what every fuzz target sets up first: quiet assertion boxes and the allocator.
// Included once per target; a target with more to set up defines FUZZ_OWN_INITIALIZE first.
#pragma once

#include "engine/ec_memory.h"
#include "platform/pf_system.h"

// Bad input raises assertions by design: every box is answered "carry on".
inline platform_mb_answer fuzz_answer_quietly(const char *, const char *, platform_mb_buttons buttons,
                                              platform_mb_icon) {
    return buttons == platform_mb_ok ? platform_mb_answer_ok : platform_mb_answer_yes;
}

inline void fuzz_start_quietly() {
    platform_set_dialog_handler(fuzz_answer_quietly);
    memory_system_init();
}

#ifndef FUZZ_OWN_INITIALIZE
extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    fuzz_start_quietly();
    return 0;
}
#endif
