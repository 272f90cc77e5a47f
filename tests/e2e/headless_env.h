// headless_env.h -- the headless environment the game's tests expect, set where the runner has not
//
// ctest sets these for every test; a test program started some other way gets the
// same defaults, so that no test opens a real window, sound device or save folder.
#pragma once

#include <cstdlib>
#include <string>

inline bool headless_env_set() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("XDG_DATA_HOME", (std::string(TW_BUILD_DIR) + "/test-home").c_str(), 0);
    setenv("TOMBWEAVER_PATH", TW_BUILD_DIR, 0);
    return true;
}

// Set before main, so that every test of the program sees it.
inline const bool headless_env_ready = headless_env_set();
