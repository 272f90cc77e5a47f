// test_boxes_and_signals.cpp -- a box answered "No", and signals while a box is up or none is
#include "engine/ec_assert.h"
#include "tw_test.h"

#include <gtest/gtest.h>

#include <csignal>

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
