// ec_splash.h -- the splash screen (appmode_splash): the logo fades in, holds for the intro sound, fades out
#pragma once

#include "engine/ec_types.h"

enum : s32 {
    splash_state_fade_in = 0,
    splash_state_wait = 1,
    splash_state_fade_out = 2,
};

// Loads the intro sound and the two logo sheets, starts the fade-in from black and
// hides the system cursor. A second load raises "intro_sound == invalid_id", a sound
// that cannot be made "intro_sound != invalid_id"; init then ends there.
void appmode_splash_init();
// Stops and frees the intro sound, frees the sheets, restores full brightness and
// shows the cursor again, however the splash was left.
void appmode_splash_free();
// Draws the logo and, on each frame tick, takes one step of the fades; enters the
// main menu when the fade-out reaches black.
void appmode_splash_update();
// A press skips to the fade-out (a release does nothing).
void appmode_splash_lbutton(bool down);
// Escape skips to the fade-out; other keys do nothing.
void appmode_splash_keydown(unsigned virtual_key);

// The state and the brightness last applied, read-only (tests).
s32 splash_state_get();
u32 splash_brightness_get();
dword splash_intro_sound_get();
