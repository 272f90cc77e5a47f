// test_command_line.cpp -- the program's options: exit codes and output, the run's
// full-screen override, and the window's icon (F11 and Alt+Enter: the comforts' keyboard run);
// what the environment names wrongly (a renderer, a display that is not there)
#include "engine/ec_pack.h"
#include "engine/ec_settings.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

// Runs the program with args; no args: started as the other end-to-end tests start it.
int run(std::vector<std::string> args) {
    if (args.empty())
        return tombweaver_main();
    args.insert(args.begin(), "tombweaver");
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    return tombweaver_main((int)argv.size(), argv.data());
}

TEST(command_line, options_that_end_at_once_print_and_give_their_exit_code) {
    struct {
        std::vector<std::string> args;
        int code;
        const char *out, *err; // expected in stdout, in stderr
    } cases[] = {
        {{"--window", "--help"}, 0, "Usage: tombweaver [--fullscreen | --window]", ""},
        {{"--version"}, 0, "tombweaver " TW_VERSION "\n", ""},
        {{"--fullscreen", "--bogus"}, 2, "", "tombweaver: unknown option '--bogus'\nUsage: tombweaver"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.back());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_EQ(c.code, run(c.args));
        const std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(*c.out ? out.find(c.out) != std::string::npos : out.empty()) << out;
        EXPECT_NE(std::string::npos, err.find(c.err)) << err;
        EXPECT_FALSE(platform_window_exists() || packfile_is_open()) << "the game started";
        // With standard output that cannot be written, help and version fail.
        const std::string to_full = TW_BUILD_DIR "/tombweaver " + c.args.back() + " >/dev/full 2>/dev/null";
        EXPECT_EQ(c.code == 0, WEXITSTATUS(std::system(to_full.c_str())) == 1);
    }
}

// What the first pass of the main loop saw; then the window is closed.
struct first_pass {
    bool fullscreen = false;
    int icon_width = 0, icon_height = 0;
    static void hook(void *context) {
        first_pass *p = (first_pass *)context;
        p->fullscreen = settings_get().fullscreen;
        platform_window_icon_size(&p->icon_width, &p->icon_height);
        platform_post_message(msg_close, 0, 0);
        platform_set_loop_hook(nullptr, nullptr);
    }
};

first_pass start(std::vector<std::string> args) {
    first_pass pass;
    manual_clock clock(1000);
    platform_set_loop_hook(&first_pass::hook, &pass);
    EXPECT_EQ(0, run(args));
    return pass;
}

TEST(command_line, window_options_override_the_saved_choice_for_one_run_only) {
    settings_load();
    for (bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "saved full screen" : "saved window");
        settings_set({.fullscreen = saved});
        const std::string file = file_text(settings_file_path());
        EXPECT_EQ(!saved, start({saved ? "--window" : "--fullscreen"}).fullscreen);
        const first_pass plain = start({});
        EXPECT_EQ(saved, plain.fullscreen);
        EXPECT_EQ(std::pair(64, 64), std::pair(plain.icon_width, plain.icon_height)); // the game's icon
        EXPECT_EQ(saved, start({"--window", "--fullscreen", saved ? "--fullscreen" : "--window"}).fullscreen);
        EXPECT_EQ(file, file_text(settings_file_path())) << "an override reached the settings file";
    }
}

TEST(command_line, an_unknown_renderer_is_named_and_no_display_is_told_as_such) {
    setenv("TOMBWEAVER_RENDERER", "foo", 1);
    testing::internal::CaptureStderr();
    start({});
    unsetenv("TOMBWEAVER_RENDERER");
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("TOMBWEAVER_RENDERER=foo is not"));

    // SDL's stand-in when there is no display at all: its one mode has no size. No box is
    // opened (none could be shown): the fatal error goes to stderr.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    platform_video_quit(); // started again under the driver asked for
    testing::internal::CaptureStderr();
    EXPECT_EQ(1, run({}));
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    platform_video_quit();
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("[Fatal Error]\nThe graphics system"));
}

} // namespace
