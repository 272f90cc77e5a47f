// workshop_verdict.cpp -- the Workshop's time from an edit to its verdict on 30x30 pictures
//
// For each of COUNT pictures (100 unless given) of each kind, the picture is judged once,
// then one cell is flipped (an edit) and the time is taken from handing the new picture to
// the judge's thread until its verdict can be read, as the screen reads it. Prints the
// median and the worst of each kind and the verdicts seen:
//   build-bench/bench/workshop_verdict [COUNT]
#include "game/workshop/g_workshop_verdict.h"
#include "puzzle/pz_generate.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int side = 30;

// Noise with the given share filled, then smoothing passes that fill a cell when most of
// the nine around it are filled: 0 passes is noise, more gives blobs like drawn shapes.
workshop_picture random_picture(pz_rng &rng, int percent, int passes) {
    workshop_picture p = workshop_blank(side, side);
    for (u8 &c : p.cells)
        c = pz_rng_below(rng, 100) < (uint32_t)percent;
    for (int pass = 0; pass < passes; ++pass) {
        workshop_picture next = p;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                int filled = 0, seen = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (workshop_inside(p, x + dx, y + dy)) {
                            ++seen;
                            filled += workshop_at(p, x + dx, y + dy);
                        }
                next.cells[(size_t)(y * side + x)] = filled * 9 >= 5 * seen;
            }
        p = next;
    }
    return p;
}

// A generated puzzle's picture: most of these are fair, and an edit often breaks that.
workshop_picture generated_picture(uint32_t number) {
    pz_puzzle p;
    pz_generate(side, side, (pz_grade)(number % 3), number, &p, nullptr);
    workshop_picture w = workshop_blank(side, side);
    w.cells.assign(p.goal.begin(), p.goal.end());
    return w;
}

struct kind_result {
    std::vector<double> ms;
    int fair = 0, guess = 0, several = 0, stopped = 0;
};

double time_verdict(workshop_judge &judge, const workshop_picture &p, std::uint64_t serial, pz_fair_report *r) {
    const auto start = std::chrono::steady_clock::now();
    judge.judge(p, serial);
    while (!judge.verdict(serial, r))
        std::this_thread::yield();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(const char *name, kind_result &k) {
    std::sort(k.ms.begin(), k.ms.end());
    const size_t n = k.ms.size();
    const double median = n % 2 ? k.ms[n / 2] : (k.ms[n / 2 - 1] + k.ms[n / 2]) / 2;
    std::printf("%-22s %4zu pictures  median %7.2f ms  worst %8.2f ms  (fair %d, guess %d, several %d, stopped %d)\n",
                name, n, median, k.ms.back(), k.fair, k.guess, k.several, k.stopped);
}

} // namespace

int main(int argc, char **argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    workshop_judge judge;
    std::uint64_t serial = 0;
    struct kind {
        const char *name;
        int percent, passes; // passes < 0: a generated puzzle's picture
    };
    const kind kinds[] = {{"noise 50%", 50, 0}, {"blobs (2 smoothings)", 48, 2}, {"generated puzzles", 0, -1}};
    kind_result all;
    for (const kind &k : kinds) {
        pz_rng rng;
        pz_rng_seed(rng, 2026);
        kind_result result;
        for (int i = 0; i < count; ++i) {
            workshop_picture p =
                k.passes < 0 ? generated_picture((uint32_t)i + 1) : random_picture(rng, k.percent, k.passes);
            pz_fair_report r;
            time_verdict(judge, p, ++serial, &r); // the picture before the edit
            const uint32_t cell = pz_rng_below(rng, side * side);
            p.cells[cell] ^= 1;
            const double ms = time_verdict(judge, p, ++serial, &r);
            result.ms.push_back(ms);
            all.ms.push_back(ms);
            for (kind_result *t : {&result, &all})
                switch (r.kind) {
                case pz_fairness::fair: ++t->fair; break;
                case pz_fairness::guess: ++t->guess; break;
                case pz_fairness::several: ++t->several; break;
                case pz_fairness::stopped: ++t->stopped; break;
                }
        }
        report(k.name, result);
    }
    report("all", all);
    return 0;
}
