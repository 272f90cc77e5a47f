// puzzle_corpus.cpp -- solves a corpus the project makes itself and prints the solver's times
//
// The corpus: 1,000 random 25x25 pictures whose share of filled cells falls from 0.5
// to 0.35 across the set (seeded, so every run sees the same puzzles), and large
// pictures made line-solvable by flipping the cells line logic leaves open. Prints
// per-puzzle median, worst and total times for the first solution and for the proof
// of uniqueness, and the process's peak memory after a 200x200 puzzle.
//
//   puzzle_corpus [COUNT] [LIMIT_SECONDS]
#include "puzzle_pictures.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

struct tally {
    std::vector<double> times;
    int counts[5] = {};
    void add(double t, pz_verdict v)
    {
        times.push_back(t);
        ++counts[static_cast<int>(v)];
    }
    void print(const char *what)
    {
        std::sort(times.begin(), times.end());
        double total = 0;
        for (double t : times)
            total += t;
        std::printf("%-34s %5zu puzzles  median %9.3f ms  worst %9.3f ms  total %8.2f s"
                    "  (none %d, unique %d, multiple %d, found %d, stopped %d)\n",
                    what, times.size(), times[times.size() / 2] * 1e3, times.back() * 1e3, total, counts[0],
                    counts[1], counts[2], counts[3], counts[4]);
    }
};

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    pz_limits limits;
    limits.seconds = argc > 2 ? std::atof(argv[2]) : 60;

    tally first, proof;
    double slowest = 0;
    int slowest_index = 0;
    for (int i = 0; i < count; ++i) {
        const uint32_t density = 5000 - static_cast<uint32_t>(1500LL * i / (count > 1 ? count - 1 : 1));
        const pz_puzzle p = random_picture(25, 25, density, 0x7c0de000u + i);
        double t = cpu_seconds();
        const pz_solution a = pz_solve(p, nullptr, limits, false);
        first.add(cpu_seconds() - t, a.verdict);
        t = cpu_seconds();
        const pz_solution b = pz_solve(p, nullptr, limits, true);
        const double took = cpu_seconds() - t;
        proof.add(took, b.verdict);
        if (took > slowest) {
            slowest = took;
            slowest_index = i;
        }
    }
    first.print("random 25x25, first solution");
    proof.print("random 25x25, uniqueness proof");
    std::printf("slowest proof: puzzle %d\n", slowest_index);

    for (int size : {50, 60, 100, 200}) {
        tally large;
        for (int i = 0; i < 3; ++i) {
            const pz_puzzle p = line_solvable_picture(size, size, 0x1a7e0000u + size * 16 + i);
            const double t = cpu_seconds();
            const pz_solution s = pz_solve(p, nullptr, limits, true);
            large.add(cpu_seconds() - t, s.verdict);
        }
        char what[64];
        std::snprintf(what, sizeof what, "line-solvable %dx%d, proof", size, size);
        large.print(what);
    }
    // The heaviest memory case: a 200x200 random picture that needs search, stopped by the limit.
    {
        const pz_puzzle p = random_picture(200, 200, 4000, 0x200200);
        pz_limits short_limit;
        short_limit.seconds = 5;
        const pz_solution s = pz_solve(p, nullptr, short_limit, true);
        std::printf("random 200x200: %s after %llu line solves\n", pz_verdict_name(s.verdict),
                    static_cast<unsigned long long>(s.steps));
    }
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of the whole run: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
