// puzzle_corpus.cpp -- solves a corpus the project makes itself and prints the solver's times
//
// The corpus: 1,000 random 25x25 pictures whose share of filled cells falls from 0.5
// to 0.35 across the set (seeded, so every run sees the same puzzles), and large
// pictures made line-solvable by flipping the cells line logic leaves open. Prints
// per-puzzle median, worst and total times for the first solution and for the proof
// of uniqueness, the generator's times, and the process's peak memory after a
// 200x200 puzzle. Times are processor time, so other programs on the machine do not count.
//
//   puzzle_corpus [COUNT] [LIMIT_SECONDS] [--every N] [--only I] [--slow SECONDS] [--random]
//   puzzle_corpus --large [LIMIT_SECONDS] [--every N] [--only I] [--slow SECONDS]
//
// A COUNT of 0 leaves the random corpus out. --every N solves every Nth puzzle of the
// COUNT (the densities stay those of the whole corpus), --only I puzzle I alone; --slow
// lists each puzzle whose proof takes longer; --random measures the random corpus alone.
//
// --large measures the hard large corpus alone (280 puzzles, each proved): 240 random
// pictures from 30x30 to 60x60 whose share of filled cells runs from 0.45 to 0.30 (the
// dense ones are the hard ones), and 40 line-solvable pictures of 60x60 to 200x200 with
// one to four small patches made noise. --learner measures the clause-learning search
// alone on it.
#include "puzzle_pictures.h"

#include "puzzle/pz_engine.h"
#include "puzzle/pz_sat.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int large_random = 240, large_count = large_random + 40;

struct tally {
    std::vector<double> times;
    int counts[5] = {};
    void add(double t, pz_verdict v) {
        times.push_back(t);
        ++counts[static_cast<int>(v)];
    }
    void print(const char *what) {
        std::sort(times.begin(), times.end());
        double total = 0;
        for (double t : times)
            total += t;
        std::printf(
            "%-34s %5zu puzzles  median %9.3f ms  worst %9.3f ms  total %8.2f s"
            "  (none %d, unique %d, multiple %d, found %d, stopped %d)\n",
            what, times.size(), times[times.size() / 2] * 1e3, times.back() * 1e3, total, counts[0], counts[1],
            counts[2], counts[3], counts[4]);
    }
};

// The random 25x25 corpus, each puzzle solved for a first solution and then with the proof.
void random_corpus(int count, int every, int only, double slow, const pz_limits &limits) {
    tally first, proof;
    double slowest = 0;
    int slowest_index = 0;
    for (int i = only >= 0 ? only : 0; i < (only >= 0 ? only + 1 : count); i += every) {
        const uint32_t density = 5000 - static_cast<uint32_t>(1500LL * i / (count > 1 ? count - 1 : 1));
        const pz_puzzle p = random_picture(25, 25, density, 0x7c0de000u + i);
        double t = cpu_seconds();
        const pz_solution a = pz_solve(p, nullptr, limits, false);
        first.add(cpu_seconds() - t, a.verdict);
        t = cpu_seconds();
        const pz_solution b = pz_solve(p, nullptr, limits, true);
        const double took = cpu_seconds() - t;
        proof.add(took, b.verdict);
        if (took > slow)
            std::printf("puzzle %4d: first %8.3f s (%s), proof %8.3f s (%s), %llu guesses\n", i, first.times.back(),
                        pz_verdict_name(a.verdict), took, pz_verdict_name(b.verdict),
                        static_cast<unsigned long long>(b.guesses));
        if (took > slowest) {
            slowest = took;
            slowest_index = i;
        }
    }
    first.print("random 25x25, first solution");
    proof.print("random 25x25, uniqueness proof");
    std::printf("slowest proof: puzzle %d\n", slowest_index);
}

// Puzzle i of the large corpus, with a name for the listings.
pz_puzzle large_puzzle(int i, std::string *name) {
    char text[64];
    if (i < large_random) {
        // 8 sizes of 30 puzzles each, the density falling from 0.45 to 0.30 within each size.
        const int size = 30 + (i / 30) * 30 / 7, k = i % 30;
        const uint32_t density = 4500 - static_cast<uint32_t>(1500 * k / 29);
        std::snprintf(text, sizeof text, "random %dx%d at %.2f", size, size, density / 10000.0);
        *name = text;
        return random_picture(size, size, density, 0x1a46e000u + static_cast<uint32_t>(i));
    }
    // 8 sizes of 5 puzzles each, one to four patches of noise.
    const int j = i - large_random, size = 60 + (j / 5) * 20;
    std::snprintf(text, sizeof text, "damaged %dx%d", size, size);
    *name = text;
    return damaged_picture(size, size, 4, 0xda3a0000u + static_cast<uint32_t>(j));
}

