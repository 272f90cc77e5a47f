// test_command_line.cpp -- the program's options: exit codes, what they print, the run's
// full-screen override, and the window's icon
#include "engine/ec_pack.h"
#include "engine/ec_settings.h"
#include "main.h"
#include "platform/pf_events.h"
#include "platform/pf_video.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct run_result {
    int code;
    std::string out, err;
};

run_result run(std::vector<std::string> args) {
    args.insert(args.begin(), "tombweaver");
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int code = tombweaver_main((int)args.size(), argv.data());
    std::string out = testing::internal::GetCapturedStdout();
    return {code, out, testing::internal::GetCapturedStderr()};
}

TEST(command_line, options_that_end_at_once_print_and_give_their_exit_code) {
    struct {
        std::vector<std::string> args;
        int code;
        const char *out; // expected in stdout ("" : stdout stays empty)
        const char *err; // expected in stderr
    } cases[] = {
        {{"--help"}, 0, "Usage: tombweaver [--fullscreen | --window]", ""},
        {{"-h"}, 0, "--version     show the version and exit", ""},
        {{"--window", "--help"}, 0, "Usage: tombweaver", ""},
        {{"--version"}, 0, "tombweaver ", ""},
        {{"--bogus"}, 2, "", "tombweaver: unknown option '--bogus'\nUsage: tombweaver"},
        {{"--fullscreen", "-x"}, 2, "", "unknown option '-x'"},
        {{"puzzles.txt"}, 2, "", "unexpected argument 'puzzles.txt'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.back());
        run_result r = run(c.args);
        EXPECT_EQ(c.code, r.code);
        if (*c.out) {
            EXPECT_NE(std::string::npos, r.out.find(c.out)) << r.out;
        } else {
            EXPECT_EQ("", r.out);
        }
        EXPECT_NE(std::string::npos, r.err.find(c.err)) << r.err;
        // Nothing started: no window and no pack.
        EXPECT_FALSE(platform_window_exists());
        EXPECT_FALSE(packfile_is_open());
    }
    EXPECT_EQ('\n', run({"--version"}).out.back());
}

// What the first pass of the main loop saw; then the window is closed.
struct first_pass {
    bool seen = false;
    bool fullscreen = false;
    int icon_width = 0, icon_height = 0;
    static void hook(void *context) {
        first_pass *p = (first_pass *)context;
        if (p->seen)
            return;
        p->seen = true;
        p->fullscreen = settings_get().fullscreen;
        platform_window_icon_size(&p->icon_width, &p->icon_height);
        platform_post_message(msg_close, 0, 0);
    }
};

// No options: started the way the other end-to-end tests start it, without a command line.
first_pass start(std::vector<std::string> args) {
    first_pass pass;
    manual_clock clock(1000);
    platform_set_loop_hook(&first_pass::hook, &pass);
    EXPECT_EQ(0, args.empty() ? tombweaver_main() : run(args).code);
    platform_set_loop_hook(nullptr, nullptr);
    EXPECT_TRUE(pass.seen);
    return pass;
}

std::string read_text(const std::string &path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(command_line, window_options_override_the_saved_choice_for_one_run_only) {
    settings_load();
    const std::string path = settings_file_path();
    ASSERT_FALSE(path.empty());
    for (bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "saved full screen" : "saved window");
        game_settings s;
        s.fullscreen = saved;
        settings_set(s);
        const std::string file = read_text(path);

        EXPECT_EQ(!saved, start({saved ? "--window" : "--fullscreen"}).fullscreen);
        // The next start without options has the saved choice.
        EXPECT_EQ(saved, start({}).fullscreen);
        // The last option counts.
        EXPECT_EQ(saved, start({"--window", "--fullscreen", saved ? "--fullscreen" : "--window"}).fullscreen);
        EXPECT_EQ(file, read_text(path));
    }
    std::filesystem::remove(path);
}

TEST(command_line, the_window_has_the_game_icon) {
    first_pass pass = start({});
    EXPECT_EQ(64, pass.icon_width);
    EXPECT_EQ(64, pass.icon_height);
}

} // namespace
