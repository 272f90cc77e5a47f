// test_env.cpp -- every test program runs headless with a private data folder,
// whether ctest or a developer starts it: set before main() and any SDL call.
// It also raises the environment's assertions in every build type: a release build
// starts as the player's build, where they are off, and the tests that expect those
// boxes would not see them. The tests of the player's messages switch it on themselves.
#include "engine/ec_assert.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// One data folder per test process, so tests that run in parallel never share a save.
std::string data_home() { return std::string(TW_BUILD_DIR) + "/test-home/" + std::to_string(getpid()); }

struct headless_environment {
    headless_environment() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("XDG_DATA_HOME", data_home().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (data_home() + "/config").c_str(), 1);
        setenv("TOMBWEAVER_PATH", TW_BUILD_DIR, 1);
        player_build_set(false);
    }
    ~headless_environment() {
        std::error_code ignored;
        std::filesystem::remove_all(data_home(), ignored);
    }
} const environment;

} // namespace