// The large corpus, each puzzle proved; a tally for the random pictures and for the damaged ones.
// With learner_only, the clause-learning search alone (as pz_sat_search) instead of pz_solve.
void large_corpus(int every, int only, double slow, const pz_limits &limits, bool learner_only) {
    tally random_proof, damaged_proof;
    double slowest = 0;
    std::string slowest_name;
    for (int i = only >= 0 ? only : 0; i < (only >= 0 ? only + 1 : large_count); i += every) {
        std::string name;
        const pz_puzzle p = large_puzzle(i, &name);
        const double t = cpu_seconds();
        pz_solution s;
        if (learner_only) {
            pz_engine e(p);
            e.limit(limits);
            std::vector<std::vector<uint8_t>> found;
            const pz_verdict v = pz_sat_search(p, nullptr, e, 2, &found);
            s.verdict = v == pz_verdict::stopped ? v
                        : found.size() == 2      ? pz_verdict::multiple
                        : found.size() == 1      ? pz_verdict::unique
                                                 : pz_verdict::none;
            if (!found.empty())
                s.first = found[0];
        } else {
            s = pz_solve(p, nullptr, limits, true);
        }
        const double took = cpu_seconds() - t;
        (i < large_random ? random_proof : damaged_proof).add(took, s.verdict);
        const bool solved_right = s.verdict == pz_verdict::stopped || s.first.empty() ||
                                  pz_from_picture(p.width, p.height, s.first.data()).rows == p.rows;
        if (took > slow || !solved_right)
            std::printf("puzzle %3d (%s): proof %8.3f s (%s), %llu guesses%s\n", i, name.c_str(), took,
                        pz_verdict_name(s.verdict), static_cast<unsigned long long>(s.guesses),
                        solved_right ? "" : ", A WRONG SOLUTION");
        if (took > slowest) {
            slowest = took;
            slowest_name = "puzzle " + std::to_string(i) + " (" + name + ")";
        }
    }
    if (!random_proof.times.empty())
        random_proof.print("large random 30..60, proof");
    if (!damaged_proof.times.empty())
        damaged_proof.print("damaged 60..200, proof");
    std::printf("slowest proof: %s\n", slowest_name.c_str());
}

} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is measured
    int count = 1000, every = 1, only = -1, positional = 0;
    double slow = 1e30;
    bool random_only = false, large = false, learner_only = false;
    pz_limits limits;
    limits.seconds = 60;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        const bool has_value = a + 1 < argc;
        if (arg == "--every" && has_value)
            every = std::max(1, std::atoi(argv[++a]));
        else if (arg == "--only" && has_value)
            only = std::atoi(argv[++a]);
        else if (arg == "--slow" && has_value)
            slow = std::atof(argv[++a]);
        else if (arg == "--random")
            random_only = true;
        else if (arg == "--large")
            large = true;
        else if (arg == "--learner")
            learner_only = true;
        else if (positional == 0 && !large && ++positional)
            count = std::atoi(argv[a]);
        else if (positional == 0 && large && (positional = 2))
            limits.seconds = std::atof(argv[a]);
        else if (positional == 1 && ++positional)
            limits.seconds = std::atof(argv[a]);
        else {
            std::fprintf(stderr,
                         "usage: puzzle_corpus [COUNT] [LIMIT_SECONDS] [--every N] [--only I] "
                         "[--slow SECONDS] [--random]\n"
                         "       puzzle_corpus --large [LIMIT_SECONDS] [--every N] [--only I] "
                         "[--slow SECONDS] [--learner]\n");
            return 2;
        }
    }
    if (large) {
        large_corpus(every, only, slow, limits, learner_only);
        return 0;
    }

    if (count > 0)
        random_corpus(count, every, only, slow, limits);
    if (random_only)
        return 0;

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
    // Generation: 41 numbers of each size and grade.
    for (int size : {15, 25, 30})
        for (pz_grade grade : {pz_grade::easy, pz_grade::medium, pz_grade::hard}) {
            tally made;
            for (uint32_t number = 0; number < 41; ++number) {
                pz_puzzle p;
                const double t = cpu_seconds();
                const bool ok = pz_generate(size, size, grade, number, &p, nullptr);
                made.add(cpu_seconds() - t, ok ? pz_verdict::unique : pz_verdict::none);
            }
            char what[64];
            std::snprintf(what, sizeof what, "generate %dx%d %s", size, size, pz_grade_name(grade));
            made.print(what);
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
