// pf_pad.h -- game pads as the game's messages: buttons, the d-pad and the left stick
#pragma once

#include <cstdint>

// A pad's buttons as the game names them (wparam of msg_paddown and msg_padup). The left
// stick pushed past half way counts as the d-pad's direction.
enum : std::uint32_t {
    pad_a,
    pad_b,
    pad_x,
    pad_y,
    pad_back,
    pad_start,
    pad_left_shoulder,
    pad_right_shoulder,
    pad_up,
    pad_down,
    pad_left,
    pad_right,
    num_pad_buttons,
};

// A direction held repeats: first after this long, then at this pace (lparam 1 on a repeat).
constexpr std::uint32_t pad_repeat_delay_ms = 350, pad_repeat_ms = 90;

// Whether the player's last input came from a pad (rather than the keys or the mouse).
bool platform_pad_in_use();
// Pads open now: every pad plugged in is picked up, before the game starts and while it runs.
int platform_pads_connected();

// For the event loop (pf_events.cpp) only.
union SDL_Event;
// Opens the pads' subsystem and every pad already plugged in (once; later calls look for pads
// missed); false when the system has no pad support (the game then plays without pads).
bool pad_open_all();
// A pad event as messages (true), or false for an event that is not a pad's.
bool pad_translate(const SDL_Event &e);
// Posts the repeats due for the directions held.
void pad_repeat();
// Forgets what is held (a new run of the loop).
void pad_reset();
// The last input's device, as each message is dispatched.
void pad_note_input(std::uint32_t message);
