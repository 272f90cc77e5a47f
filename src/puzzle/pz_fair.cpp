// pz_fair.cpp -- judging a drawn picture's clues, and the cell changes that make them fair
#include "puzzle/pz_fair.h"

#include "puzzle/pz_engine.h"

#include <algorithm>
#include <utility>

namespace {

// Line logic and then look-ahead on the picture's clues, as the grader reasons.
// False when the limits stopped it (or, which a picture's own clues never do, a line broke).
bool reason(pz_engine &e, const pz_limits &limits) {
    e.limit(limits);
    int sweeps = 0, settled = 0;
    if (!e.sweep(&sweeps))
        return false;
    if (e.unknown > 0 && !e.look_ahead(&settled))
        return false;
    return !e.stop;
}

bool cancelled(const pz_limits &limits) { return limits.cancel && limits.cancel->load(std::memory_order_relaxed); }

// The runs of a line of the picture (at most pz_max_size cells) into runs; their count.
int line_runs(const uint8_t *cells, int length, int stride, int *runs) {
    int count = 0, run = 0;
    for (int i = 0; i <= length; ++i) {
        if (i < length && cells[static_cast<size_t>(i) * stride]) {
            ++run;
        } else if (run) {
            runs[count++] = run;
            run = 0;
        }
    }
    return count;
}

// Which pairs of open cells of each line may swap values without changing the line's
// runs: ok[(line * length + a) * length + b] for a < b, both open and different.
void swappable_pairs(const std::vector<uint8_t> &picture, const std::vector<uint8_t> &open, int width, int height,
                     bool columns, std::vector<uint8_t> *ok) {
    const int lines = columns ? width : height, length = columns ? height : width;
    const int stride = columns ? width : 1;
    ok->assign(static_cast<size_t>(lines) * length * length, 0);
    std::vector<uint8_t> line(static_cast<size_t>(length));
    std::vector<int> base(static_cast<size_t>(length)), runs(static_cast<size_t>(length));
    for (int l = 0; l < lines; ++l) {
        const size_t first = columns ? static_cast<size_t>(l) : static_cast<size_t>(l) * width;
        for (int i = 0; i < length; ++i)
            line[i] = picture[first + static_cast<size_t>(i) * stride];
        const int count = line_runs(line.data(), length, 1, base.data());
        for (int a = 0; a < length; ++a) {
            if (!open[first + static_cast<size_t>(a) * stride])
                continue;
            for (int b = a + 1; b < length; ++b) {
                if (!open[first + static_cast<size_t>(b) * stride] || line[a] == line[b])
                    continue;
                std::swap(line[a], line[b]);
                const int n = line_runs(line.data(), length, 1, runs.data());
                std::swap(line[a], line[b]);
                (*ok)[(static_cast<size_t>(l) * length + a) * length + b] =
                    n == count && std::equal(base.begin(), base.begin() + n, runs.begin());
            }
        }
    }
}

// The commonest way for other pictures to fit: four open cells at the corners of a
// rectangle, filled on one diagonal and empty on the other, whose swap changes none of
// their rows' and columns' runs. True with the four cells in *cells.
bool find_switch(const std::vector<uint8_t> &picture, const std::vector<uint8_t> &open, int width, int height,
                 int cells[4]) {
    std::vector<uint8_t> rows, columns;
    swappable_pairs(picture, open, width, height, false, &rows);
    swappable_pairs(picture, open, width, height, true, &columns);
    auto row_ok = [&](int r, int a, int b) { return rows[(static_cast<size_t>(r) * width + a) * width + b]; };
    auto column_ok = [&](int c, int a, int b) { return columns[(static_cast<size_t>(c) * height + a) * height + b]; };
    for (int a = 0; a < width; ++a)
        for (int b = a + 1; b < width; ++b)
            for (int r1 = 0; r1 < height; ++r1) {
                if (!row_ok(r1, a, b))
                    continue;
                for (int r2 = r1 + 1; r2 < height; ++r2)
                    if (row_ok(r2, a, b) &&
                        picture[static_cast<size_t>(r1) * width + a] != picture[static_cast<size_t>(r2) * width + a] &&
                        column_ok(a, r1, r2) && column_ok(b, r1, r2)) {
                        cells[0] = r1 * width + a, cells[1] = r1 * width + b;
                        cells[2] = r2 * width + a, cells[3] = r2 * width + b;
                        return true;
                    }
            }
    return false;
}

} // namespace

