// g_workshop_verdict.h -- the Workshop's judge: the verdict and Suggest's search, worked off the frame
//
// One thread of its own judges the latest picture it is given, and looks for a fix when
// asked; a newer picture cancels the work on an older one at once (the solver polls the
// flag), so the frame never waits and a verdict always belongs to the picture it names.
#pragma once

#include "game/workshop/g_workshop_picture.h"
#include "puzzle/pz_fair.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// The solver's time for one verdict, and for one search for a fix.
constexpr double workshop_verdict_seconds = 10.0;
constexpr double workshop_suggest_seconds = 6.0;

class workshop_judge {
public:
    workshop_judge();
    ~workshop_judge(); // cancels the work and waits for the thread (a short wait)
    workshop_judge(const workshop_judge &) = delete;
    workshop_judge &operator=(const workshop_judge &) = delete;

    // A new picture to judge (its number: the caller's count of changes); any work on
    // an older one stops, and its results are never given.
    void judge(const workshop_picture &p, std::uint64_t serial);
    // Looks for a fix of the picture last given to judge (once its verdict is in).
    void suggest();

    // The verdict of picture serial, once it is in: false until then.
    bool verdict(std::uint64_t serial, pz_fair_report *out);
    // The fix for picture serial, once found: false until then (or without a suggest).
    bool fix(std::uint64_t serial, pz_fix *out);
    // True while the thread works on something for picture serial.
    bool busy(std::uint64_t serial);

private:
    void run();

    std::mutex lock;
    std::condition_variable wake;
    bool quitting = false;
    // The request: the picture, its serial, and whether a fix is wanted.
    workshop_picture picture;
    std::uint64_t wanted = 0;
    bool want_fix = false;
    bool working = false;
    // What is done for the picture of serial done_serial.
    std::uint64_t done_serial = 0;
    bool have_verdict = false, have_fix = false;
    pz_fair_report report;
    pz_fix found;
    std::atomic<bool> cancel{false};
    std::thread worker;
};
