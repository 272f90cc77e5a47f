// pz_puzzle.cpp -- the puzzle record's clue making and shape checks
#include "puzzle/pz_puzzle.h"

pz_clue pz_line_runs(const uint8_t *cells, int length, int stride) {
    pz_clue runs;
    int run = 0;
    for (int i = 0; i < length; ++i) {
        if (cells[static_cast<size_t>(i) * stride]) {
            ++run;
        } else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run)
        runs.push_back(run);
    return runs;
}

pz_puzzle pz_from_picture(int width, int height, const uint8_t *cells) {
    pz_puzzle p;
    if (width < 1 || height < 1 || width > pz_max_size || height > pz_max_size || !cells)
        return p;
    p.width = width;
    p.height = height;
    p.goal.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < p.goal.size(); ++i)
        p.goal[i] = cells[i] ? 1 : 0;
    for (int r = 0; r < height; ++r)
        p.rows.push_back(pz_line_runs(&p.goal[static_cast<size_t>(r) * width], width, 1));
    for (int c = 0; c < width; ++c)
        p.columns.push_back(pz_line_runs(&p.goal[c], height, width));
    return p;
}

static bool fail(std::string *why, std::string reason) {
    if (why)
        *why = std::move(reason);
    return false;
}

// Sum of the runs plus one gap between each two; false when a run is below 1.
bool pz_clue_fits(const pz_clue &clue, int length, const std::string &name, std::string *why) {
    long need = 0;
    for (int run : clue) {
        if (run < 1)
            return fail(why, name + ": a run of " + std::to_string(run) + " cells");
        if (run > length)
            return fail(why, name + ": a run of " + std::to_string(run) + " cells does not fit in " +
                                 std::to_string(length));
        need += run + 1;
    }
    if (need - 1 > length)
        return fail(why, name + ": the clue needs " + std::to_string(need - 1) + " cells but the line has " +
                             std::to_string(length));
    return true;
}

static bool line_fits(const pz_clue &clue, int length, long *filled, std::string *why, const std::string &name) {
    if (!pz_clue_fits(clue, length, name, why))
        return false;
    for (int run : clue)
        *filled += run;
    return true;
}

bool pz_check(const pz_puzzle &p, std::string *why, bool equal_totals) {
    if (p.width < 1 || p.width > pz_max_size || p.height < 1 || p.height > pz_max_size)
        return fail(why, "the size " + std::to_string(p.width) + "x" + std::to_string(p.height) +
                             " is outside 1x1 to " + std::to_string(pz_max_size) + "x" + std::to_string(pz_max_size));
    if (static_cast<int>(p.rows.size()) != p.height)
        return fail(why, std::to_string(p.rows.size()) + " row clues for a height of " + std::to_string(p.height));
    if (static_cast<int>(p.columns.size()) != p.width)
        return fail(why, std::to_string(p.columns.size()) + " column clues for a width of " + std::to_string(p.width));
    long row_filled = 0, column_filled = 0;
    for (int r = 0; r < p.height; ++r)
        if (!line_fits(p.rows[r], p.width, &row_filled, why, "row " + std::to_string(r + 1)))
            return false;
    for (int c = 0; c < p.width; ++c)
        if (!line_fits(p.columns[c], p.height, &column_filled, why, "column " + std::to_string(c + 1)))
            return false;
    if (equal_totals && row_filled != column_filled)
        return fail(why, "the rows fill " + std::to_string(row_filled) + " cells but the columns fill " +
                             std::to_string(column_filled));
    if (!p.goal.empty()) {
        if (p.goal.size() != static_cast<size_t>(p.width) * p.height)
            return fail(why, "the goal picture has " + std::to_string(p.goal.size()) + " cells, not " +
                                 std::to_string(p.width * p.height));
        for (int r = 0; r < p.height; ++r)
            if (pz_line_runs(&p.goal[static_cast<size_t>(r) * p.width], p.width, 1) != p.rows[r])
                return fail(why, "the goal picture does not match the clue of row " + std::to_string(r + 1));
        for (int c = 0; c < p.width; ++c)
            if (pz_line_runs(&p.goal[c], p.height, p.width) != p.columns[c])
                return fail(why, "the goal picture does not match the clue of column " + std::to_string(c + 1));
    }
    return true;
}
