// pf_keys.h -- mouse key flags, the virtual key numbers the game's screens name, and which keys are held
#pragma once

#include <cstdint>

enum : std::uint32_t {
    mk_lbutton = 1,
    mk_rbutton = 2,
};

// Virtual keys: letters are their upper-case ASCII codes ('Z', 'X', ...).
enum : std::uint32_t {
    vk_lbutton = 0x01, // the mouse buttons, for platform_key_held
    vk_rbutton = 0x02,
    vk_tab = 0x09,
    vk_return = 0x0D,
    vk_shift = 0x10,
    vk_control = 0x11,
    vk_escape = 27,
    vk_space = 0x20,
    vk_prior = 0x21, // Page Up
    vk_next = 0x22,  // Page Down
    vk_left = 0x25,
    vk_up = 0x26,
    vk_right = 0x27,
    vk_down = 0x28,
    vk_f1 = 0x70,
    vk_f10 = 0x79,
    vk_f11 = 0x7A,
};

// Whether a key (or mouse button) is down, as of the messages dispatched so far:
// pressed and not yet released. Losing the window's focus releases every key.
bool platform_key_held(std::uint32_t virtual_key);
