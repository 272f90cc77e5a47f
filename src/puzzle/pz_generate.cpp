// pz_generate.cpp -- numbered puzzles with exactly one solution
#include "puzzle/pz_generate.h"

#include "puzzle/pz_engine.h"

#include <algorithm>

// splitmix64: a fixed sequence from a 64-bit state, identical everywhere.
void pz_rng_seed(pz_rng &rng, uint64_t key) { rng.state = key ^ 0x9e3779b97f4a7c15ull; }

uint32_t pz_rng_next(pz_rng &rng) {
    uint64_t z = (rng.state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

uint32_t pz_rng_below(pz_rng &rng, uint32_t bound) {
    const uint32_t limit = -bound % bound; // values below it would be favoured
    for (;;) {
        const uint32_t r = pz_rng_next(rng);
        if (r >= limit)
            return r % bound;
    }
}

namespace {

using picture = std::vector<uint8_t>;

struct canvas {
    int w, h;
    picture cells;
    uint8_t &at(int x, int y) { return cells[static_cast<size_t>(y) * w + x]; }
};

// Noise with the given share of filled cells (in percent), then majority smoothing:
// each pass fills a cell when at least five of the nine around it (itself included)
// are filled, which grows blobs and erases specks.
void smoothed_field(canvas &c, pz_rng &rng, int percent, int passes) {
    for (uint8_t &v : c.cells)
        v = pz_rng_below(rng, 100) < static_cast<uint32_t>(percent);
    picture next(c.cells.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                int filled = 0, seen = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= c.w || ny >= c.h)
                            continue;
                        ++seen;
                        filled += c.at(nx, ny);
                    }
                next[static_cast<size_t>(y) * c.w + x] = filled * 9 >= 5 * seen;
            }
        c.cells.swap(next);
    }
}

// Mirrors the left half onto the right (and, when asked, the top half onto the bottom).
void mirror(canvas &c, bool vertical) {
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w / 2; ++x)
            c.at(c.w - 1 - x, y) = c.at(x, y);
    if (vertical)
        for (int y = 0; y < c.h / 2; ++y)
            for (int x = 0; x < c.w; ++x)
                c.at(x, c.h - 1 - y) = c.at(x, y);
}

// Filled ellipses, rectangles and rings at random places, each one toggling what it
// covers, so that shapes overlap into new ones.
void shapes(canvas &c, pz_rng &rng) {
    for (uint8_t &v : c.cells)
        v = 0;
    const int count = 3 + static_cast<int>(pz_rng_below(rng, 4)) + (c.w + c.h) / 15;
    for (int s = 0; s < count; ++s) {
        const int kind = static_cast<int>(pz_rng_below(rng, 3));
        const int cx = static_cast<int>(pz_rng_below(rng, c.w)), cy = static_cast<int>(pz_rng_below(rng, c.h));
        const int rx = 1 + static_cast<int>(pz_rng_below(rng, c.w / 3 + 1));
        const int ry = 1 + static_cast<int>(pz_rng_below(rng, c.h / 3 + 1));
        for (int y = cy - ry; y <= cy + ry; ++y)
            for (int x = cx - rx; x <= cx + rx; ++x) {
                if (x < 0 || y < 0 || x >= c.w || y >= c.h)
                    continue;
                // Distance against the radii, in integers: (dx/rx)^2 + (dy/ry)^2 scaled by (rx*ry)^2.
                const long dx = x - cx, dy = y - cy;
                const long d = dx * dx * ry * ry + dy * dy * rx * rx, r2 = static_cast<long>(rx) * rx * ry * ry;
                bool inside = kind == 1 || d <= r2;
                if (kind == 2) {
                    const long inner = static_cast<long>(rx - 1) * (rx - 1) * (ry - 1) * (ry - 1);
                    inside =
                        d <= r2 && (rx < 2 || ry < 2 || d * (rx - 1) * (rx - 1) * (ry - 1) * (ry - 1) > inner * r2);
                }
                if (inside)
                    c.at(x, y) ^= 1;
            }
    }
}

// A picture of one of the kinds above; the grade shifts how much of it is filled,
// since fuller pictures give longer runs and easier lines.
void draw(canvas &c, pz_rng &rng, pz_grade grade) {
    const int base = grade == pz_grade::easy ? 52 : grade == pz_grade::medium ? 47 : 45;
    const int percent = base + static_cast<int>(pz_rng_below(rng, 9)) - 4;
    switch (pz_rng_below(rng, 4)) {
    case 0: smoothed_field(c, rng, percent, 1 + static_cast<int>(pz_rng_below(rng, 3))); break;
    case 1:
        smoothed_field(c, rng, percent, 1 + static_cast<int>(pz_rng_below(rng, 2)));
        mirror(c, pz_rng_below(rng, 3) == 0);
        break;
    case 2: shapes(c, rng); break;
    default:
        shapes(c, rng);
        mirror(c, false);
        break;
    }
}