pz_fair_report pz_judge_picture(int width, int height, const uint8_t *cells, const pz_limits &limits) {
    pz_fair_report r;
    const pz_puzzle p = pz_from_picture(width, height, cells);
    if (p.width == 0 || cancelled(limits))
        return r;
    pz_engine e(p);
    e.limit(limits);
    int sweeps = 0, settled = 0;
    if (!e.sweep(&sweeps))
        return r;
    const size_t n = static_cast<size_t>(e.cells);
    if (e.unknown > 0) {
        // Before look-ahead, which takes longer: the commonest ambiguity, found at once.
        std::vector<uint8_t> open(n);
        for (size_t i = 0; i < n; ++i)
            open[i] = e.grid[i] == pz_unknown;
        int swap[4];
        if (find_switch(p.goal, open, width, height, swap)) {
            r.kind = pz_fairness::several;
            r.open_count = e.unknown;
            r.open = std::move(open);
            r.other = p.goal;
            r.differ.assign(n, 0);
            for (int c : swap) {
                r.other[static_cast<size_t>(c)] ^= 1;
                r.differ[static_cast<size_t>(c)] = 1;
            }
            r.differ_count = 4;
            return r;
        }
        if (!e.look_ahead(&settled) || e.stop)
            return r;
    }
    r.open_count = e.unknown;
    if (e.unknown == 0) {
        // Every cell was forced: the picture is the only solution. The grader reasons the
        // same way again, which is quick when no search follows, and gives the score.
        pz_puzzle clues = p;
        clues.goal.clear();
        r.grading = pz_grade_puzzle(clues, limits);
        r.kind = pz_fairness::fair;
        return r;
    }
    r.open.assign(n, 0);
    for (size_t i = 0; i < n; ++i)
        r.open[i] = e.grid[i] == pz_unknown;
    // Every solution agrees with what reasoning settled: the search starts from there.
    pz_puzzle clues = p;
    clues.goal.clear();
    pz_solution s = pz_solve(clues, e.grid.data(), limits, true);
    if (s.verdict == pz_verdict::unique) {
        r.kind = pz_fairness::guess;
        return r;
    }
    if (s.verdict != pz_verdict::multiple)
        return r; // stopped (a picture's clues always have a solution)
    // Of the two solutions found, one that is not the picture drawn.
    std::vector<uint8_t> &other = s.first == p.goal ? s.second : s.first;
    r.differ.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        r.differ[i] = other[i] != p.goal[i];
        r.differ_count += r.differ[i];
    }
    r.other = std::move(other);
    r.kind = pz_fairness::several;
    return r;
}

int pz_picture_open_cells(int width, int height, const uint8_t *cells, const pz_limits &limits) {
    const pz_puzzle p = pz_from_picture(width, height, cells);
    if (p.width == 0)
        return -1;
    pz_engine e(p);
    return reason(e, limits) ? e.unknown : -1;
}

namespace {

// The cells worth flipping first: those reasoning leaves open, then the other cells of
// their rows and columns, each once, nearest lines first.
std::vector<int> candidates(int width, int height, const std::vector<uint8_t> &picture, const pz_limits &limits) {
    const pz_puzzle p = pz_from_picture(width, height, picture.data());
    pz_engine e(p);
    std::vector<int> out;
    if (!reason(e, limits))
        return out;
    std::vector<uint8_t> taken(picture.size(), 0), row(static_cast<size_t>(height), 0),
        column(static_cast<size_t>(width), 0);
    for (int i = 0; i < e.cells; ++i)
        if (e.grid[i] == pz_unknown) {
            out.push_back(i);
            taken[i] = 1;
            row[i / width] = column[i % width] = 1;
        }
    for (int i = 0; i < e.cells; ++i)
        if (!taken[i] && (row[i / width] || column[i % width]))
            out.push_back(i);
    return out;
}

struct trial {
    int open = 0;
    std::vector<int> cells;
};

} // namespace

