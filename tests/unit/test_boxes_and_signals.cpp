// test_boxes_and_signals.cpp -- a box answered "No", signals while a box is up or none is, a box's
// helper process ending with the game, no box where no display can show one, long texts wrapped
#include "engine/ec_assert.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
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

platform_mb_answer box_that_gets_a_signal(const char *, const char *, platform_mb_buttons, platform_mb_icon) {
    std::raise(SIGTERM);
    return platform_mb_answer_yes;
}

TEST(Boxes, ASignalWhileABoxIsUpEndsTheProgramWithFailure) {
    platform_signals_init();
    EXPECT_EXIT(
        {
            platform_set_dialog_handler(box_that_gets_a_signal);
            platform_message_box("ASSERTION FAILED", "text", platform_mb_yes_no, platform_mb_icon_warning);
            std::exit(0); // the box went on: the signal was held back
        },
        testing::ExitedWithCode(1), "signal while a message box");
}

// Where a box's helper process (SDL forks one for an X11 box) tells its pid, by the test's pid.
std::string helper_pid_file(pid_t test) { return "/tmp/tw-box-helper-" + std::to_string(test); }

platform_mb_answer box_with_a_helper(const char *, const char *, platform_mb_buttons, platform_mb_icon) {
    const pid_t helper = fork();
    if (helper == 0) {
        for (int fd = 3; fd < 1024; ++fd)
            close(fd); // holds nothing of the test's open
        pause();
        _exit(0);
    }
    std::ofstream(helper_pid_file(getppid())) << helper;
    std::raise(SIGTERM);
    return platform_mb_answer_yes;
}

TEST(Boxes, ABoxsHelperProcessEndsWithTheGame) {
    platform_signals_init();
    EXPECT_EXIT(
        {
            platform_set_dialog_handler(box_with_a_helper);
            platform_message_box("Fatal Error", "text", platform_mb_ok, platform_mb_icon_none);
            std::exit(0);
        },
        testing::ExitedWithCode(1), "signal while a message box");
    pid_t helper = 0;
    std::ifstream(helper_pid_file(getpid())) >> helper;
    std::remove(helper_pid_file(getpid()).c_str());
    ASSERT_GT(helper, 0);
    char state = 'S';
    for (int tries = 0; tries < 500 && state != 'Z' && state != 'X'; ++tries) {
        usleep(10000);
        std::ifstream stat("/proc/" + std::to_string(helper) + "/stat");
        std::string pid, name;
        state = stat >> pid >> name >> state ? state : 'X'; // gone
    }
    EXPECT_TRUE(state == 'Z' || state == 'X') << "the helper outlived the game";
    if (state != 'X')
        kill(helper, SIGKILL);
}

TEST(Boxes, NoBoxIsOpenedWhereNoDisplayCanShowOne) {
    const std::string driver = std::getenv("SDL_VIDEODRIVER");
    const struct {
        const char *driver, *display;
        bool shown;
    } cases[] = {
        {"offscreen", "example.invalid:0", false}, {"dummy", "example.invalid:0", false},
        {"", "", false}, {"", ":4242", false}, // no X server's socket for display 4242
        {"", "example.invalid:0", true},   {"x11", "example.invalid:0", true},
    };
    unsetenv("WAYLAND_DISPLAY");
    for (const auto &c : cases) {
        setenv("SDL_VIDEODRIVER", c.driver, 1);
        setenv("DISPLAY", c.display, 1);
        EXPECT_EQ(c.shown, platform_message_box_can_show()) << c.driver << " " << c.display;
    }
    setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    unsetenv("DISPLAY");
}

TEST(Boxes, LongTextsAreWrappedAtSpacesThenAfterSlashes) {
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "graveyard ";
    const std::string path = "/" + std::string(150, 'p') + "/" + std::string(30, 'q') + "/tombweaver.kzp";
    for (const std::string &text : {words, path}) {
        std::string shown = platform_wrap_text(text.c_str(), 80, 0), kept;
        std::istringstream lines(shown);
        std::vector<std::string> each;
        for (std::string line; std::getline(lines, line); kept += line)
            each.push_back(line);
        for (const std::string &line : each)
            EXPECT_LE(line.size(), 80u) << line;
        std::string all = text;
        std::erase(all, ' ');
        std::erase(kept, ' ');
        EXPECT_EQ(all, kept);
        if (text == path) {
            EXPECT_EQ(each[1].back(), '/');
        }
    }
    const std::string cut = platform_wrap_text(words.c_str(), 20, 5);
    EXPECT_EQ(std::count(cut.begin(), cut.end(), '\n'), 4);
    EXPECT_EQ(cut.substr(cut.size() - 4), "\n...");
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
