// test_boxes_and_signals.cpp -- a box answered "No", signals while a box is up or none is, a box's
// helper process ending with the game, no box where no display can show one, long texts wrapped
#include "engine/ec_assert.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <tuple>
#include <unistd.h>

namespace {

TEST(Boxes, NoWithoutADebuggerEndsTheProgramWithTheCheckOnStderr) {
    // Not a trap (a core dump, death by signal 5): a plain failure exit that says why.
    EXPECT_EXIT(
        {
            dialog_recorder rec;
            rec.answer_no(true);
            int lives = 0;
            ec_assert(lives > 0);
            std::exit(0); // not reached
        },
        testing::ExitedWithCode(1), "assert\\( lives > 0 \\)");
}

// The box forks a helper, as SDL does for an X11 box; its pid goes to a file named by the test's pid.
std::string helper_pid_file(pid_t test) { return "/tmp/tw-box-helper-" + std::to_string(test); }

platform_mb_answer box_that_gets_a_signal(const char *, const char *, platform_mb_buttons, platform_mb_icon) {
    if (const pid_t helper = fork()) {
        std::ofstream(helper_pid_file(getppid())) << helper;
        std::raise(SIGTERM);
        return platform_mb_answer_yes;
    }
    for (int fd = 3; fd < 1024; ++fd)
        close(fd); // holds nothing of the test's open
    pause();
    _exit(0);
}

TEST(Boxes, ASignalWhileABoxIsUpEndsTheProgramWithFailureAndTheBoxsHelperWithIt) {
    platform_signals_init();
    EXPECT_EXIT(
        {
            platform_set_dialog_handler(box_that_gets_a_signal);
            platform_message_box("ASSERTION FAILED", "text", platform_mb_yes_no, platform_mb_icon_warning);
            std::exit(0); // the box went on: the signal was held back
        },
        testing::ExitedWithCode(1), "signal while a message box");
    pid_t helper = 0;
    std::ifstream(helper_pid_file(getpid())) >> helper;
    std::remove(helper_pid_file(getpid()).c_str());
    std::string state = "S"; // the third field of /proc/<pid>/stat; none once reaped
    for (int tries = 0; tries < 500 && state != "Z" && !state.empty(); ++tries, usleep(10000))
        std::ifstream("/proc/" + std::to_string(helper) + "/stat") >> state >> state >> state || (state = "", 1);
    EXPECT_TRUE(helper > 0 && (state == "Z" || state.empty())) << "the helper outlived the game";
    if (helper > 0)
        kill(helper, SIGKILL);
}

TEST(Boxes, NoBoxIsOpenedWhereNoDisplayCanShowOne) {
    const std::string driver = std::getenv("SDL_VIDEODRIVER");
    unsetenv("WAYLAND_DISPLAY");
    // Video driver asked for, display named, a box shown. Display 4242 has no X server's socket.
    for (auto [asked, display, shown] :
         {std::tuple{"offscreen", "remote:0", false}, {"", ":4242", false}, {"", "", false}, {"", "remote:0", true}}) {
        setenv("SDL_VIDEODRIVER", asked, 1);
        setenv("DISPLAY", display, 1);
        EXPECT_EQ(shown, platform_message_box_can_show()) << asked << " " << display;
    }
    setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    unsetenv("DISPLAY");
}

TEST(Boxes, LongTextsAreWrappedAtSpacesThenAfterSlashesThenAnywhereAndCut) {
    const char *text = "the graveyard keeps /crypt/aaaaaaaaaaaaaaaaaaaaaaaaaaa/bbbb its monsters";
    EXPECT_EQ(platform_wrap_text(text, 16, 0),
              "the graveyard\nkeeps\n/crypt/\naaaaaaaaaaaaaaaa\naaaaaaaaaaa/bbbb\nits monsters");
    EXPECT_EQ(platform_wrap_text(text, 16, 3), "the graveyard\nkeeps\n...");
}

volatile std::sig_atomic_t terminate_requests = 0;
extern "C" void count_terminate(int) { terminate_requests = terminate_requests + 1; }

TEST(Signals, AHangUpAsksToCloseLikeSigtermAlsoAfterABox) {
    struct sigaction counting = {}, old_term, old_hup;
    counting.sa_handler = count_terminate;
    sigemptyset(&counting.sa_mask);
    sigaction(SIGTERM, &counting, &old_term);
    sigaction(SIGHUP, nullptr, &old_hup);
    platform_signals_init();
    dialog_recorder rec;
    platform_message_box("caption", "text", platform_mb_ok, platform_mb_icon_none);
    std::raise(SIGHUP); // the handlers from before the box are back
    EXPECT_EQ(terminate_requests, 1);
    sigaction(SIGTERM, &old_term, nullptr);
    sigaction(SIGHUP, &old_hup, nullptr);
}

} // namespace
