// pf_keys.h -- mouse key flags and the virtual key numbers the game's screens name
#pragma once

#include <cstdint>

enum : std::uint32_t {
    mk_lbutton = 1,
    mk_rbutton = 2,
    vk_escape = 27,
    vk_f1 = 0x70,
    vk_f10 = 0x79,
};
