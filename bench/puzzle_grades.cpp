// puzzle_grades.cpp -- grades the built-in pictures and prints them as the README's table
#include "game/story/g_puzzles.h"
#include "puzzle/pz_grade.h"

#include <cstdio>

int main() {
    std::printf("| Location | Size | Solutions | Grade | Line logic settles | Sweeps | Look-ahead cells | Score |\n");
    std::printf("|---:|:---:|:---|:---|---:|---:|---:|---:|\n");
    for (u32 id = 0; id < num_puzzles; ++id) {
        int size = 0;
        const u8 *cells = puzzle_get_info(id, &size, nullptr);
        if (!cells)
            return 1;
        const pz_puzzle p = pz_from_picture(size, size, cells);
        pz_limits limits;
        limits.seconds = 60;
        const pz_grading g = pz_grade_puzzle(p, limits);
        const char *solutions = g.verdict == pz_verdict::unique     ? "one"
                                : g.verdict == pz_verdict::multiple ? "several"
                                                                    : pz_verdict_name(g.verdict);
        std::printf("| %u | %dx%d | %s | %s | %d of %d | %d | %d | %d |\n", id, size, size, solutions,
                    pz_grade_name(g.grade), g.settled_by_lines, size * size, g.sweeps, g.lookahead_cells, g.score);
    }
    return 0;
}