pz_fix pz_suggest_fix(int width, int height, const uint8_t *cells, int max_changes, const pz_limits &limits) {
    pz_fix fix;
    if (width < 1 || height < 1 || width > pz_max_size || height > pz_max_size)
        return fix;
    std::vector<uint8_t> picture(cells, cells + static_cast<size_t>(width) * height);
    for (uint8_t &c : picture)
        c = c != 0;
    // One deadline for the whole search: each measure gets what is left of it.
    const auto start = std::chrono::steady_clock::now();
    auto left = [&](pz_limits *l) {
        *l = limits;
        if (limits.seconds > 0) {
            const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (spent >= limits.seconds)
                return false;
            l->seconds = limits.seconds - spent;
        }
        return !cancelled(limits);
    };
    pz_limits l;
    if (!left(&l))
        return fix.stopped = true, fix;
    const int open_now = pz_picture_open_cells(width, height, picture.data(), l);
    if (open_now < 0)
        return fix.stopped = true, fix;
    if (open_now == 0)
        return fix.found = true, fix;

    // The best change so far, and the best single flips to build pairs on.
    trial best{open_now, {}};
    constexpr size_t pair_bases = 3;
    std::vector<trial> singles;
    const std::vector<int> first = candidates(width, height, picture, l);
    for (int a : first) {
        if (!left(&l))
            return fix.stopped = true, fix.cells = best.cells, fix.open_after = best.open, fix;
        picture[a] ^= 1;
        const int open = pz_picture_open_cells(width, height, picture.data(), l);
        picture[a] ^= 1;
        if (open < 0)
            continue;
        if (open == 0) {
            fix.found = true;
            fix.cells = {a};
            return fix;
        }
        singles.push_back({open, {a}});
        if (open < best.open)
            best = singles.back();
    }
    std::stable_sort(singles.begin(), singles.end(), [](const trial &x, const trial &y) { return x.open < y.open; });
    if (singles.size() > pair_bases)
        singles.resize(pair_bases);
    for (int round = 2; round <= max_changes && !singles.empty(); ++round) {
        std::vector<trial> next;
        for (const trial &base : singles) {
            for (int c : base.cells)
                picture[c] ^= 1;
            const std::vector<int> more = candidates(width, height, picture, l);
            for (int b : more) {
                if (std::find(base.cells.begin(), base.cells.end(), b) != base.cells.end())
                    continue;
                if (!left(&l)) {
                    for (int c : base.cells)
                        picture[c] ^= 1;
                    fix.stopped = true;
                    fix.cells = best.cells;
                    fix.open_after = best.open;
                    std::sort(fix.cells.begin(), fix.cells.end());
                    return fix;
                }
                picture[b] ^= 1;
                const int open = pz_picture_open_cells(width, height, picture.data(), l);
                picture[b] ^= 1;
                if (open < 0)
                    continue;
                trial t{open, base.cells};
                t.cells.push_back(b);
                if (open == 0) {
                    for (int c : base.cells)
                        picture[c] ^= 1;
                    fix.found = true;
                    fix.cells = t.cells;
                    std::sort(fix.cells.begin(), fix.cells.end());
                    return fix;
                }
                if (open < best.open)
                    best = t;
                next.push_back(std::move(t));
            }
            for (int c : base.cells)
                picture[c] ^= 1;
        }
        std::stable_sort(next.begin(), next.end(), [](const trial &x, const trial &y) { return x.open < y.open; });
        if (next.size() > pair_bases)
            next.resize(pair_bases);
        singles = std::move(next);
    }
    fix.cells = best.cells;
    std::sort(fix.cells.begin(), fix.cells.end());
    fix.open_after = best.open;
    return fix;
}