// How far reasoning gets with a picture's clues.
struct reach {
    int line_unknown = 0; // cells line logic leaves open
    int sweeps = 0;
    int deep_unknown = 0;  // cells line logic and look-ahead leave open
    std::vector<int> open; // the open cells after the deepest reasoning tried
};

reach measure(const pz_puzzle &p, bool deep) {
    reach r;
    pz_engine e(p);
    e.sweep(&r.sweeps);
    r.line_unknown = e.unknown;
    if (deep && e.unknown > 0) {
        int settled = 0;
        e.look_ahead(&settled);
    }
    r.deep_unknown = e.unknown;
    for (int i = 0; i < e.cells; ++i)
        if (e.grid[i] == pz_unknown)
            r.open.push_back(i);
    return r;
}

// Whether a measure meets the grade; *worse says how far it is from meeting it by
// flipping open cells (0 when flipping cannot help).
bool meets(const reach &r, pz_grade grade, int easy_sweeps, int *distance) {
    if (grade == pz_grade::hard) {
        *distance = r.line_unknown == 0 ? 0 : r.deep_unknown;
        return r.line_unknown > 0 && r.deep_unknown == 0;
    }
    *distance = r.line_unknown;
    if (r.line_unknown > 0)
        return false;
    *distance = 0;
    return grade == pz_grade::easy ? r.sweeps <= easy_sweeps : r.sweeps > easy_sweeps;
}

// Whether a line of the puzzle is empty: on a small board that gives a fifth of it away.
bool has_empty_line(const pz_puzzle &p) {
    for (const pz_clue &clue : p.rows)
        if (clue.empty())
            return true;
    for (const pz_clue &clue : p.columns)
        if (clue.empty())
            return true;
    return false;
}

} // namespace

bool pz_generate(int width, int height, pz_grade grade, uint32_t number, pz_puzzle *out, std::string *why) {
    if (width < pz_generate_min || width > pz_generate_max || height < pz_generate_min || height > pz_generate_max) {
        if (why)
            *why = "the size " + std::to_string(width) + "x" + std::to_string(height) + " is outside " +
                   std::to_string(pz_generate_min) + "x" + std::to_string(pz_generate_min) + " to " +
                   std::to_string(pz_generate_max) + "x" + std::to_string(pz_generate_max);
        return false;
    }
    if (grade != pz_grade::easy && grade != pz_grade::medium && grade != pz_grade::hard) {
        if (why)
            *why = "puzzles are made easy, medium or hard";
        return false;
    }
    pz_rng rng;
    pz_rng_seed(rng, (static_cast<uint64_t>(width) << 56) ^ (static_cast<uint64_t>(height) << 48) ^
                         (static_cast<uint64_t>(grade) << 40) ^ number);
    const int easy_sweeps = pz_easy_sweeps(width, height);
    const bool deep = grade == pz_grade::hard;
    const int flips = (width + height) * 2;
    canvas c{width, height, picture(static_cast<size_t>(width) * height)};
    for (int attempt = 0; attempt < 100000; ++attempt) {
        draw(c, rng, grade);
        pz_puzzle p = pz_from_picture(width, height, c.cells.data());
        reach r = measure(p, deep);
        int distance = 0;
        bool good = meets(r, grade, easy_sweeps, &distance);
        // Flip open cells of the picture while that brings it closer to the grade.
        for (int flip = 0; !good && distance > 0 && flip < flips; ++flip) {
            const int index = r.open[pz_rng_below(rng, static_cast<uint32_t>(r.open.size()))];
            c.cells[index] ^= 1;
            pz_puzzle q = pz_from_picture(width, height, c.cells.data());
            reach s = measure(q, deep);
            int d = 0;
            const bool now = meets(s, grade, easy_sweeps, &d);
            if (now || (d > 0 && d <= distance)) {
                p = std::move(q);
                r = std::move(s);
                good = now;
                distance = d;
            } else {
                c.cells[index] ^= 1;
            }
        }
        if (!good || (std::min(width, height) <= pz_generate_full_lines && has_empty_line(p)))
            continue;
        // Logic finished it, so it is unique; the complete solver confirms it.
        p.goal.clear();
        const pz_solution check = pz_solve(p, nullptr, pz_limits{}, true);
        if (check.verdict != pz_verdict::unique)
            continue;
        p.goal = c.cells;
        p.title = std::to_string(width) + "x" + std::to_string(height) + " " + pz_grade_name(grade) + " no. " +
                  std::to_string(number);
        *out = std::move(p);
        return true;
    }
    if (why)
        *why = "no puzzle of that grade was found";
    return false;
}
