// g_workshop_verdict.cpp -- the Workshop's judge on its own thread
#include "game/workshop/g_workshop_verdict.h"

workshop_judge::workshop_judge() : worker([this] { run(); }) {}

workshop_judge::~workshop_judge() {
    {
        std::lock_guard<std::mutex> l(lock);
        quitting = true;
        cancel = true;
    }
    wake.notify_all();
    worker.join();
}

void workshop_judge::judge(const workshop_picture &p, std::uint64_t serial) {
    {
        std::lock_guard<std::mutex> l(lock);
        picture = p;
        wanted = serial;
        want_fix = false;
        cancel = true; // whatever runs is for an older picture
    }
    wake.notify_all();
}

void workshop_judge::suggest() {
    {
        std::lock_guard<std::mutex> l(lock);
        if (wanted == 0)
            return;
        want_fix = true;
        if (done_serial == wanted)
            have_fix = false;
    }
    wake.notify_all();
}

bool workshop_judge::verdict(std::uint64_t serial, pz_fair_report *out) {
    std::lock_guard<std::mutex> l(lock);
    if (done_serial != serial || !have_verdict)
        return false;
    *out = report;
    return true;
}

bool workshop_judge::fix(std::uint64_t serial, pz_fix *out) {
    std::lock_guard<std::mutex> l(lock);
    if (done_serial != serial || !have_fix)
        return false;
    *out = found;
    return true;
}

bool workshop_judge::busy(std::uint64_t serial) {
    std::lock_guard<std::mutex> l(lock);
    const bool pending = done_serial != wanted || !have_verdict || (want_fix && !have_fix);
    return wanted == serial && (working || pending);
}

void workshop_judge::run() {
    std::unique_lock<std::mutex> l(lock);
    for (;;) {
        wake.wait(l, [this] {
            return quitting || (wanted != 0 && (done_serial != wanted || !have_verdict || (want_fix && !have_fix)));
        });
        if (quitting)
            return;
        const std::uint64_t serial = wanted;
        const bool verdict_due = done_serial != serial || !have_verdict;
        const workshop_picture p = picture;
        cancel = false;
        working = true;
        l.unlock();

        pz_fair_report r;
        pz_fix f;
        if (verdict_due) {
            const pz_limits limits = {.seconds = workshop_verdict_seconds, .cancel = &cancel};
            r = pz_judge_picture(p.width, p.height, p.cells.data(), limits);
        } else {
            const pz_limits limits = {.seconds = workshop_suggest_seconds, .cancel = &cancel};
            f = pz_suggest_fix(p.width, p.height, p.cells.data(), 2, limits);
        }

        l.lock();
        working = false;
        if (serial != wanted || quitting)
            continue; // a newer picture came meanwhile: this work is for nobody
        if (done_serial != serial) {
            done_serial = serial;
            have_verdict = have_fix = false;
        }
        if (verdict_due) {
            report = std::move(r);
            have_verdict = true;
        } else {
            found = std::move(f);
            have_fix = true;
            want_fix = false;
        }
    }
}
